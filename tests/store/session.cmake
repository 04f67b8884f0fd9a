# The card model, editing rules, file commands, rescan, backup and converter.
mervane_add_test(store_session_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/session_ConverterTest.cpp
  LIBS mervane_store)
