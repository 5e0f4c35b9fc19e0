# The end-to-end scenarios as CTest tests, labelled e2e. One fixture makes the Wine prefix
# and the display once per run; every scenario needs it.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(e2e_runner ${PROJECT_SOURCE_DIR}/tests/e2e/e2e.py)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${e2e_runner})
execute_process(COMMAND ${Python3_EXECUTABLE} ${e2e_runner} list
                OUTPUT_VARIABLE e2e_list OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

add_test(NAME e2e.setup COMMAND ${Python3_EXECUTABLE} ${e2e_runner} setup --build ${CMAKE_BINARY_DIR})
set_tests_properties(e2e.setup PROPERTIES FIXTURES_SETUP e2e LABELS e2e TIMEOUT 1200)
add_test(NAME e2e.cleanup COMMAND ${Python3_EXECUTABLE} ${e2e_runner} cleanup --build ${CMAKE_BINARY_DIR})
set_tests_properties(e2e.cleanup PROPERTIES FIXTURES_CLEANUP e2e LABELS e2e TIMEOUT 120)

string(REPLACE "\n" ";" e2e_list "${e2e_list}")
foreach(entry IN LISTS e2e_list)
  separate_arguments(fields UNIX_COMMAND "${entry}")
  list(GET fields 0 scenario)
  add_test(NAME e2e.${scenario}
           COMMAND ${Python3_EXECUTABLE} ${e2e_runner} run ${scenario} --build ${CMAKE_BINARY_DIR})
  set_tests_properties(e2e.${scenario} PROPERTIES FIXTURES_REQUIRED e2e LABELS e2e TIMEOUT 900)
  if("serial" IN_LIST fields)
    set_tests_properties(e2e.${scenario} PROPERTIES RUN_SERIAL TRUE)
  endif()
endforeach()
