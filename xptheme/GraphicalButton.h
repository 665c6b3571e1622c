#pragma once
// The model of a command button, check box or option button whose face the program
// can paint itself: what the themed painting reads at every paint. Value, Enabled,
// Visible and Caption come from the button's window once one is attached, so that
// the model and the window can never disagree; without a window they are kept here.

#include "StdFont.h"
#include "StdPicture.h"

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <memory>
#include <string>

class GraphicalButton {
public:
    // Style: 0 is the platform's own look, 1 a face painted by the program.
    static constexpr int kStandard = 0;
    static constexpr int kGraphical = 1;
    // Colour values: bit 31 set names a system colour by its low byte.
    static constexpr OLE_COLOR kButtonFace = 0x8000000F;
    static constexpr OLE_COLOR kSilver = 0x00C0C0C0;

    using PicturePtr = std::shared_ptr<const win::StdPicture>;
    // The form's active control, if it has a Default property (it is a button);
    // nullptr when there is no active control or it has no such property.
    using ActiveControlQuery = std::function<const GraphicalButton*()>;

    GraphicalButton() = default;
    // Takes the themed painting off the window first, if it still points here.
    ~GraphicalButton();
    // The subclass of the button's window refers to this object by address.
    GraphicalButton(const GraphicalButton&) = delete;
    GraphicalButton& operator=(const GraphicalButton&) = delete;

    [[nodiscard]] HWND hWnd() const noexcept { return m_hWnd; }
    void hWnd(HWND hWnd) noexcept { m_hWnd = hWnd; }

    [[nodiscard]] std::string Caption() const;
    void Caption(std::string sCaption);
    [[nodiscard]] const std::shared_ptr<win::StdFont>& Font() const noexcept { return m_font; }
    void Font(std::shared_ptr<win::StdFont> font) noexcept { m_font = std::move(font); }

    [[nodiscard]] const PicturePtr& Picture() const noexcept { return m_picture; }
    void Picture(PicturePtr picture) noexcept { m_picture = std::move(picture); }
    [[nodiscard]] const PicturePtr& DownPicture() const noexcept { return m_downPicture; }
    void DownPicture(PicturePtr picture) noexcept { m_downPicture = std::move(picture); }
    [[nodiscard]] const PicturePtr& DisabledPicture() const noexcept { return m_disabledPicture; }
    void DisabledPicture(PicturePtr picture) noexcept { m_disabledPicture = std::move(picture); }

    [[nodiscard]] OLE_COLOR MaskColor() const noexcept { return m_maskColor; }
    void MaskColor(OLE_COLOR oColor) noexcept { m_maskColor = oColor; }
    [[nodiscard]] bool UseMaskColor() const noexcept { return m_useMaskColor; }
    void UseMaskColor(bool bState) noexcept { m_useMaskColor = bState; }
    [[nodiscard]] OLE_COLOR BackColor() const noexcept { return m_backColor; }
    void BackColor(OLE_COLOR oColor) noexcept { m_backColor = oColor; }

    [[nodiscard]] bool Value() const noexcept;
    void Value(bool bState) noexcept;
    [[nodiscard]] bool Enabled() const noexcept;
    void Enabled(bool bState) noexcept;
    [[nodiscard]] bool Visible() const noexcept;
    void Visible(bool bState) noexcept;

    [[nodiscard]] int Style() const noexcept { return m_style; }
    void Style(int lStyle) noexcept { m_style = lStyle; }
    [[nodiscard]] bool Default() const noexcept { return m_default; }
    void Default(bool bState) noexcept { m_default = bState; }

    [[nodiscard]] const GraphicalButton* ParentActiveControl() const;
    void ParentActiveControl(ActiveControlQuery query) { m_activeControl = std::move(query); }

private:
    HWND m_hWnd = nullptr;
    std::string m_caption;
    std::shared_ptr<win::StdFont> m_font;
    PicturePtr m_picture;
    PicturePtr m_downPicture;
    PicturePtr m_disabledPicture;
    OLE_COLOR m_maskColor = kSilver;
    bool m_useMaskColor = false;
    OLE_COLOR m_backColor = kButtonFace;
    bool m_value = false;
    bool m_enabled = true;
    bool m_visible = true;
    int m_style = kStandard;
    bool m_default = false;
    ActiveControlQuery m_activeControl;
};
