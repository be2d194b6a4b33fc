# What velmora-play leaves behind and writes, run as a user runs it.
#   MODE=rows   an example's trace has LF line ends only, byte for byte as on Linux, and keeps
#               the rows that start a sound however thin it is
#   MODE=clean  with --clean the play folder goes also when the output is closed early (| head),
#               and a library that fails to load leaves no play folder, --clean or not
#   cmake -DMODE=... -DPLAYER=... -DLIBRARY=... -DEXAMPLE=... -DWORK=<folder>
#         [-DWINE_RUN=... -DWINE_PREFIX=...] -P player_output.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/tmp)
if(WINE_RUN)
  set(PLAYER ${WINE_RUN} ${WINE_PREFIX} ${PLAYER})
endif()

if(MODE STREQUAL "rows")
  execute_process(COMMAND ${PLAYER} --clean --every 5000 --library ${LIBRARY} ${EXAMPLE}
    RESULT_VARIABLE status OUTPUT_VARIABLE trace ERROR_VARIABLE messages)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "velmora-play exited ${status}:\n${messages}")
  endif()
  string(FIND "${trace}" "\r" carriage_return)
  if(NOT carriage_return EQUAL -1 OR NOT trace MATCHES "^time,speed,location,[^\n]*\n(-?[0-9][^\n]*\n)+$")
    message(FATAL_ERROR "the trace is not header and rows each ended by LF alone:\n${trace}")
  endif()
  # Thinned to a row every 5 s, the trace still shows the frames that start a sound: the station
  # stop's door-opening sound at 25.6 s and its closing warning at 30.6 s.
  if(NOT trace MATCHES "\n25600,[^\n]*\n" OR NOT trace MATCHES "\n30600,[^\n]*\n")
    message(FATAL_ERROR "the thinned trace lost a sound's start:\n${trace}")
  endif()
elseif(MODE STREQUAL "clean")
  set(ENV{TMPDIR} ${WORK}/tmp)
  execute_process(COMMAND ${PLAYER} --clean --library ${LIBRARY} ${EXAMPLE} COMMAND head -n 1
    OUTPUT_VARIABLE first ERROR_VARIABLE messages)
  file(GLOB left ${WORK}/tmp/*)
  if(NOT first MATCHES "^time," OR left)
    message(FATAL_ERROR "after | head: first line '${first}', left behind: ${left}\n${messages}")
  endif()
  file(WRITE ${WORK}/notes.so "not a library\n")
  execute_process(COMMAND ${PLAYER} --library ${WORK}/notes.so ${EXAMPLE} RESULT_VARIABLE status ERROR_VARIABLE messages)
  file(GLOB left ${WORK}/tmp/*)
  if(NOT status EQUAL 2 OR left OR NOT messages MATCHES "library ${WORK}/notes.so: it is not a program library")
    message(FATAL_ERROR "a failed load: status ${status}, left behind: ${left}\n${messages}")
  endif()
else()
  message(FATAL_ERROR "MODE must be rows or clean")
endif()
file(REMOVE_RECURSE ${WORK})
