# mervane_add_test(store_data_tests ...)
mervane_add_test(store_data_tests
  SOURCES
    data_TestBooks.h
    data_FormatTest.cpp
    data_NamesListTest.cpp
    data_BookTest.cpp
    data_CliTest.cpp
    data_LabelsCliTest.cpp
    data_BadInputTest.cpp
    data_DamagedBookTest.cpp
    data_DumpCompare.h
    data_CliRunner.h
    data_FuzzTest.cpp
    ${PROJECT_SOURCE_DIR}/cli/Cli.cpp
  LIBS mervane_store mervane_printing_qt mervane_exchange mervane_exchange_export mervane_session)
# The cli test also runs the built binary.
if(TARGET mervane-cli)
  add_dependencies(store_data_tests mervane-cli)
endif()
