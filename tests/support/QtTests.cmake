# qvbook_qtest(name sources...): a QtTest executable over the editor's library, run by CTest
# on the offscreen platform with a private runtime folder.
function(qvbook_qtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE qvapp Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    TIMEOUT 120)
endfunction()
