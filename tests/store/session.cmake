# mervane_add_test(store_session_tests ...)
