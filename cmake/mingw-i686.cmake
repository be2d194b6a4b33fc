# Cross build for the host simulator's platform: 32-bit Windows, MinGW-w64 (i686). What ships is
# built with the win32 thread model, the test programs with the posix one.
# Test programs run under Wine through the emulator wrapper beside this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VELMORA_MINGW_PREFIX i686-w64-mingw32)
# The build's compiler has the posix thread model: GoogleTest needs std::mutex, which the win32
# model of this compiler lacks. Its runtime, linked in statically, takes a thread-local-storage
# slot each time a DLL containing it is loaded and never gives it back: a host that loads and
# frees such a plug-in again and again runs out of slots after about a thousand rounds and aborts.
find_program(CMAKE_CXX_COMPILER NAMES ${VELMORA_MINGW_PREFIX}-g++-posix REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${VELMORA_MINGW_PREFIX}-gcc-posix REQUIRED)
# What ships (Velmora.dll and the tools) is built by the same compiler release with the win32
# thread model, whose runtime keeps nothing once the DLL is freed; the plug-in starts no threads.
# Those targets compile their sources themselves, apart from the libraries that the tests link,
# so no program mixes the two runtimes (velmora_ship_with_win32_threads in CMakeLists.txt).
find_program(VELMORA_SHIPPED_CXX_COMPILER NAMES ${VELMORA_MINGW_PREFIX}-g++-win32 REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${VELMORA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# 32-bit floats are computed as 32-bit floats (SSE2), as on the 64-bit build, instead of in the
# x87 unit's wider registers, so comparisons and truncations give the same result everywhere.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# Every program of this build, the DLL included, links libgcc and libstdc++ (and, with the posix
# thread model, winpthread) statically, so a test runs under Wine without DLLs from the cross
# compiler beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine with a prefix of their own inside the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run;${CMAKE_BINARY_DIR}/wineprefix")
