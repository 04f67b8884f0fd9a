# list(APPEND MERVANE_STORE_SOURCES ...) for the card model, editing rules and file commands
list(APPEND MERVANE_STORE_SOURCES
  Converter.cpp Converter.h
  BookValidation.cpp BookValidation.h
  CardModel.cpp CardModel.h
  CardEditing.cpp CardEditing.h
  CardSession.cpp CardSession.h
  Duplicates.cpp Duplicates.h
  Rescan.cpp Rescan.h
  Recovery.cpp Recovery.h
)
