# The release bundle for train builders, made by CPack's ZIP generator from a Windows build:
#   cmake --workflow --preset bundle    ->  build/bundle/Velmora-Windows.zip
# (the bundle preset is the win32 build without the tests; the win32 build packs the same with
# cmake --build --preset win32 --target package, and its tests unpack and play it).
# It holds Velmora.dll, the sample Velmora.cfg, velmora-play.exe, velmora-check.exe, the example
# scenarios with their configurations, a short README and the reference page (the walk-through,
# the guides, keys, cab wiring, scenario format, the tools' options), all in one folder
# Velmora-Windows. The checker and the
# sample configuration come along wherever the source tree has them.
install(FILES $<TARGET_FILE:Velmora> DESTINATION .)
install(PROGRAMS $<TARGET_FILE:velmora-play> DESTINATION .)
if(TARGET velmora-check)
  install(PROGRAMS $<TARGET_FILE:velmora-check> DESTINATION .)
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/examples/Velmora.cfg)
  install(FILES ${PROJECT_SOURCE_DIR}/examples/Velmora.cfg DESTINATION .)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples FILES_MATCHING PATTERN "*.scn")
# An example scenario's own configuration (british_cab.cfg beside british_cab.scn) goes with it.
file(GLOB example_configs ${PROJECT_SOURCE_DIR}/examples/*.cfg)
foreach(config ${example_configs})
  get_filename_component(config_name ${config} NAME_WE)
  if(EXISTS ${PROJECT_SOURCE_DIR}/examples/${config_name}.scn)
    install(FILES ${config} DESTINATION examples)
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/docs/bundle-README.txt DESTINATION . RENAME README.txt)
install(FILES ${VELMORA_REFERENCE_PAGE} DESTINATION .)

# What ships carries no debug information and no symbol table. The programs are compiled and
# linked with debug information (it changes no code); when the bundle is packed, the DWARF
# sections of each program go into a file beside the built program (Velmora.dll.debug,
# velmora-play.exe.debug, ...), and the shipped copy, without them and without its COFF symbols,
# names that file in its debug link. So a debugger or addr2line reads the addresses of a crash
# report from the build folder.
foreach(shipped Velmora velmora-play velmora-check)
  if(TARGET ${shipped})
    target_compile_options(${shipped} PRIVATE -g)
    target_link_options(${shipped} PRIVATE -g)
    install(CODE "set(built \"$<TARGET_FILE:${shipped}>\")\nset(objcopy \"${CMAKE_OBJCOPY}\")")
    install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/strip_shipped.cmake)
  endif()
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Velmora)
set(CPACK_PACKAGE_FILE_NAME Velmora-${CMAKE_SYSTEM_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Velmora cab-systems plug-in with its player and checker")
include(CPack)
