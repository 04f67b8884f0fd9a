# list(APPEND MERVANE_STORE_SOURCES ...) for the file format, working file and names list
list(APPEND MERVANE_STORE_SOURCES
  AdrFormat.cpp AdrFormat.h
  AtomicFile.h
  WorkingFile.cpp WorkingFile.h
  NamesList.cpp NamesList.h
  Book.cpp Book.h
)
