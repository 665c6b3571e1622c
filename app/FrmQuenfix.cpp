#include "FrmQuenfix.h"

#include "AnsiText.h"
#include "CommandList.h"
#include "CommonControls.h"
#include "FrmQuenfixDefinition.h"
#include "HiddenCommand.h"
#include "MessagePump.h"
#include "ProgressDisplay.h"
#include "Units.h"
#include "mdXpThemeSupport.h"
#include "resource.h"

#include <windowsx.h>

#include <array>
#include <new>

namespace {

using namespace FrmQuenfixDefinition;

constexpr UINT kRunRepairMessage = WM_APP + 1;
constexpr UINT_PTR kMouseUpSubclassId = 1;
constexpr UINT_PTR kLinkSubclassId = 2;
// Runs nested inside one another by presses during a run, at most: more than any
// person makes, few enough for the window thread's stack.
constexpr int kMostRunsAtOnce = 16;
constexpr const char* kNotElevated = "Registering: Not started. Run Quenfix as administrator.";

// Counts a run as in progress for as long as it lives.
class RunInProgress {
public:
    explicit RunInProgress(int& runs) noexcept : m_runs(runs) { ++m_runs; }
    RunInProgress(const RunInProgress&) = delete;
    RunInProgress& operator=(const RunInProgress&) = delete;
    ~RunInProgress() { --m_runs; }

private:
    int& m_runs;
};

RECT TwipsToPixels(const RECT& twips, int dpi) noexcept {
    using win::TwipsToPixels;
    return {TwipsToPixels(twips.left, dpi), TwipsToPixels(twips.top, dpi),
            TwipsToPixels(twips.right, dpi), TwipsToPixels(twips.bottom, dpi)};
}

// What the user reads where the program will not open the page itself.
std::wstring AddressMessage(const std::wstring& address) {
    return L"Quenfix runs as administrator, and a browser it started would run so too, web pages included. "
           L"It hands pages to the Windows desktop (Explorer) instead, which could not take this one now.\n\n"
           L"Open this address in your browser:\n\n" +
           address + L"\n\n(Ctrl+C copies this message.)";
}

}  // namespace

FrmQuenfix::FrmQuenfix(RepairPlatform platform, mdXpThemeSupport::Platform themePlatform)
    : m_platform(std::move(platform)),
      m_themeSupport(themePlatform),
      m_link(LinkPlatform::System()),
      m_font(std::make_shared<win::StdFont>(kFontName, kFontPoints, win::StdFont::kBold)) {}

void FrmQuenfix::CustomizeClass(WNDCLASSEXW& wc) noexcept {
    wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(IDI_QUENFIX));
}

bool FrmQuenfix::Create() noexcept {
    try {
        return CreateWindowAndControls();
    } catch (const std::bad_alloc&) {
        DestroyHwnd();
        return false;
    }
}

bool FrmQuenfix::CreateWindowAndControls() {
    const int dpi = LayoutDpi();
    RECT frame = {0, 0, win::TwipsToPixels(kClientWidthTwips, dpi), win::TwipsToPixels(kClientHeightTwips, dpi)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - width) / 2;
    const int y = work.top + (work.bottom - work.top - height) / 2;

    std::wstring title(kCaption, kCaption + std::char_traits<char>::length(kCaption));
    if (!CreateHwnd(kExStyle, title.c_str(), kStyle, x, y, width, height, nullptr, nullptr)) {
        return false;
    }
    // A window without all its controls would never be shown and never end.
    if (!CreateControls()) {
        DestroyHwnd();
        return false;
    }
    FillCommandList();
    Load();
    return true;
}

bool FrmQuenfix::CreateControls() {
    const int dpi = LayoutDpi();
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (!Picture1.Create(Hwnd(), kPicture1, TwipsToPixels(kPicture1Twips, dpi))) return false;
    for (const ControlTemplate& c : kControls) {
        const HWND control = ::CreateWindowExW(
            0, c.windowClass, L"", c.style, win::TwipsToPixels(c.left, dpi), win::TwipsToPixels(c.top, dpi),
            win::TwipsToPixels(c.width, dpi), win::TwipsToPixels(c.height, dpi), Hwnd(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        if (!control) return false;
        ::SetWindowTextA(control, c.text);
    }
    for (HWND child = ::GetWindow(Hwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_font->hFont()), FALSE);
    }
    // A static control takes the size of its picture: the logo is scaled to the size
    // the control has at this resolution, as the other controls are.
    RECT logoArea{};
    ::GetClientRect(Control(kImage2), &logoArea);
    m_logo.reset(static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP,
                                                   logoArea.right, logoArea.bottom, LR_DEFAULTCOLOR)));
    ::SendMessageW(Control(kImage2), STM_SETIMAGE, IMAGE_BITMAP,
                   reinterpret_cast<LPARAM>(m_logo.get()));
    // Without them the button would never start a run and the link never open.
    const auto self = reinterpret_cast<DWORD_PTR>(this);
    if (!comctl32::SetWindowSubclass(Control(kCommand1), &FrmQuenfix::Command1Proc, kMouseUpSubclassId, self) ||
        !comctl32::SetWindowSubclass(Control(kImage2), &FrmQuenfix::LinkProc, kLinkSubclassId, self) ||
        !comctl32::SetWindowSubclass(Control(kLabel4), &FrmQuenfix::LinkProc, kLinkSubclassId, self)) {
        return false;
    }
    m_command1.hWnd(Control(kCommand1));
    m_command1.Style(GraphicalButton::kGraphical);
    m_command1.Font(m_font);
    Picture1.OnPaint([this](HDC target) {
        RECT client{};
        ::GetClientRect(Picture1.hWnd(), &client);
        (void)m_cProgress.DrawToDC(Picture1.hWnd(), target, client.left, client.top, client.right,
                                   client.bottom);
    });
    return true;
}

// List1 is the window's list of the command lines, never shown: it keeps the window
// the same to anything that looks at its controls. The run does not read it.
void FrmQuenfix::FillCommandList() noexcept {
    const HWND list = Control(kList1);
    for (const char* line : CommandList::Lines()) {
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
}

void FrmQuenfix::Load() {
    const mdXpThemeSupport::FormControl controls[] = {
        mdXpThemeSupport::FormControl::Of(mdXpThemeSupport::ControlKind::CheckBox, m_command1)};
    m_themeSupport.FixThemeSupport(controls);
    ProgressDisplay::SetUp(m_cProgress, Picture1, m_font);
}

void FrmQuenfix::ShowProgress(int linesDone) {
    // The caption is also the strip's window text, where assistive technology reads it.
    if (const auto caption = ProgressDisplay::Advance(m_cProgress, linesDone)) {
        ::SetWindowTextA(Picture1.hWnd(), caption->c_str());
    }
}

int FrmQuenfix::LayoutDpi() const noexcept {
    return m_layoutDpi > 0 ? m_layoutDpi : win::ScreenDpi().x;
}

void FrmQuenfix::Show() noexcept {
    ::ShowWindow(Hwnd(), SW_SHOWNORMAL);
    ::UpdateWindow(Hwnd());
}

void FrmQuenfix::SetLabelCaption(ControlId label, const std::string& text) noexcept {
    const HWND control = Control(label);
    ::SetWindowTextA(control, text.c_str());
    // The label has no background of its own: what lies behind it must be painted
    // again, or the old text would show through the new one.
    RECT area{};
    ::GetWindowRect(control, &area);
    ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&area), 2);
    ::RedrawWindow(Hwnd(), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FrmQuenfix::RunRepair() {
    // Every step below lets pending messages through; once the window is closed
    // the run stops where it is. A modal loop of another's (a shell call's, say) can
    // take the quit request on its way: the window's own end then stops the run,
    // and puts the request back for the message loop.
    const auto letMessagesThrough = [this] {
        const bool going = MessagePump::ProcessPendingMessages();
        if (!m_destroyed) return going;
        ::PostQuitMessage(0);
        return false;
    };

    ::SendMessageW(Control(kCommand1), BM_SETCHECK, BST_UNCHECKED, 0);
    // A press during a run starts a whole run inside it, on the same stack: a burst
    // of presses would otherwise nest runs until the stack ran out.
    if (m_runsInProgress >= kMostRunsAtOnce) return;
    // Every command would fail for lack of rights, and the run would still end "Done".
    if (m_platform.runsUnelevated && m_platform.runsUnelevated()) {
        SetLabelCaption(kLabel2, kNotElevated);
        return;
    }
    const RunInProgress counted(m_runsInProgress);
    if (!letMessagesThrough()) return;
    // The lines come from the program itself, not from List1, which any program on
    // the desktop can send messages to.
    const auto lines = CommandList::Lines();
    ProgressDisplay::Begin(m_cProgress, static_cast<int>(lines.size()));
    int linesDone = 0;
    for (const std::string command : lines) {
        if (!letMessagesThrough()) return;
        SetLabelCaption(kLabel2, kRegistering + command);
        if (!letMessagesThrough()) return;
        // The first execution reaches the native system directory of 64-bit Windows.
        (void)HiddenCommand::RunHiddenCommand(command, true, m_platform);
        if (!letMessagesThrough()) return;
        (void)HiddenCommand::RunHiddenCommand(command, false, m_platform);
        if (!letMessagesThrough()) return;
        // Shown before the pass ends with a last look at the queue, so that each
        // count is on screen before the next entry is taken up.
        ShowProgress(++linesDone);
        if (!letMessagesThrough()) return;
    }
    SetLabelCaption(kLabel2, std::string(kRegistering) + "Done");
    letMessagesThrough();
}

// As a dialog does: the control that had the focus gets it back when the window is
// active again, and at first the one with the lowest tab index, Command1.
void FrmQuenfix::OnActivate(bool active) noexcept {
    if (!active) {
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(Hwnd(), focus)) m_focus = focus;
        return;
    }
    ::SetFocus(m_focus && ::IsWindow(m_focus) ? m_focus : Control(kCommand1));
}

LRESULT FrmQuenfix::OnCtlColorStatic(HDC hdc, HWND control) noexcept {
    ::SetBkMode(hdc, TRANSPARENT);
    const int colour = control == Control(kLabel4) ? COLOR_HIGHLIGHT : COLOR_BTNTEXT;
    ::SetTextColor(hdc, ::GetSysColor(colour));
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

bool FrmQuenfix::OnSetCursor(HWND control) noexcept {
    if (control != Control(kImage2) && control != Control(kLabel4)) return false;
    // Loaded when the pointer first comes over the link, not before the window's
    // first paint, which it has no part in.
    if (!m_linkCursor) m_linkCursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_LINKHAND));
    if (!m_linkCursor) return false;
    ::SetCursor(m_linkCursor);
    return true;
}

// Elevated, the program would start the browser as administrator, web pages
// included, by the per-user association for https that any program of the user can
// change; so then, and whenever its rights cannot be told, the desktop's shell starts
// it with the user's normal rights, or the user is given the address. A failed
// allocation opens nothing.
void FrmQuenfix::OpenMakersPage() noexcept {
    try {
        if (m_link.processIsElevated() == false) {
            m_link.shellExecute(Hwnd(), "Open", kMakersPage, "", "", SW_SHOWNORMAL);
            return;
        }
        const std::wstring page = win::WideFromAnsi(kMakersPage);
        if (m_link.desktopShellExecute(page.c_str(), L"Open", L"", L"", SW_SHOWNORMAL)) return;
        m_link.messageBox(Hwnd(), AddressMessage(page).c_str(), L"Quenfix", MB_OK | MB_ICONINFORMATION);
    } catch (const std::bad_alloc&) {
    }
}

LRESULT FrmQuenfix::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_ACTIVATE:
        // Not for a minimised window: it keeps the focus itself, as the default does.
        if (HIWORD(wp) != 0) break;
        OnActivate(LOWORD(wp) != WA_INACTIVE);
        return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wp))) return TRUE;
        break;
    case kRunRepairMessage:
        RunRepair();
        return 0;
    case WM_DESTROY:
        // Closing the window ends the program, a run in progress included: the run
        // sees that at its next step and stops there.
        m_destroyed = true;
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(Hwnd(), msg, wp, lp);
}

LRESULT CALLBACK FrmQuenfix::Command1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                          DWORD_PTR self) noexcept {
    // Nothing here can throw: no guard needed.
    switch (msg) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        // The button finishes its own handling of the release (its capture and its
        // pressed state) before the run starts from the window's queue.
        const LRESULT result = comctl32::DefSubclassProc(hwnd, msg, wp, lp);
        ::PostMessageW(reinterpret_cast<FrmQuenfix*>(self)->Hwnd(), kRunRepairMessage, 0, 0);
        return result;
    }
    case WM_NCDESTROY:
        comctl32::RemoveWindowSubclass(hwnd, &FrmQuenfix::Command1Proc, id);
        break;
    default:
        break;
    }
    return comctl32::DefSubclassProc(hwnd, msg, wp, lp);
}

// A link opens when the left button is released over the control it was pressed on,
// as a link does: the press takes the mouse, so that the release comes here wherever
// it is, and a release outside opens nothing. The notification the control itself
// sends comes with the press.
LRESULT CALLBACK FrmQuenfix::LinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR self) noexcept {
    switch (msg) {
    case WM_LBUTTONDOWN:
        ::SetCapture(hwnd);
        break;
    case WM_LBUTTONUP: {
        if (::GetCapture() != hwnd) break;
        ::ReleaseCapture();
        RECT client{};
        ::GetClientRect(hwnd, &client);
        if (::PtInRect(&client, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) {
            reinterpret_cast<FrmQuenfix*>(self)->OpenMakersPage();
        }
        return 0;
    }
    case WM_NCDESTROY:
        comctl32::RemoveWindowSubclass(hwnd, &FrmQuenfix::LinkProc, id);
        break;
    default:
        break;
    }
    return comctl32::DefSubclassProc(hwnd, msg, wp, lp);
}
