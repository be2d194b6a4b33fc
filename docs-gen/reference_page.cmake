# Writes the release bundle's reference page from the code's tables and the README parts marked
# "shipped in Velmora-reference.html": the walk-through, the configuration file, the guides to the
# further cab systems and the tools' options (README.md), the cab wiring reference (velmora-wiring), the key table (velmora-keys) and the scenario
# format (tools/README.md). EMULATOR runs the programs of a cross build (Wine).
# cmake -DKEYS=... -DWIRING=... -DREFERENCE=... [-DEMULATOR=<runner>] -DSOURCE_DIR=<source tree>
#       -DPAGE=<Velmora-reference.html> -P reference_page.cmake
cmake_minimum_required(VERSION 3.25)
foreach(var KEYS WIRING REFERENCE SOURCE_DIR PAGE)
  if(NOT ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()

get_filename_component(work "${PAGE}" DIRECTORY)
foreach(generator KEYS WIRING)
  execute_process(COMMAND ${EMULATOR} "${${generator}}" OUTPUT_FILE "${PAGE}.${generator}.md"
    RESULT_VARIABLE rc WORKING_DIRECTORY "${work}")
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${${generator}} failed (${rc})")
  endif()
endforeach()

execute_process(COMMAND ${EMULATOR} "${REFERENCE}" "${PAGE}"
    "From nothing to a working cab=${SOURCE_DIR}/README.md@walkthrough"
    "Configuration file=${SOURCE_DIR}/README.md@configuration file"
    "Guides to the further cab systems=${SOURCE_DIR}/README.md@guides"
    "Cab wiring reference=${PAGE}.WIRING.md"
    "Configuration keys=${PAGE}.KEYS.md"
    "Scenario format of velmora-play=${SOURCE_DIR}/tools/README.md@scenario format"
    "Options of velmora-play and velmora-check=${SOURCE_DIR}/README.md@tool options"
  RESULT_VARIABLE rc WORKING_DIRECTORY "${work}")
file(REMOVE "${PAGE}.KEYS.md" "${PAGE}.WIRING.md")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${REFERENCE} failed (${rc})")
endif()
