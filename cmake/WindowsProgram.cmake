# qvbook_windows_program(target): makes the editor a Windows window program that runs
# alone from any folder: no console window, and Qt's Japanese texts for the standard
# buttons and dialogs (Debian's qtbase_ja.qm, from qt6-translations-l10n) built in. A
# resource qt.conf points Qt's translations folder into the program itself. The program
# carries its icon (packaging/icons/qvbook.ico) and its version as Windows resources.
function(qvbook_windows_program target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  find_file(QVBOOK_QTBASE_JA qtbase_ja.qm PATHS /usr/share/qt6/translations
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT QVBOOK_QTBASE_JA)
    message(FATAL_ERROR "qtbase_ja.qm is missing: install qt6-translations-l10n")
  endif()
  set(qt_conf ${PROJECT_SOURCE_DIR}/packaging/windows/qt.conf)
  set_source_files_properties(${qt_conf} PROPERTIES QT_RESOURCE_ALIAS etc/qt.conf)
  set_source_files_properties(${QVBOOK_QTBASE_JA} PROPERTIES QT_RESOURCE_ALIAS translations/qtbase_ja.qm)
  qt_add_resources(${target} qt_japanese PREFIX /qt FILES ${qt_conf} ${QVBOOK_QTBASE_JA})

  set(QVBOOK_ICON ${PROJECT_SOURCE_DIR}/packaging/icons/qvbook.ico)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/qvbook.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
