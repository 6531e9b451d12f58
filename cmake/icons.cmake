# The program's icons, rendered at build time from packaging/deepnums.svg with
# rsvg-convert (Debian package librsvg2-bin), each size drawn from the SVG itself rather
# than scaled down from a large picture:
#   target deepnums_icons   icons/<size>/deepnums.png for the hicolor theme (Linux; the
#                           install rules in packaging/ put them beside the SVG)
#   target deepnums_ico     icons/deepnums.ico (Windows; packed with icotool of icoutils,
#                           the 256 px image kept as PNG), compiled into the executables'
#                           resources and used by the installer
# DEEPNUMS_ICON_SIZES lists the PNG sizes; DEEPNUMS_ICO is the .ico's path, empty when the
# tools are missing (the programs are then built with the standard icon, with a warning).
set(DEEPNUMS_ICON_SVG ${PROJECT_SOURCE_DIR}/packaging/deepnums.svg)
set(DEEPNUMS_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
set(DEEPNUMS_ICON_SIZES 16 32 48 64 128 256)
set(DEEPNUMS_ICO "")
find_program(RSVG_CONVERT_PROGRAM rsvg-convert)

function(_deepnums_icon_png size out_var)
  set(png ${DEEPNUMS_ICON_DIR}/${size}/deepnums.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEEPNUMS_ICON_DIR}/${size}
    COMMAND ${RSVG_CONVERT_PROGRAM} --width=${size} --height=${size} --format=png
            --output=${png} ${DEEPNUMS_ICON_SVG}
    DEPENDS ${DEEPNUMS_ICON_SVG}
    COMMENT "Rendering the ${size} px icon"
    VERBATIM)
  set(${out_var} ${png} PARENT_SCOPE)
endfunction()

if(NOT RSVG_CONVERT_PROGRAM)
  message(WARNING "rsvg-convert (librsvg2-bin) not found: no PNG or .ico icons are made")
  return()
endif()

if(WIN32)
  find_program(ICOTOOL_PROGRAM icotool)
  if(NOT ICOTOOL_PROGRAM)
    message(WARNING "icotool (icoutils) not found: the Windows programs get the standard icon")
    return()
  endif()
  # The sizes Windows picks from for title bars, the taskbar, the Start menu and
  # Explorer's views at 100 % to 200 % scaling.
  set(small "")
  foreach(size 16 20 24 32 40 48 64)
    _deepnums_icon_png(${size} png)
    list(APPEND small ${png})
  endforeach()
  _deepnums_icon_png(256 large)
  set(DEEPNUMS_ICO ${DEEPNUMS_ICON_DIR}/deepnums.ico)
  add_custom_command(OUTPUT ${DEEPNUMS_ICO}
    COMMAND ${ICOTOOL_PROGRAM} --create --output=${DEEPNUMS_ICO} ${small} --raw=${large}
    DEPENDS ${small} ${large}
    COMMENT "Packing deepnums.ico"
    VERBATIM)
  add_custom_target(deepnums_ico DEPENDS ${DEEPNUMS_ICO})
else()
  set(pngs "")
  foreach(size IN LISTS DEEPNUMS_ICON_SIZES)
    _deepnums_icon_png(${size} png)
    list(APPEND pngs ${png})
  endforeach()
  add_custom_target(deepnums_icons ALL DEPENDS ${pngs})
endif()
