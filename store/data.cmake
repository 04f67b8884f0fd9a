# list(APPEND MERVANE_STORE_SOURCES ...) for the file format, working file and names list
