# Toolchain file: cross-build the Windows program with mingw-w64 on Debian.
#   cmake -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#   cmake --build build-win
# The posix flavour of the compilers is required: gcc 12's default win32 thread model has
# no std::thread. Everything is linked statically (-static) so that deepNUMS.exe and the
# test runners need no DLL of the toolchain and run on a bare Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DEEPNUMS_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DEEPNUMS_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DEEPNUMS_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${DEEPNUMS_MINGW_PREFIX}-windres)

# Libraries and headers come from the mingw-w64 sysroot only; programs (code generators,
# python3) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${DEEPNUMS_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
