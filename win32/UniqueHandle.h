#pragma once
// Owning wrappers for Win32 handles: one template, one alias per kind of handle.
// Moves allowed, copies deleted, so every handle has exactly one owner and every
// path out of a function, the early returns included, releases it.

#include <windows.h>

#include <utility>

namespace win {

template <typename T, typename Closer, T Invalid = T{}>
class unique_any {
public:
    unique_any() noexcept = default;
    explicit unique_any(T value) noexcept : m_value(value) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : m_value(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_any() { reset(); }

    [[nodiscard]] T get() const noexcept { return m_value; }
    explicit operator bool() const noexcept { return m_value != Invalid; }

    [[nodiscard]] T release() noexcept { return std::exchange(m_value, Invalid); }

    void reset(T value = Invalid) noexcept {
        T old = std::exchange(m_value, value);
        if (old != Invalid) Closer{}(old);
    }

    // For out-parameters: releases what is held and hands out the slot.
    [[nodiscard]] T* put() noexcept {
        reset();
        return &m_value;
    }

private:
    T m_value = Invalid;
};

namespace detail {
struct CloseHandleCloser {
    void operator()(HANDLE h) const noexcept { ::CloseHandle(h); }
};
struct DeleteObjectCloser {
    void operator()(HGDIOBJ h) const noexcept { ::DeleteObject(h); }
};
struct DeleteDCCloser {
    void operator()(HDC h) const noexcept { ::DeleteDC(h); }
};
struct DestroyIconCloser {
    void operator()(HICON h) const noexcept { ::DestroyIcon(h); }
};
struct FindCloseCloser {
    void operator()(HANDLE h) const noexcept { ::FindClose(h); }
};
}  // namespace detail

using unique_handle = unique_any<HANDLE, detail::CloseHandleCloser>;
using unique_hdc = unique_any<HDC, detail::DeleteDCCloser>;
using unique_hbitmap = unique_any<HBITMAP, detail::DeleteObjectCloser>;
using unique_hbrush = unique_any<HBRUSH, detail::DeleteObjectCloser>;
using unique_hpen = unique_any<HPEN, detail::DeleteObjectCloser>;
using unique_hrgn = unique_any<HRGN, detail::DeleteObjectCloser>;
using unique_hfont = unique_any<HFONT, detail::DeleteObjectCloser>;
using unique_hicon = unique_any<HICON, detail::DestroyIconCloser>;
// A search of FindFirstFileW; hold only one that started (not INVALID_HANDLE_VALUE).
using unique_hfind = unique_any<HANDLE, detail::FindCloseCloser>;

// A DC from GetDC/GetWindowDC, handed back to its window with ReleaseDC.
class unique_window_dc {
public:
    unique_window_dc() noexcept = default;
    unique_window_dc(HWND hwnd, HDC hdc) noexcept : m_hwnd(hwnd), m_hdc(hdc) {}
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;
    unique_window_dc(unique_window_dc&& other) noexcept
        : m_hwnd(other.m_hwnd), m_hdc(std::exchange(other.m_hdc, nullptr)) {}
    unique_window_dc& operator=(unique_window_dc&& other) noexcept {
        if (this != &other) {
            reset();
            m_hwnd = other.m_hwnd;
            m_hdc = std::exchange(other.m_hdc, nullptr);
        }
        return *this;
    }
    ~unique_window_dc() { reset(); }

    [[nodiscard]] HDC get() const noexcept { return m_hdc; }
    explicit operator bool() const noexcept { return m_hdc != nullptr; }
    void reset() noexcept {
        if (m_hdc) ::ReleaseDC(m_hwnd, std::exchange(m_hdc, nullptr));
    }

private:
    HWND m_hwnd = nullptr;
    HDC m_hdc = nullptr;
};

[[nodiscard]] inline unique_window_dc GetDC(HWND hwnd) noexcept {
    return unique_window_dc(hwnd, ::GetDC(hwnd));
}

// Puts the previously selected object back into the DC when it goes out of scope.
class unique_select {
public:
    unique_select() noexcept = default;
    unique_select(HDC hdc, HGDIOBJ previous) noexcept : m_hdc(hdc), m_previous(previous) {}
    unique_select(const unique_select&) = delete;
    unique_select& operator=(const unique_select&) = delete;
    unique_select(unique_select&& other) noexcept
        : m_hdc(other.m_hdc), m_previous(std::exchange(other.m_previous, nullptr)) {}
    unique_select& operator=(unique_select&& other) noexcept {
        if (this != &other) {
            reset();
            m_hdc = other.m_hdc;
            m_previous = std::exchange(other.m_previous, nullptr);
        }
        return *this;
    }
    ~unique_select() { reset(); }

    // True when the selection took place (SelectObject gave back the old object).
    explicit operator bool() const noexcept { return m_previous != nullptr; }
    void reset() noexcept {
        if (m_previous) ::SelectObject(m_hdc, std::exchange(m_previous, nullptr));
    }

private:
    HDC m_hdc = nullptr;
    HGDIOBJ m_previous = nullptr;
};

[[nodiscard]] inline unique_select SelectObject(HDC hdc, HGDIOBJ object) noexcept {
    if (!hdc || !object) return {};
    HGDIOBJ previous = ::SelectObject(hdc, object);
    if (previous == HGDI_ERROR) previous = nullptr;
    return unique_select(hdc, previous);
}

// Gives a DC back the state it had when the guard was made, when the guard goes out
// of scope: its clip region, selected objects, background mode, text colour and
// every other attribute that SaveDC keeps.
class unique_dc_state {
public:
    unique_dc_state() noexcept = default;
    unique_dc_state(HDC hdc, int level) noexcept : m_hdc(hdc), m_level(level) {}
    unique_dc_state(const unique_dc_state&) = delete;
    unique_dc_state& operator=(const unique_dc_state&) = delete;
    unique_dc_state(unique_dc_state&& other) noexcept
        : m_hdc(std::exchange(other.m_hdc, nullptr)), m_level(other.m_level) {}
    unique_dc_state& operator=(unique_dc_state&& other) noexcept {
        if (this != &other) {
            reset();
            m_hdc = std::exchange(other.m_hdc, nullptr);
            m_level = other.m_level;
        }
        return *this;
    }
    ~unique_dc_state() { reset(); }

    // Restores the saved level itself, not the last one saved, so that a save that
    // code in between left open cannot take its place.
    void reset() noexcept {
        if (m_hdc) ::RestoreDC(std::exchange(m_hdc, nullptr), m_level);
    }

private:
    HDC m_hdc = nullptr;
    int m_level = 0;
};

[[nodiscard]] inline unique_dc_state SaveDC(HDC hdc) noexcept {
    const int level = hdc ? ::SaveDC(hdc) : 0;
    if (level == 0) return {};
    return unique_dc_state(hdc, level);
}

// Pairs BeginPaint with EndPaint.
class paint_guard {
public:
    explicit paint_guard(HWND hwnd) noexcept : m_hwnd(hwnd), m_hdc(::BeginPaint(hwnd, &m_ps)) {}
    paint_guard(const paint_guard&) = delete;
    paint_guard& operator=(const paint_guard&) = delete;
    ~paint_guard() {
        if (m_hdc) ::EndPaint(m_hwnd, &m_ps);
    }
    [[nodiscard]] HDC hdc() const noexcept { return m_hdc; }
    [[nodiscard]] const PAINTSTRUCT& ps() const noexcept { return m_ps; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_hdc;
};

}  // namespace win
