# mervane_add_test(store_data_tests ...)
