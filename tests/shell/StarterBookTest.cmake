# cmake -DSCRIPT=<CopyIfMissing.cmake> -DSRC=<starter book> -DWORK=<folder> -P StarterBookTest.cmake
# The build places the starter address book beside the program when none is there, and
# leaves a user's own book alone.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(dst "${WORK}/address.adr")

execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${SRC} -DDST=${dst} -P ${SCRIPT}
                RESULT_VARIABLE rc)
file(READ "${SRC}" starter)
file(READ "${dst}" placed)
if(NOT rc EQUAL 0 OR NOT placed STREQUAL starter)
  message(FATAL_ERROR "the starter book was not placed beside the program")
endif()
if(NOT starter MATCHES "^TVXADR_307")
  message(FATAL_ERROR "the starter book is not an address book")
endif()

file(WRITE "${dst}" "TVXADR_307 the user's own book\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${SRC} -DDST=${dst} -P ${SCRIPT}
                RESULT_VARIABLE rc)
file(READ "${dst}" kept)
if(NOT rc EQUAL 0 OR NOT kept STREQUAL "TVXADR_307 the user's own book\n")
  message(FATAL_ERROR "the user's own address book was overwritten")
endif()
file(REMOVE_RECURSE "${WORK}")
