#pragma once
// A plain child window that hands its painting to its owner. Its class keeps a DC
// of its own (CS_OWNDC), so the DC it exposes stays valid between paints and can be
// drawn into at any time, not only inside WM_PAINT: a progress bar that repaints on
// every change of its value draws through it.

#include "BaseWindow.h"
#include "DrawHost.h"

#include <functional>

class PictureBox final : public win::BaseWindow<PictureBox>, public DrawHost {
public:
    using PaintHandler = std::function<void(HDC target)>;

    PictureBox() = default;
    ~PictureBox() { DestroyHwnd(); }

    bool Create(HWND parent, int id, const RECT& bounds) noexcept;
    // WM_PAINT and WM_PRINTCLIENT: the handler paints the client area into the DC
    // it is given, the paint's or the caller's.
    void OnPaint(PaintHandler handler) { m_onPaint = std::move(handler); }

    [[nodiscard]] HWND hWnd() const noexcept override { return Hwnd(); }
    [[nodiscard]] HDC hDC() const noexcept override;

    static LPCWSTR ClassName() noexcept { return L"QuenfixPictureBox"; }
    static UINT ClassStyle() noexcept { return CS_OWNDC; }
    // Throws only what the handler throws; the window base answers then.
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    PaintHandler m_onPaint;
};
