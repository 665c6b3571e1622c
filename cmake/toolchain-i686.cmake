# 32-bit Windows (the release build), cross-compiled with MinGW-w64.
set(QUENFIX_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Where the machine runs 32-bit code itself, the tests of this build run under Wine's
# 32-bit loader. Where it cannot (a kernel with IA-32 emulation switched off fails
# to start the loader with "Exec format error"), the build registers no emulator and
# no tests; the 64-bit build then checks this build's program as a file.
execute_process(COMMAND /usr/lib/wine/wine --version
                RESULT_VARIABLE quenfix_wine32_result OUTPUT_QUIET ERROR_QUIET)
if(quenfix_wine32_result STREQUAL "0")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run CACHE STRING "")
endif()
