# Makes the release bundle with CPack, unpacks it in a fresh folder and plays an example from it
# under Wine with nothing but what the bundle holds (velmora-play.exe finds Velmora.dll beside it).
# Its programs ship without debug sections and symbol tables; the debug sections stay in the
# build folder.
#   cmake -DCPACK=... -DBUILD=<win32 build folder> -DWORK=<folder> -DWINE_RUN=... -DWINE_PREFIX=...
#         -DOBJDUMP=... -DCHECKER=ON|OFF -DSAMPLE_CONFIG=ON|OFF -P bundle_plays_under_wine.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/out ${WORK}/fresh)
execute_process(COMMAND ${CPACK} -G ZIP --config ${BUILD}/CPackConfig.cmake -B ${WORK}/out
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB zips ${WORK}/out/*.zip)
list(LENGTH zips count)
if(NOT status EQUAL 0 OR NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made ${count} ZIP files (status ${status}):\n${output}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zips} WORKING_DIRECTORY ${WORK}/fresh RESULT_VARIABLE status)
set(bundle ${WORK}/fresh/Velmora-Windows)

set(wanted Velmora.dll velmora-play.exe README.txt Velmora-reference.html examples/departure.scn
  examples/station_stop.scn examples/british_cab.scn examples/british_cab.cfg)
if(CHECKER)
  list(APPEND wanted velmora-check.exe)
endif()
if(SAMPLE_CONFIG)
  list(APPEND wanted Velmora.cfg)
endif()
foreach(file ${wanted})
  if(NOT EXISTS ${bundle}/${file})
    file(GLOB_RECURSE held RELATIVE ${WORK}/fresh ${WORK}/fresh/*)
    message(FATAL_ERROR "the bundle lacks ${file}; it holds: ${held}")
  endif()
endforeach()

set(shipped_programs Velmora.dll tools/velmora-play.exe)
if(CHECKER)
  list(APPEND shipped_programs tools/velmora-check.exe)
endif()
foreach(built ${shipped_programs})
  get_filename_component(program ${built} NAME)
  execute_process(COMMAND ${OBJDUMP} -h -t ${bundle}/${program} OUTPUT_VARIABLE shipped RESULT_VARIABLE status)
  execute_process(COMMAND ${OBJDUMP} -h ${BUILD}/${built}.debug OUTPUT_VARIABLE kept)
  if(NOT status EQUAL 0 OR shipped MATCHES "[.]debug_" OR NOT kept MATCHES "[.]debug_info")
    message(FATAL_ERROR "${program} ships with debug sections, or ${BUILD}/${built}.debug lacks them:\n${shipped}")
  endif()
  # A COFF symbol table entry reads "[  n](sec s)(fl ..)(ty ..)(scl ..) (nx ..) value name".
  if(shipped MATCHES "\n\\[ *[0-9]+\\]\\(sec")
    message(FATAL_ERROR "${program} ships with its symbol table:\n${shipped}")
  endif()
endforeach()
# The kept sections lead an address of the shipped DLL to the plug-in's own source line: the
# address of Elapse from the export table, which is all the shipped DLL still names.
string(REPLACE "objdump" "addr2line" addr2line ${OBJDUMP})
execute_process(COMMAND ${OBJDUMP} -p ${bundle}/Velmora.dll OUTPUT_VARIABLE headers)
string(REGEX MATCH "\nImageBase[ \t]+([0-9a-fA-F]+)" base "${headers}")
set(image_base ${CMAKE_MATCH_1})
# The name table gives the entry's index in the export address table: "[   5] Elapse".
string(REGEX MATCH "\n[ \t]*\\[ *([0-9]+)\\] Elapse\n" named "${headers}")
set(index ${CMAKE_MATCH_1})
string(REGEX MATCH "\n[ \t]*\\[ *${index}\\] \\+base\\[ *[0-9]+\\] +([0-9a-fA-F]+) Export RVA" entry "${headers}")
if(NOT image_base OR NOT named OR NOT entry)
  message(FATAL_ERROR "the shipped Velmora.dll exports no Elapse:\n${headers}")
endif()
math(EXPR address "0x${image_base} + 0x${CMAKE_MATCH_1}" OUTPUT_FORMAT HEXADECIMAL)
execute_process(COMMAND ${addr2line} -f -e ${BUILD}/Velmora.dll.debug ${address} OUTPUT_VARIABLE line)
if(NOT line MATCHES "^_?Elapse(@48)?\n[^\n]*src/plugin/atsplugin.cpp:[0-9]+")
  message(FATAL_ERROR "Velmora.dll.debug does not lead Elapse (${named}${entry} at ${address}) to its source: ${line}")
endif()

execute_process(COMMAND ${WINE_RUN} ${WINE_PREFIX} velmora-play.exe --clean --every 10000 examples/station_stop.scn
  WORKING_DIRECTORY ${bundle} RESULT_VARIABLE status OUTPUT_VARIABLE trace ERROR_VARIABLE messages)
if(NOT status EQUAL 0 OR NOT trace MATCHES "^time,speed," OR NOT messages MATCHES "expect lines met")
  message(FATAL_ERROR "playing from the bundle: status ${status}\n${trace}\n${messages}")
endif()
if(CHECKER)
  execute_process(COMMAND ${WINE_RUN} ${WINE_PREFIX} velmora-check.exe Velmora.cfg
    WORKING_DIRECTORY ${bundle} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "velmora-check.exe does not pass the sample Velmora.cfg (status ${status}):\n${output}")
  endif()
endif()
file(REMOVE_RECURSE ${WORK})
