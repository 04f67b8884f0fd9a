# The card model, editing rules, file commands, rescan, backup and converter.
mervane_add_test(store_session_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/session_Fixture.h
    ${CMAKE_CURRENT_LIST_DIR}/session_ConverterTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/session_ValidationTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/session_CardModelTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/session_EditingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/session_FilesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/session_DuplicatesTest.cpp
  LIBS mervane_store)
