# qvbook_qtest(name sources...): a QtTest executable over the editor's library, run by CTest
# on the offscreen platform (cmake/OffscreenPrograms.cmake).
function(qvbook_qtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE qvapp Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  qvbook_widget_test(${name})
endfunction()
