#pragma once
// The program's one window: the status label, the "Repair Now" button, the
// description, the link to the maker's page and the progress strip, and the repair
// run that the button starts.

#include "BaseWindow.h"
#include "GraphicalButton.h"
#include "LinkPlatform.h"
#include "PictureBox.h"
#include "RepairPlatform.h"
#include "StdFont.h"
#include "cProgressBar.h"
#include "mdXpThemeSupport.h"

#include <functional>
#include <memory>
#include <string>

class FrmQuenfix final : public win::BaseWindow<FrmQuenfix> {
public:
    // Control identifiers, in the controls' stored order.
    enum ControlId : int {
        kPicture1 = 101,
        kList1,
        kCommand1,
        kImage2,
        kLabel4,
        kLabel2,
        kLabel1,
    };

    static constexpr const char* kCaption = "Quenfix - By Tarnwick";
    static constexpr const char* kMakersPage = "https://www.facebook.com/Tarnwick";
    static constexpr const char* kRegistering = "Registering: ";

    explicit FrmQuenfix(RepairPlatform platform = RepairPlatform::System(),
                        mdXpThemeSupport::Platform themePlatform = mdXpThemeSupport::Platform::System());
    ~FrmQuenfix() { DestroyHwnd(); }

    // Creates the window and its controls and runs the load step; the window is
    // not shown yet. Returns false, and leaves no window, when the system refused
    // to create it or memory ran out.
    bool Create() noexcept;
    void Show() noexcept;

    // The repair run: every command line of the list, twice each, with the
    // redirection switch off for the start of the first execution. Without
    // administrator rights it runs nothing and says so in Label2.
    void RunRepair();

    // Replaces what a click on the link asks of the system.
    void SetLinkPlatform(LinkPlatform platform) { m_link = std::move(platform); }
    // Lays the window out for `dpi` pixels per inch instead of the screen's, as a
    // later Create does; for the layout's tests at resolutions the screen lacks.
    void LayOutAt(int dpi) noexcept { m_layoutDpi = dpi; }

    // The visual-style support of the window's controls; its start-up runs before
    // the window is created.
    [[nodiscard]] mdXpThemeSupport::ThemeSupport& ThemeSupport() noexcept { return m_themeSupport; }
    [[nodiscard]] const std::shared_ptr<win::StdFont>& Font() const noexcept { return m_font; }
    [[nodiscard]] const cProgressBar& Progress() const noexcept { return m_cProgress; }

    static LPCWSTR ClassName() noexcept { return L"QuenfixMainWindow"; }
    static UINT ClassStyle() noexcept { return 0; }
    void CustomizeClass(WNDCLASSEXW& wc) noexcept;
    // Throws only what an allocation throws; the window base answers then.
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    // These throw only what an allocation throws.
    bool CreateWindowAndControls();
    bool CreateControls();
    void FillCommandList() noexcept;
    void Load();
    void ShowProgress(int linesDone);
    HWND Control(ControlId id) const noexcept { return ::GetDlgItem(Hwnd(), id); }

    void SetLabelCaption(ControlId label, const std::string& text) noexcept;

    void OnActivate(bool active) noexcept;
    LRESULT OnCtlColorStatic(HDC hdc, HWND control) noexcept;
    bool OnSetCursor(HWND control) noexcept;
    void OpenMakersPage() noexcept;

    static LRESULT CALLBACK Command1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                         UINT_PTR id, DWORD_PTR self) noexcept;
    static LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR self) noexcept;
    [[nodiscard]] int LayoutDpi() const noexcept;

    RepairPlatform m_platform;
    mdXpThemeSupport::ThemeSupport m_themeSupport;
    LinkPlatform m_link;
    std::shared_ptr<win::StdFont> m_font;
    PictureBox Picture1;
    // Command1 as the themed painting sees it.
    GraphicalButton m_command1;
    // Paints into Picture1, so it is declared after it and goes first.
    cProgressBar m_cProgress;
    HCURSOR m_linkCursor = nullptr;
    int m_layoutDpi = 0;
    int m_runsInProgress = 0;
    bool m_destroyed = false;
    // The control that had the focus when the window was last deactivated.
    HWND m_focus = nullptr;
    win::unique_hbitmap m_logo;
};
