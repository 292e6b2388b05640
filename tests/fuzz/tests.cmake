# The fuzzers build with clang in a build directory of their own (scripts/fuzz) and carry their
# own AddressSanitizer and UBSan, so only the plain build runs them, about 30 s per target.
if(NOT LV_SANITIZE)
  add_test(NAME fuzz COMMAND ${PROJECT_SOURCE_DIR}/scripts/fuzz --build-dir ${CMAKE_BINARY_DIR}/fuzz)
  set_tests_properties(fuzz PROPERTIES TIMEOUT 900)
endif()

# Thousands of random user actions on a real window, in both builds.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH lv_tests_dir)
lv_add_qtest(monkey_test
  ${lv_tests_dir}/monkey_test.cpp
  ${lv_tests_dir}/monkey/monkey.cpp ${lv_tests_dir}/monkey/monkey.h
  ${lv_tests_dir}/monkey/coefficient_edits.cpp
  ${lv_tests_dir}/monkey/cursor_moves.cpp
  ${lv_tests_dir}/monkey/text_source.cpp ${lv_tests_dir}/monkey/text_source.h
  ${lv_tests_dir}/monkey/window_checks.cpp ${lv_tests_dir}/monkey/window_checks.h
)
set_tests_properties(monkey_test monkey_test_es PROPERTIES TIMEOUT 600)
