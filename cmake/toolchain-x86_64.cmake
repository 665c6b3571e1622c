# 64-bit Windows, cross-compiled with MinGW-w64; the build the tests run.
set(QUENFIX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Tests run under Wine's 64-bit loader, through a wrapper that points Wine at the
# build's own prefix (never ~/.wine) and creates that prefix on first use.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine64-run CACHE STRING "")
