# The fuzz dictionary options.dict: every key of the configuration key table (options.def), in
# its order. MODE=update rewrites the dictionary; MODE=check fails when it differs from the table.
#   cmake -DOPTIONS=src/config/options.def -DDICTIONARY=fuzz/options.dict -DMODE=update -P fuzz/dictionary.cmake
file(STRINGS "${OPTIONS}" lines REGEX "^OPTION\\(")
set(text "# Every key of the configuration file, generated from src/config/options.def by fuzz/dictionary.cmake.\n")
set(count 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^OPTION\\([A-Za-z0-9_]+, (\"[^\"]*\")")
    message(FATAL_ERROR "${OPTIONS}: cannot read the key of: ${line}")
  endif()
  string(APPEND text "key_${count}=${CMAKE_MATCH_1}\n")
  math(EXPR count "${count} + 1")
endforeach()

if(MODE STREQUAL "update")
  file(WRITE "${DICTIONARY}" "${text}")
  message(STATUS "${DICTIONARY}: ${count} keys")
elseif(MODE STREQUAL "check")
  file(READ "${DICTIONARY}" committed)
  if(NOT committed STREQUAL text)
    message(FATAL_ERROR "${DICTIONARY} differs from the key table; rewrite it with\n"
      "  cmake -DOPTIONS=src/config/options.def -DDICTIONARY=fuzz/options.dict -DMODE=update -P fuzz/dictionary.cmake")
  endif()
  message(STATUS "${DICTIONARY}: all ${count} keys of the key table")
else()
  message(FATAL_ERROR "MODE must be update or check")
endif()
