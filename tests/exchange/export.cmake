# The export writers and the hand-over rules, without widgets.
mervane_add_test(exchange_export_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/ExportCsvTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ExportTextTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ExportLaunchTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ExportHtmlTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ExportRtfTest.cpp
  LIBS mervane_exchange_export)
# The pages are read back by tests/exchange/html_text.py (python3's own HTML parser).
target_compile_definitions(exchange_export_tests PRIVATE
  MERVANE_HTML_TEXT_PY="${CMAKE_CURRENT_SOURCE_DIR}/html_text.py")

# The wizard, the field list of Save As and the Run dialog driven by control ids.
mervane_add_test(exchange_export_dialog_tests WIDGETS
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/ExportWizardTest.cpp
  LIBS mervane_cardwindow_ui mervane_exchange_ui)
