# The library and the tools in folders of any name: plain, with an umlaut, in characters outside
# the system's ANSI code page, and deeper than 272 characters. In each, a host loads the library
# (it must read its configuration and write its kilometre counter there), velmora-check checks
# the configuration file and velmora-play plays a scenario; both must open the files and spell
# their names right.
#   cmake -DHOST=... -DCHECKER=... -DPLAYER=... -DLIBRARY=... [-DEMULATOR=<runner;args>] -DWORK=<scratch>
#         -P any_folder_name.cmake
cmake_minimum_required(VERSION 3.25)
string(REPEAT "Streckenabschnitt_" 9 deep)
set(folders plain Zürich 東京 "${deep}/${deep}")
get_filename_component(library_name "${LIBRARY}" NAME)
file(REMOVE_RECURSE "${WORK}")
set(failures "")

foreach(folder IN LISTS folders)
  set(top "${WORK}/${folder}")
  # The host runs in the folder's first part: no system takes a working directory of any length.
  string(REGEX REPLACE "/.*" "" first "${folder}")
  set(train "${WORK}/${first}")
  file(MAKE_DIRECTORY "${top}/lib" "${train}/Train/Morvan" "${train}/Host/Run/Cab")
  file(COPY_FILE "${LIBRARY}" "${top}/lib/${library_name}")
  file(WRITE "${top}/lib/Velmora.cfg" "reverserindex=12\nsifakey=20 ; the Sifa key\n")
  file(WRITE "${top}/play.scn" "spec 8 8 1 6 4\ninitialize\nreverser 1\nframe 0 0\nexpect panel 12 = 1\n")

  # A host with the reverser forward: the configured panel element shows it; one kilometre driven.
  execute_process(COMMAND ${EMULATOR} "${HOST}" "${top}/lib/${library_name}" 12
    WORKING_DIRECTORY "${train}/Host/Run/Cab" OUTPUT_VARIABLE panel ERROR_VARIABLE messages RESULT_VARIABLE status)
  string(STRIP "${panel}" panel)
  set(kilometres "(none)")
  if(EXISTS "${train}/Train/Morvan/Z3.dat")
    file(READ "${train}/Train/Morvan/Z3.dat" kilometres)
    file(REMOVE "${train}/Train/Morvan/Z3.dat")
  endif()
  if(NOT status EQUAL 0 OR NOT panel STREQUAL "1" OR NOT kilometres STREQUAL "1")
    string(APPEND failures "\n${folder}: the library there shows ${panel} on element 12 (1 wanted), "
      "its kilometre counter holds ${kilometres} (1 wanted), status ${status} ${messages}")
  endif()

  execute_process(COMMAND ${EMULATOR} "${CHECKER}" "${folder}/lib/Velmora.cfg"
    WORKING_DIRECTORY "${WORK}" OUTPUT_VARIABLE output ERROR_VARIABLE messages RESULT_VARIABLE status)
  # The file is read (a finding on its line 2) and named as given.
  if(NOT status MATCHES "^[12]$" OR NOT output MATCHES "(^|\n)${folder}/lib/Velmora.cfg:2:[0-9]+: ")
    string(APPEND failures "\n${folder}: velmora-check exits ${status}:\n${output}${messages}")
  endif()

  execute_process(COMMAND ${EMULATOR} "${PLAYER}" --clean --library "${folder}/lib/${library_name}"
      --config "${folder}/lib/Velmora.cfg" "${folder}/play.scn"
    WORKING_DIRECTORY "${WORK}" OUTPUT_VARIABLE output ERROR_VARIABLE messages RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT messages MATCHES "playing ${folder}/play.scn with ${folder}/lib/${library_name}\n")
    string(APPEND failures "\n${folder}: velmora-play exits ${status}:\n${messages}")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
file(REMOVE_RECURSE "${WORK}")
