#pragma once
// What a progress bar paints into: any object with a window (whose client area
// and theme are used) and a device context for that window that stays valid
// between paints.

#include <windows.h>

class DrawHost {
public:
    [[nodiscard]] virtual HWND hWnd() const noexcept = 0;
    [[nodiscard]] virtual HDC hDC() const noexcept = 0;

protected:
    ~DrawHost() = default;
};
