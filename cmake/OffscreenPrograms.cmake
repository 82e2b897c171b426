# Programs that run on Qt's offscreen platform: the widget tests and the manual renderer.
#
# A shared Qt loads the offscreen plugin when asked to; a static Qt (the Windows build's)
# links only the default platform plugin into a program, so the offscreen one is imported
# here. On Windows the offscreen platform does not ask the system for fonts: it reads
# the font files of one folder (QT_QPA_FONTDIR). Under Wine that is the Japanese font of
# the Linux host, handed over by the emulator command that runs the program. Wine keeps
# the host's QT_* variables from Windows programs and passes WINEQT_* on as QT_*. Without
# a console, Qt on Windows sends test logs and warnings to the debugger: they are asked
# onto the standard streams, where CTest reads them.
get_target_property(qvbook_qt_core_type Qt6::Core TYPE)
set(QVBOOK_WINE_FONT_DIR /usr/share/fonts/opentype/ipafont-gothic CACHE PATH
    "Font folder that programs on the offscreen platform read under Wine")

function(qvbook_runs_offscreen target)
  if(qvbook_qt_core_type STREQUAL "STATIC_LIBRARY")
    qt_import_plugins(${target} INCLUDE Qt6::QOffscreenIntegrationPlugin)
  endif()
  if(WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR)
    # Z: is the Linux root in a Wine prefix.
    set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEQT_QPA_PLATFORM=offscreen WINEQT_FORCE_STDERR_LOGGING=1
      "WINEQT_QPA_FONTDIR=Z:${QVBOOK_WINE_FONT_DIR}" ${CMAKE_CROSSCOMPILING_EMULATOR})
  endif()
endfunction()

# qvbook_widget_test(target): runs a QtTest program under CTest on the offscreen platform,
# labelled "widgets"; the target widget_tests builds them all. The user's settings and
# data folders (XDG) are folders of the test's own in the build tree, never the user's.
# Under Wine, scripts/wine-run.sh stops a run still going after 100 s and shows how far it
# came, before CTest's limit would end it without a word.
function(qvbook_widget_test target)
  qvbook_runs_offscreen(${target})
  add_test(NAME ${target} COMMAND ${target})
  set(home ${CMAKE_CURRENT_BINARY_DIR}/${target}.home)
  set_tests_properties(${target} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${home}/config;XDG_DATA_HOME=${home}/data;QVBOOK_WINE_TIMEOUT=100"
    LABELS widgets
    TIMEOUT 120)
  if(NOT TARGET widget_tests)
    add_custom_target(widget_tests)
  endif()
  add_dependencies(widget_tests ${target})
endfunction()
