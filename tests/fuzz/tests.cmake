# The fuzzers build with clang in a build directory of their own (scripts/fuzz) and carry their
# own AddressSanitizer and UBSan, so only the plain build runs them, about 30 s per target.
if(NOT LV_SANITIZE)
  add_test(NAME fuzz COMMAND ${PROJECT_SOURCE_DIR}/scripts/fuzz --build-dir ${CMAKE_BINARY_DIR}/fuzz)
  set_tests_properties(fuzz PROPERTIES TIMEOUT 900)
endif()

# Thousands of random user actions on a real window, in both builds.
lv_add_qtest(monkey_test ${CMAKE_CURRENT_LIST_DIR}/../monkey_test.cpp)
set_tests_properties(monkey_test PROPERTIES TIMEOUT 600)
