#include "StackGuard.h"

#include <windows.h>

// Replaced by the seeding below as the program starts; kept only for a seed that
// comes out 0.
std::uintptr_t __stack_chk_guard = static_cast<std::uintptr_t>(0x5EED0F5EC0DEull);

void __stack_chk_fail() { __builtin_trap(); }

void __chk_fail() { __builtin_trap(); }

namespace {

// Folds `value` into `state` (the finaliser of SplitMix64): every bit of either
// reaches every bit of the result.
constexpr std::uint64_t Mix(std::uint64_t state, std::uint64_t value) noexcept {
    std::uint64_t z = state ^ value;
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// What differs from process to process: the time, the counters, the process's and
// thread's ids, where the system put the stack and the program, and the process's
// own secret behind EncodePointer. No call loads a DLL. The function's own frame must
// carry no guard: it changes the guard while it runs.
__attribute__((no_stack_protector)) void SeedGuard() noexcept {
    FILETIME time{};
    ::GetSystemTimeAsFileTime(&time);
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    std::uint64_t seed = Mix(0, (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
    seed = Mix(seed, static_cast<std::uint64_t>(counter.QuadPart));
    seed = Mix(seed, ::GetTickCount64());
    seed = Mix(seed, (std::uint64_t{::GetCurrentProcessId()} << 32) | ::GetCurrentThreadId());
    seed = Mix(seed, reinterpret_cast<std::uintptr_t>(&counter));
    seed = Mix(seed, reinterpret_cast<std::uintptr_t>(&__stack_chk_guard));
    seed = Mix(seed, reinterpret_cast<std::uintptr_t>(::EncodePointer(nullptr)));
    const auto guard = static_cast<std::uintptr_t>(seed);
    if (guard != 0) __stack_chk_guard = guard;
}

// The C runtime calls the initialisers of .CRT$XI first, while it starts: before its
// own of .CRT$XC, before the constructors and before WinMain or main. Loaded with
// this object, since every protected frame refers to the guard.
__attribute__((section(".CRT$XIB"), used)) void (*const kSeedGuardAtStart)() noexcept = &SeedGuard;

}  // namespace
