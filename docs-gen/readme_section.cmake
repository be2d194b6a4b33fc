# Keeps a generated section of README.md equal to what the code says. The section lies between
#   <!-- BEGIN generated NAME: scripts/update-readme-keys -->  and  <!-- END generated NAME -->
# and is the output of GENERATOR (run with ARGS in WORKDIR). With FENCE set, the section shows
# the run itself in a code block: "$ FENCE", the output, and the exit status; with QUIET_STATUS
# too, the run must end in status 0, which is not shown (a --help text).
# MODE=check fails when the section differs; MODE=update rewrites it in place.
# cmake -DNAME=<name> -DGENERATOR=<program> [-DARGS=<list>] [-DWORKDIR=<dir>] [-DFENCE=<command shown>]
#       [-DQUIET_STATUS=ON] [-DEMULATOR=<runner>] -DREADME=<README.md> -DMODE=check|update -P readme_section.cmake
cmake_minimum_required(VERSION 3.25)
foreach(var NAME GENERATOR README MODE)
  if(NOT ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()
set(begin_marker "<!-- BEGIN generated ${NAME}: scripts/update-readme-keys -->")
set(end_marker "<!-- END generated ${NAME} -->")
if(NOT WORKDIR)
  set(WORKDIR ".")
endif()

execute_process(COMMAND "${GENERATOR}" ${ARGS} WORKING_DIRECTORY "${WORKDIR}"
  OUTPUT_VARIABLE table RESULT_VARIABLE rc)
if(FENCE AND NOT QUIET_STATUS)
  set(table "```\n$ ${FENCE}\n${table}exit status ${rc}\n```\n")
elseif(NOT rc EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed (${rc})")
elseif(FENCE)
  set(table "```\n$ ${FENCE}\n${table}```\n")
endif()
file(READ "${README}" readme)

string(FIND "${readme}" "${begin_marker}" begin_at)
string(FIND "${readme}" "${end_marker}" end_at)
if(begin_at EQUAL -1 OR end_at EQUAL -1 OR end_at LESS begin_at)
  message(FATAL_ERROR "${README} lacks the markers of the ${NAME}:\n  ${begin_marker}\n  ${end_marker}")
endif()
string(LENGTH "${begin_marker}\n" begin_length)
math(EXPR table_at "${begin_at} + ${begin_length}")
math(EXPR table_length "${end_at} - ${table_at}")
string(SUBSTRING "${readme}" ${table_at} ${table_length} current)

if(current STREQUAL table)
  message(STATUS "${README}: the ${NAME} is up to date")
  return()
endif()

if(MODE STREQUAL "update")
  string(SUBSTRING "${readme}" 0 ${table_at} head)
  string(SUBSTRING "${readme}" ${end_at} -1 tail)
  file(WRITE "${README}" "${head}${table}${tail}")
  message(STATUS "${README}: ${NAME} rewritten")
  return()
endif()

# Name the first row that differs, to make the failure easy to read.
string(REPLACE ";" "\\;" current_rows "${current}")
string(REPLACE "\n" ";" current_rows "${current_rows}")
string(REPLACE ";" "\\;" table_rows "${table}")
string(REPLACE "\n" ";" table_rows "${table_rows}")
list(LENGTH current_rows current_count)
list(LENGTH table_rows table_count)
set(detail "README has ${current_count} lines, the code ${table_count}")
set(i 0)
foreach(row IN LISTS table_rows)
  if(i GREATER_EQUAL current_count)
    break()
  endif()
  list(GET current_rows ${i} old)
  if(NOT old STREQUAL row)
    set(detail "first difference:\n  README: ${old}\n  code:   ${row}")
    break()
  endif()
  math(EXPR i "${i} + 1")
endforeach()
message(FATAL_ERROR "${README}: the ${NAME} differs from the code's (${detail})\n"
  "Regenerate it with scripts/update-readme-keys")
