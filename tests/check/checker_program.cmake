# Runs the built velmora-check (under Wine for the Windows build) on real files, one case per
# row, and checks its exit status and what it prints.
# cmake -DCHECKER=<velmora-check> [-DEMULATOR=<runner;args>] -DSOURCE_DIR=<project> -DWORK_DIR=<scratch> -P checker_program.cmake
cmake_minimum_required(VERSION 3.25)
foreach(var CHECKER SOURCE_DIR WORK_DIR)
  if(NOT ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()

set(sample "${SOURCE_DIR}/examples/Velmora.cfg")
set(mistakes "${SOURCE_DIR}/examples/Velmora-mistakes.cfg")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/folder.cfg")
file(READ "${sample}" sample_text)
file(WRITE "${WORK_DIR}/warnings.cfg" "${sample_text}vigilance=1\n")
file(WRITE "${WORK_DIR}/british.cfg" "runubahn=0\nrunawstpws=1\nsystem=2\nawsacknowledgekey=1\ntpwsresetkey=2\n")
set(failures "")

# checker_case(NAME EXIT REGEX ARGUMENTS...): the checker exits with EXIT and prints REGEX.
function(checker_case name expected_exit regex)
  execute_process(COMMAND ${EMULATOR} "${CHECKER}" ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  set(all "${out}${err}")
  if(NOT status STREQUAL expected_exit)
    set(failures "${failures}\n${name}: exit ${status}, expected ${expected_exit}\n${all}" PARENT_SCOPE)
  elseif(NOT all MATCHES "${regex}")
    set(failures "${failures}\n${name}: output does not match '${regex}':\n${all}" PARENT_SCOPE)
  else()
    message(STATUS "${name}: ok")
  endif()
endfunction()

# checker_streams(NAME EXIT STDOUT_REGEX STDERR_REGEX ARGUMENTS...): the same, each stream on its own.
function(checker_streams name expected_exit out_regex err_regex)
  execute_process(COMMAND ${EMULATOR} "${CHECKER}" ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status STREQUAL expected_exit OR NOT out MATCHES "${out_regex}" OR NOT err MATCHES "${err_regex}")
    set(failures "${failures}\n${name}: exit ${status}, expected ${expected_exit}\nstdout: ${out}\nstderr: ${err}" PARENT_SCOPE)
  else()
    message(STATUS "${name}: ok")
  endif()
endfunction()

checker_case(sample_cab_is_clean 0 "^$" "${sample}")
# Every example cab's configuration, whichever systems it runs, passes clean.
file(GLOB example_configs "${SOURCE_DIR}/examples/*.cfg")
list(REMOVE_ITEM example_configs "${mistakes}")
foreach(config ${example_configs})
  get_filename_component(config_name "${config}" NAME_WE)
  checker_case("example_${config_name}_is_clean" 0 "^$" "${config}")
endforeach()
checker_case(mistakes_are_errors 2 "Velmora-mistakes.cfg:[0-9]+:[0-9]+: error: " "${mistakes}")
checker_case(warnings_only 1 "warnings.cfg:[0-9]+:1: warning: 'vigilance=' has no effect" "${WORK_DIR}/warnings.cfg")
checker_case(missing_file 2 "Missing.cfg: error: no such file" "${WORK_DIR}/Missing.cfg")
checker_case(folder 2 "folder.cfg: error: is a folder" "${WORK_DIR}/folder.cfg")
checker_case(help 0 "Exit status: 0 nothing found, 1 warnings only, 2 errors" --help)
checker_case(json 2 "\"severity\": \"error\"" --json "${mistakes}")
checker_case(wiring 0 "Keys \\(handlers in the order they see the key\\):.*  20  sifakey \\(line" --wiring "${sample}")
checker_case(wiring_without_the_u_bahn 0
  "^Running systems: British AWS/TPWS \\(runawstpws=1\\)\n.*Keys [^\n]*\n    1  awsacknowledgekey.*  44003  British AWS/TPWS: TPWS train-stop"
  --wiring "${WORK_DIR}/british.cfg")
checker_case(json_wiring_without_the_u_bahn 0 "\"keys\": \\[\n      {\"number\": 1,.*\"type\": 44003, \"users\": \\[{\"system\": \"British AWS/TPWS\""
  --json --wiring "${WORK_DIR}/british.cfg")
checker_case(no_file_given 2 "no file given" )
checker_case(unknown_option 2 "unknown option '--fix'" --fix "${sample}")
checker_streams(missing_file_on_stderr 2 "^$" "Missing.cfg: error: no such file" "${WORK_DIR}/Missing.cfg")
checker_streams(folder_on_stderr 2 "^$" "folder.cfg: error: is a folder" "${WORK_DIR}/folder.cfg")
checker_streams(json_of_a_missing_file 2 "\"readError\": \"no such file\"" "no such file" --json "${WORK_DIR}/Missing.cfg")
checker_streams(notches_the_cab_uses 0 "^$" "^$" --notches 8,8 "${sample}")
checker_streams(too_few_notches 2
  "Velmora.cfg: error: the vehicle has 4 brake notches.*Velmora.cfg: error: the vehicle has 5 power notches" "^$"
  --notches 4,5 "${sample}")
checker_streams(no_notches_for_a_protection_system 2 "british_cab.cfg: error: the vehicle has 0 power notches" "^$"
  --notches 0,0 "${SOURCE_DIR}/examples/british_cab.cfg")
foreach(bad "4" "4,x" "-1,8" "")
  checker_streams("notches_${bad}_is_a_usage_error" 2 "^$" "--notches takes BRAKE,POWER" --notches "${bad}" "${sample}")
endforeach()
checker_streams(notches_without_counts 2 "^$" "--notches takes BRAKE,POWER" "${sample}" --notches)

if(failures)
  message(FATAL_ERROR "velmora-check:${failures}")
endif()
