# mervane_add_test(store_data_tests ...)
mervane_add_test(store_data_tests
  SOURCES
    data_TestBooks.h
    data_FormatTest.cpp
    data_NamesListTest.cpp
    data_BookTest.cpp
    data_BadInputTest.cpp
  LIBS mervane_store)
