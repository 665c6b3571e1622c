#pragma once
// Elapsed time from the performance counter, in seconds.

#include <windows.h>

class Stopwatch {
public:
    Stopwatch() noexcept { ::QueryPerformanceCounter(&m_start); }

    [[nodiscard]] double Seconds() const noexcept {
        LARGE_INTEGER now;
        LARGE_INTEGER frequency;
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_start{};
};
