# The self-test table's consistency tests (included by tests/engine/CMakeLists.txt, which
# builds ${DEEPNUMS_TEST_TABLE_TESTS} into a test executable linked with the engine).
list(APPEND DEEPNUMS_TEST_TABLE_TESTS ${CMAKE_CURRENT_LIST_DIR}/test_test_table.cpp)
