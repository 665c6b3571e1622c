#pragma once
// A windowless progress bar: it holds a range, a position, a caption, colours, a
// font, pictures and style switches, and paints itself into the client area of a
// host (Draw) or into any rectangle of a DC (DrawToDC). It owns no window and takes
// no input. Every property set except Tag repaints it at once.
//
// Colours are OLE colours: 0x00BBGGRR, or with bit 31 set a system colour, whose
// index for the fills is the low five bits (win::SystemBrushIndex) and whose text
// colour is what OleTranslateColor makes of it. Enumerated properties are stored
// unchecked; ProgressBarStyles.h names their values.

#include "ArithmeticResult.h"
#include "DrawHost.h"
#include "ProgressBarStyles.h"
#include "StdFont.h"
#include "StdPicture.h"
#include "pcMemDC.h"

#include <ocidl.h>

#include <memory>
#include <optional>
#include <string>

class cProgressBar {
public:
    cProgressBar();
    cProgressBar(const cProgressBar&) = delete;
    cProgressBar& operator=(const cProgressBar&) = delete;

    // Free text for the caller; never read here, and setting it does not repaint.
    [[nodiscard]] const std::string& Tag() const noexcept { return m_tag; }
    void Tag(std::string sTag) noexcept;

    [[nodiscard]] bool Segments() const noexcept { return m_segments; }
    void Segments(bool bState) noexcept;
    // Paint with the system's visual style when one can be opened for the host's
    // window and no background picture is set.
    [[nodiscard]] bool XpStyle() const noexcept { return m_xpStyle; }
    void XpStyle(bool bState) noexcept;
    // The caption, in the system's ANSI code page.
    [[nodiscard]] const std::string& Text() const noexcept { return m_text; }
    void Text(std::string sText) noexcept;
    [[nodiscard]] int TextAlignX() const noexcept { return m_textAlignX; }
    void TextAlignX(int eAlign) noexcept;
    [[nodiscard]] int TextAlignY() const noexcept { return m_textAlignY; }
    void TextAlignY(int eAlign) noexcept;
    [[nodiscard]] bool ShowText() const noexcept { return m_showText; }
    void ShowText(bool bState) noexcept;

    // How far Value has come from Min towards Max, 0 to 100, not rounded. Fails with
    // an overflow when Value - Min or Max - Min leaves the 32-bit range, and with a
    // division error when Max equals Min.
    [[nodiscard]] ArithmeticResult<double> Percent() const noexcept;

    [[nodiscard]] int Min() const noexcept { return m_min; }
    void Min(int lMin) noexcept;
    [[nodiscard]] int Max() const noexcept { return m_max; }
    void Max(int lMax) noexcept;
    [[nodiscard]] int Value() const noexcept { return m_value; }
    void Value(int lValue) noexcept;
    [[nodiscard]] int BorderStyle() const noexcept { return m_borderStyle; }
    void BorderStyle(int eStyle) noexcept;
    [[nodiscard]] int Appearance() const noexcept { return m_appearance; }
    void Appearance(int eAppearance) noexcept;

    // The host painted into, not owned; it must outlive the bar or be replaced first.
    // Null for none, and then painting does nothing.
    [[nodiscard]] DrawHost* DrawObject() const noexcept { return m_host; }
    void DrawObject(DrawHost* host) noexcept;

    // Paints the host's whole client area. A failed paint leaves the screen as it was
    // and is not reported.
    void Draw() noexcept;
    // Paints into the rectangle of hDC, with the theme of hWnd. The picture is made
    // off screen and copied in one transfer; a paint stopped by an arithmetic error
    // copies nothing and returns the error. The DC keeps the state it had.
    ArithmeticStatus DrawToDC(HWND hWnd, HDC hDC, int lLeft, int lTop, int lRight,
                              int lBottom) noexcept;

    [[nodiscard]] OLE_COLOR BackColor() const noexcept { return m_backColor; }
    void BackColor(OLE_COLOR oColor) noexcept;
    [[nodiscard]] OLE_COLOR ForeColor() const noexcept { return m_foreColor; }
    void ForeColor(OLE_COLOR oColor) noexcept;

    // The caller's font object itself is kept, so later changes to it show. Null
    // draws the caption in whatever font the DC holds.
    [[nodiscard]] const std::shared_ptr<win::StdFont>& Font() const noexcept { return m_font; }
    void Font(std::shared_ptr<win::StdFont> font) noexcept;

    [[nodiscard]] OLE_COLOR BarColor() const noexcept { return m_barColor; }
    void BarColor(OLE_COLOR oColor) noexcept;
    [[nodiscard]] OLE_COLOR BarForeColor() const noexcept { return m_barForeColor; }
    void BarForeColor(OLE_COLOR oColor) noexcept;

    // The pictures are copied at once; later changes to the caller's picture are not
    // seen. Null removes the picture. A picture that holds no bitmap, or one that
    // cannot be copied, is not kept and its error is returned.
    HRESULT BarPicture(const win::StdPicture* sPic) noexcept;
    [[nodiscard]] int BarPictureMode() const noexcept { return m_barPictureMode; }
    void BarPictureMode(int eMode) noexcept;
    [[nodiscard]] int BackPictureMode() const noexcept { return m_backPictureMode; }
    void BackPictureMode(int eMode) noexcept;
    HRESULT Picture(const win::StdPicture* sPic) noexcept;

private:
    template <typename T, typename U>
    void pvSetAndDraw(T& field, U&& value) noexcept {
        field = std::forward<U>(value);
        Draw();
    }
    HRESULT pvSetPicture(const win::StdPicture* sPic, std::optional<pcMemDC>& field) noexcept;

    DrawHost* m_host = nullptr;
    pcMemDC m_buffer;
    std::optional<pcMemDC> m_backPicture;
    std::optional<pcMemDC> m_barPicture;
    int m_appearance = progress_bar::kThin3D;
    int m_borderStyle = progress_bar::kSunken;
    std::shared_ptr<win::StdFont> m_font;
    OLE_COLOR m_backColor = 0xFFFFFFFF;
    OLE_COLOR m_foreColor = 0x00000000;
    OLE_COLOR m_barColor = 0xFFFFFFFF;
    OLE_COLOR m_barForeColor = 0x00FFFFFF;
    int m_barPictureMode = progress_bar::kTiled;
    int m_backPictureMode = progress_bar::kTiled;
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
    int m_textAlignX = progress_bar::kCenter;
    int m_textAlignY = progress_bar::kMiddle;
    bool m_showText = false;
    std::string m_text;
    bool m_segments = false;
    bool m_xpStyle = false;
    std::string m_tag;
};
