# cmake -DSRC=... -DDST=... -P CopyIfMissing.cmake: copies SRC to DST only when DST does
# not exist, so a user's own address book beside the program is never overwritten.
if(NOT EXISTS "${DST}")
  file(COPY_FILE "${SRC}" "${DST}")
endif()
