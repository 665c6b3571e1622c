#include "GraphicalButton.h"

#include "mdXpThemeSupportInternal.h"

#include <vector>

GraphicalButton::~GraphicalButton() {
    if (m_hWnd) mdXpThemeSupport::pvForgetButton(m_hWnd, this);
}

std::string GraphicalButton::Caption() const {
    if (!m_hWnd) return m_caption;
    const int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0) return {};
    std::vector<char> text(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextA(m_hWnd, text.data(), length + 1);
    return std::string(text.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

void GraphicalButton::Caption(std::string sCaption) {
    if (m_hWnd) ::SetWindowTextA(m_hWnd, sCaption.c_str());
    m_caption = std::move(sCaption);
}

bool GraphicalButton::Value() const noexcept {
    if (!m_hWnd) return m_value;
    return ::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void GraphicalButton::Value(bool bState) noexcept {
    m_value = bState;
    if (m_hWnd) ::SendMessageA(m_hWnd, BM_SETCHECK, bState ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool GraphicalButton::Enabled() const noexcept {
    return m_hWnd ? ::IsWindowEnabled(m_hWnd) != FALSE : m_enabled;
}

void GraphicalButton::Enabled(bool bState) noexcept {
    m_enabled = bState;
    if (m_hWnd) ::EnableWindow(m_hWnd, bState);
}

bool GraphicalButton::Visible() const noexcept {
    return m_hWnd ? ::IsWindowVisible(m_hWnd) != FALSE : m_visible;
}

void GraphicalButton::Visible(bool bState) noexcept {
    m_visible = bState;
    if (m_hWnd) ::ShowWindow(m_hWnd, bState ? SW_SHOW : SW_HIDE);
}

const GraphicalButton* GraphicalButton::ParentActiveControl() const {
    return m_activeControl ? m_activeControl() : nullptr;
}
