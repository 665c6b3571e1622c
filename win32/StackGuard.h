#pragma once
// The stack protector's guard and the handlers that end the process when a check
// fails, the program's own. Every frame that the compiler protects
// (-fstack-protector-strong) keeps a copy of the guard and compares it on return, and
// the C library's checked copies (_FORTIFY_SOURCE) call a handler when they would
// overrun their buffer.
// The compiler's runtime would seed the guard through advapi32's cryptographic
// functions, which Windows 7 and later forward to cryptsp.dll, not a KnownDLL: the
// loader resolves such a forward while it binds the program's imports, before any of
// its code runs and with the program's folder first in the search. Defined here, the
// guard is seeded from values unique to the process, with no DLL loaded, as the C
// runtime starts: before its initialisers, the constructors and WinMain, while no
// protected frame is live.

#include <cstdint>

extern "C" {

// Never 0 once seeded, and never changed after.
extern std::uintptr_t __stack_chk_guard;

// A frame found its copy of the guard changed, or a checked copy would overrun its
// buffer: the stack can no longer be trusted, so the process ends at once at a trap
// instruction, without returning, unwinding or calling anything.
[[noreturn]] void __stack_chk_fail();
[[noreturn]] void __chk_fail();

}
