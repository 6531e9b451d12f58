# The constants' tests, for the functions' test executable (included by
# tests/functions/CMakeLists.txt, which adds ${DEEPNUMS_CONSTANTS_TESTS} to its sources and
# links ${DEEPNUMS_CONSTANTS_TEST_LIBS}).
#
# The digit-by-digit check needs MPFR, the exact series check GMP. When one is missing at
# configure time its test is compiled without it and reports itself as skipped.
set(_constants_test ${CMAKE_CURRENT_LIST_DIR}/test_constants.cpp)
list(APPEND DEEPNUMS_CONSTANTS_TESTS ${_constants_test})

find_path(DEEPNUMS_GMP_INCLUDE gmp.h)
find_library(DEEPNUMS_GMP_LIB gmp)
find_path(DEEPNUMS_MPFR_INCLUDE mpfr.h)
find_library(DEEPNUMS_MPFR_LIB mpfr)

set(_constants_defs "")
if(DEEPNUMS_GMP_INCLUDE AND DEEPNUMS_GMP_LIB)
  list(APPEND _constants_defs DEEPNUMS_HAVE_GMP)
  if(DEEPNUMS_MPFR_INCLUDE AND DEEPNUMS_MPFR_LIB)
    list(APPEND _constants_defs DEEPNUMS_HAVE_MPFR)
    list(APPEND DEEPNUMS_CONSTANTS_TEST_LIBS ${DEEPNUMS_MPFR_LIB})
  else()
    message(STATUS "MPFR not found: the constant tables' digit check will be skipped")
  endif()
  list(APPEND DEEPNUMS_CONSTANTS_TEST_LIBS ${DEEPNUMS_GMP_LIB})
else()
  message(STATUS "GMP not found: the constants' MPFR and series checks will be skipped")
endif()
set_source_files_properties(${_constants_test} PROPERTIES COMPILE_DEFINITIONS "${_constants_defs}")
unset(_constants_defs)
unset(_constants_test)
