#pragma once
// The base of the program's window classes: one static window procedure per class,
// a thin thunk that keeps `this` in the window's user data from WM_NCCREATE on and
// forwards every message to Derived::HandleMessage. A handler may throw (an
// allocation that fails); the thunk answers such a message as DefWindowProc would,
// so that nothing unwinds into the system's dispatch.

#include <windows.h>

namespace win {

// The handler's answer, or the default procedure's when the handler throws. For
// every window and subclass procedure: an exception must not leave one.
template <typename Handler, typename Default>
LRESULT HandleOrDefault(Handler&& handler, Default&& byDefault) noexcept {
    try {
        return handler();
    } catch (...) {
        return byDefault();
    }
}

template <typename Derived>
class BaseWindow {
public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    [[nodiscard]] HWND Hwnd() const noexcept { return m_hwnd; }

protected:
    ~BaseWindow() { DestroyHwnd(); }

    // A derived class calls this first thing in its destructor: the messages that
    // destruction sends must still find the derived object whole.
    void DestroyHwnd() noexcept {
        if (m_hwnd) ::DestroyWindow(m_hwnd);
    }

    // Registers the class on first use (Derived::ClassName, Derived::ClassStyle) and
    // creates the window. Returns false when the system refused.
    bool CreateHwnd(DWORD exStyle, LPCWSTR title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId) noexcept {
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSEXW wc{};
        if (!::GetClassInfoExW(instance, Derived::ClassName(), &wc)) {
            wc = {};
            wc.cbSize = sizeof wc;
            wc.style = Derived::ClassStyle();
            wc.lpfnWndProc = &BaseWindow::WindowProc;
            wc.hInstance = instance;
            wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = Derived::ClassName();
            static_cast<Derived*>(this)->CustomizeClass(wc);
            if (!::RegisterClassExW(&wc)) return false;
        }
        return ::CreateWindowExW(exStyle, Derived::ClassName(), title, style, x, y, width, height,
                                 parent, menuOrId, instance, this) != nullptr;
    }

    // Hook for a derived class that wants an icon or a background of its own.
    void CustomizeClass(WNDCLASSEXW&) noexcept {}

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
        Derived* self = nullptr;
        if (msg == WM_NCCREATE) {
            self = static_cast<Derived*>(
                static_cast<BaseWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
            self->m_hwnd = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
        const LRESULT result = HandleOrDefault([&] { return self->HandleMessage(msg, wp, lp); },
                                               [&] { return ::DefWindowProcW(hwnd, msg, wp, lp); });
        if (msg == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->m_hwnd = nullptr;
        }
        return result;
    }

    HWND m_hwnd = nullptr;
};

}  // namespace win
