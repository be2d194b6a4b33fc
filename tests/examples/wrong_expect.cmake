# A departure with two wrong expect lines, one early and one at the end: the player plays to the
# end, lists both with their file, line, time and what it saw, and exits 1.
#   cmake -DPLAYER=... -DLIBRARY=... -DEXAMPLE=departure.scn -DWORK=<folder> [-DWINE_RUN=... -DWINE_PREFIX=...]
#         -P wrong_expect.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(READ ${EXAMPLE} text)

# After the charging run the brake is off (0): expecting 3 is wrong. At the end the Sifa key is
# let go (0): expecting 1 is wrong.
set(anchor "run 12000 0")
string(FIND "${text}" "${anchor}" at)
string(SUBSTRING "${text}" 0 ${at} before)
string(REGEX MATCHALL "\n" lines_before "${before}")
list(LENGTH lines_before early_line)
math(EXPR early_line "${early_line} + 2")
string(REPLACE "${anchor}" "${anchor}\nexpect brake = 3" text "${text}")
string(REGEX MATCHALL "\n" all_lines "${text}")
list(LENGTH all_lines last_line)
math(EXPR last_line "${last_line} + 1")
set(scenario ${WORK}/wrong.scn)
file(WRITE ${scenario} "${text}expect panel sifa = 1\n")

if(WINE_RUN)
  set(PLAYER ${WINE_RUN} ${WINE_PREFIX} ${PLAYER})
endif()
execute_process(COMMAND ${PLAYER} --clean --library ${LIBRARY} ${scenario}
  RESULT_VARIABLE status OUTPUT_VARIABLE trace ERROR_VARIABLE messages)
set(wanted
  "${scenario}:${early_line}: expected brake = 3 at t=13000 ms, saw 0"
  "${scenario}:${last_line}: expected panel sifa = 1 at t=65500 ms, saw 0"
  "2 of 28 expect lines failed")
foreach(message ${wanted})
  string(FIND "${messages}" "${message}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "missing '${message}' in:\n${messages}")
  endif()
endforeach()
if(NOT status EQUAL 1)
  message(FATAL_ERROR "exit status ${status}, not 1")
endif()
if(NOT trace MATCHES "\n65500,[^\n]*\n$")
  message(FATAL_ERROR "the trace does not run to the end at 65500 ms")
endif()
file(REMOVE_RECURSE ${WORK})
