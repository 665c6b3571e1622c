#pragma once
// A plain child window that hands its painting to its owner. Its class keeps a DC
// of its own (CS_OWNDC), so the DC it exposes stays valid between paints and can be
// drawn into at any time, not only inside WM_PAINT.

#include "BaseWindow.h"
#include "DrawHost.h"

#include <functional>

class PictureBox final : public win::BaseWindow<PictureBox>, public DrawHost {
public:
    using PaintHandler = std::function<void()>;
    using PrintHandler = std::function<void(HDC target)>;

    PictureBox() = default;
    ~PictureBox() { DestroyHwnd(); }

    bool Create(HWND parent, int id, const RECT& bounds) noexcept;
    // WM_PAINT: the handler paints through the window's own DC (hDC()).
    void OnPaint(PaintHandler handler) { m_onPaint = std::move(handler); }
    // WM_PRINTCLIENT: the handler paints the client area into the DC it is given.
    void OnPrint(PrintHandler handler) { m_onPrint = std::move(handler); }

    [[nodiscard]] HWND hWnd() const noexcept override { return Hwnd(); }
    [[nodiscard]] HDC hDC() const noexcept override;

    static LPCWSTR ClassName() noexcept { return L"QuenfixPictureBox"; }
    static UINT ClassStyle() noexcept { return CS_OWNDC; }
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept;

private:
    PaintHandler m_onPaint;
    PrintHandler m_onPrint;
};
