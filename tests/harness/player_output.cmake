# What velmora-play leaves behind and writes, run as a user runs it.
#   MODE=rows   an example's trace has LF line ends only, byte for byte as on Linux, and keeps
#               the rows that start a sound however thin it is
#   MODE=clean  the play folder goes also when the output is closed early (| head), by default
#               too; --keep keeps and names it; a library that fails to load leaves no play folder
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
  # Without --clean the folder goes as well; --keep keeps it and names it, and names the counter
  # files only where the U-Bahn cab runs (with runubahn=0 they are never read or written).
  execute_process(COMMAND ${PLAYER} --library ${LIBRARY} ${EXAMPLE} RESULT_VARIABLE status OUTPUT_QUIET
    ERROR_VARIABLE messages)
  file(GLOB left ${WORK}/tmp/*)
  if(NOT status EQUAL 0 OR left)
    message(FATAL_ERROR "a plain run: status ${status}, left behind: ${left}\n${messages}")
  endif()
  file(WRITE ${WORK}/no_ubahn.cfg "runubahn=0\n")
  foreach(config ubahn no_ubahn)
    set(given)
    if(config STREQUAL "no_ubahn")
      set(given --config ${WORK}/no_ubahn.cfg)
    endif()
    execute_process(COMMAND ${PLAYER} --keep --library ${LIBRARY} ${given} ${EXAMPLE} OUTPUT_QUIET ERROR_VARIABLE messages)
    file(GLOB kept ${WORK}/tmp/*)
    list(LENGTH kept count)
    if(NOT count EQUAL 1 OR NOT messages MATCHES "the play folder ${kept} is kept")
      message(FATAL_ERROR "--keep (${config}): kept ${kept}\n${messages}")
    endif()
    string(FIND "${messages}" "counter files" named)
    if((config STREQUAL "ubahn" AND named EQUAL -1) OR (config STREQUAL "no_ubahn" AND NOT named EQUAL -1))
      message(FATAL_ERROR "--keep (${config}): the counter files named or not as they should be:\n${messages}")
    endif()
    file(REMOVE_RECURSE ${kept})
  endforeach()
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
