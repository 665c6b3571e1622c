#include "MessagePump.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK CountApplicationMessages(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) ++*reinterpret_cast<int*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// A message-only window that counts what reaches it.
struct CountingWindow {
    CountingWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &CountApplicationMessages;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuenfixPumpTest";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
    }
    ~CountingWindow() { ::DestroyWindow(hwnd); }
    HWND hwnd = nullptr;
    int received = 0;
};

TEST(ProcessPendingMessages, HandlesWhatIsWaitingAndReturnsWhenNothingIs) {
    testing_support::DrainMessages();
    CountingWindow window;
    ::PostMessageW(window.hwnd, WM_APP, 0, 0);
    ::PostMessageW(window.hwnd, WM_APP, 0, 0);
    EXPECT_TRUE(MessagePump::ProcessPendingMessages());
    EXPECT_EQ(window.received, 2);
    // With an empty queue it must come straight back rather than wait for a message.
    EXPECT_TRUE(MessagePump::ProcessPendingMessages());
}

TEST(ProcessPendingMessages, KeepsAQuitRequestForEveryLaterCaller) {
    CountingWindow window;
    ::PostMessageW(window.hwnd, WM_APP, 0, 0);
    ::PostQuitMessage(7);
    EXPECT_FALSE(MessagePump::ProcessPendingMessages());
    EXPECT_EQ(window.received, 1);
    EXPECT_FALSE(MessagePump::ProcessPendingMessages());
    MSG quit{};
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

}  // namespace
