# 32-bit Windows (the release build), cross-compiled with MinGW-w64.
set(QUENFIX_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Where the machine runs 32-bit code itself, the tests of this build run under Wine's
# 32-bit loader. Where the loader (package wine32:i386) is missing, or the kernel
# refuses it (IA-32 emulation switched off: "Exec format error"), the build registers
# no emulator and no tests; the 64-bit build then checks this build's program as a
# file. QUENFIX_X86_TESTS_NOT_RUN says why, for the test command's summary.
# The loader starts through the shell: the C library would take a program that the
# kernel refuses for a shell script, and the kernel's answer would be lost.
set(quenfix_wine32 /usr/lib/wine/wine)
set(quenfix_x86_tests_not_run "")
if(NOT EXISTS ${quenfix_wine32})
  set(quenfix_x86_tests_not_run "no 32-bit Wine loader installed (package wine32:i386)")
else()
  execute_process(COMMAND sh -c "exec ${quenfix_wine32} --version"
                  RESULT_VARIABLE quenfix_wine32_result OUTPUT_QUIET ERROR_VARIABLE quenfix_wine32_error)
  if(quenfix_wine32_result STREQUAL "0")
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run CACHE STRING "")
  elseif(quenfix_wine32_error MATCHES "Exec format error")
    set(quenfix_x86_tests_not_run "this kernel cannot run 32-bit programs")
  else()
    set(quenfix_x86_tests_not_run
        "Wine's 32-bit loader ${quenfix_wine32} does not start (exit status ${quenfix_wine32_result})")
  endif()
endif()
set(QUENFIX_X86_TESTS_NOT_RUN "${quenfix_x86_tests_not_run}" CACHE INTERNAL "")
