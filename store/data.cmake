# list(APPEND MERVANE_STORE_SOURCES ...) for the file format, working file and names list
list(APPEND MERVANE_STORE_SOURCES
  AdrFormat.h
  AtomicFile.h
  WorkingFile.h
  NamesList.h
  Book.h
)
