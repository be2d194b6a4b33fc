# Checks that the core shares no more writable data than the host's records: every external data
# symbol of the static core library, other than the constant tables named k..., is one of them.
# cmake -DNM=<nm> -DCORE=<libvelmora_core.a> -P check_shared_state.cmake
cmake_minimum_required(VERSION 3.25)
set(shared gState gHandles gDriver gTrainspecs gOpts gPanel gSound)
set(most 12)

foreach(var NM CORE)
  if(NOT ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()
execute_process(COMMAND "${NM}" --defined-only "${CORE}" OUTPUT_VARIABLE output RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} --defined-only ${CORE} failed")
endif()
string(REPLACE ";" "\\;" output "${output}")
string(REPLACE "\n" ";" lines "${output}")

set(found "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]* +[BDGS] (.+)$")
    set(name "${CMAKE_MATCH_1}")
    # The sanitizer's own records of each global (__odr_asan.NAME) are not the core's data.
    if(NOT name MATCHES "^k[A-Z]" AND NOT name MATCHES "^__")
      list(APPEND found "${name}")
    endif()
  endif()
endforeach()
list(REMOVE_DUPLICATES found)
list(LENGTH found count)
set(strangers "${found}")
list(REMOVE_ITEM strangers ${shared})
if(count GREATER most OR strangers)
  message(FATAL_ERROR "the core shares ${count} writable data symbols (at most ${most}, only the host's "
    "records: ${shared}); not host records: ${strangers}")
endif()
message(STATUS "the core shares ${count} writable data symbols: ${found}")
