# 32-bit Windows (the release build), cross-compiled with MinGW-w64.
# The -posix compilers are required: the -win32 ones lack std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_C_COMPILER   i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Where the machine runs 32-bit code itself, the tests of this build run under Wine's
# 32-bit loader. Where it cannot (a kernel with IA-32 emulation switched off fails
# to start the loader with "Exec format error"), the build registers no emulator and
# no tests; the 64-bit build then checks this build's program as a file.
execute_process(COMMAND /usr/lib/wine/wine --version
                RESULT_VARIABLE quenfix_wine32_result OUTPUT_QUIET ERROR_QUIET)
if(quenfix_wine32_result STREQUAL "0")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run CACHE STRING "")
endif()
