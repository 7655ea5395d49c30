# Cross build of the 32-bit Windows plug-in with Debian's MinGW-w64 i686
# compilers, posix thread model: GoogleTest needs std::mutex, which the win32
# model of GCC 12 lacks. Linked statically, the thread layer adds no DLL.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(STATS_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${STATS_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${STATS_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${STATS_MINGW_PREFIX}-windres)
set(CMAKE_AR ${STATS_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${STATS_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${STATS_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program links the C++ and GCC runtimes statically, so a test program
# runs under Wine with nothing beside it but Stats.dll.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, in a prefix of the build folder's own.
get_filename_component(STATS_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "/bin/bash;${STATS_SOURCE_ROOT}/tests/scripts/run-wine.sh;--prefix;${CMAKE_BINARY_DIR}/wine-prefix")
