# The stored constants (included by functions/CMakeLists.txt, which adds
# ${DEEPNUMS_CONSTANT_SOURCES} to the deepnums_functions library).
#
# constants.cpp packs the digit strings of data/*.inc into digit words while it compiles
# (constexpr evaluation), so nothing runs on the build host and a cross build with
# mingw-w64 needs nothing extra. The packing loop runs 100,199 steps per table, well inside
# GCC's default limits (-fconstexpr-loop-limit 262,144 iterations, -fconstexpr-ops-limit
# 2^33); the file compiles in under two seconds, so no options are set here.
list(APPEND DEEPNUMS_CONSTANT_SOURCES ${CMAKE_CURRENT_LIST_DIR}/constants.cpp)
