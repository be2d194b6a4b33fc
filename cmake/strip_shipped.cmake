# Run when the bundle is packed, for one installed program: its debug sections into
# "${built}.debug" beside the built program; the installed copy stripped of them and of its
# symbol table (the DLL's entry points stay in its export table) and linked to that file. Set by
# the install rule before: built (the program in the build folder), objcopy.
get_filename_component(name "${built}" NAME)
set(installed "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${name}")
execute_process(COMMAND "${objcopy}" --only-keep-debug "${built}" "${built}.debug" RESULT_VARIABLE rc)
if(rc EQUAL 0)
  execute_process(COMMAND "${objcopy}" --strip-all "--add-gnu-debuglink=${built}.debug" "${installed}"
    RESULT_VARIABLE rc)
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "could not strip ${installed} (${objcopy}: ${rc})")
endif()
message(STATUS "Stripped: ${installed} (debug sections and symbols in ${built}.debug)")
