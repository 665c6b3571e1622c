#include "MessagePump.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using testing_support::CountingWindow;

TEST(ProcessPendingMessages, HandlesWhatIsWaitingAndReturnsWhenNothingIs) {
    testing_support::DrainMessages();
    const CountingWindow window(WM_APP);
    ::PostMessageW(window.Hwnd(), WM_APP, 0, 0);
    ::PostMessageW(window.Hwnd(), WM_APP, 0, 0);
    EXPECT_TRUE(MessagePump::ProcessPendingMessages());
    EXPECT_EQ(window.Received(), 2);
    // With an empty queue it must come straight back rather than wait for a message.
    EXPECT_TRUE(MessagePump::ProcessPendingMessages());
}

TEST(ProcessPendingMessages, KeepsAQuitRequestForEveryLaterCaller) {
    const CountingWindow window(WM_APP);
    ::PostMessageW(window.Hwnd(), WM_APP, 0, 0);
    ::PostQuitMessage(7);
    EXPECT_FALSE(MessagePump::ProcessPendingMessages());
    EXPECT_EQ(window.Received(), 1);
    EXPECT_FALSE(MessagePump::ProcessPendingMessages());
    MSG quit{};
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

}  // namespace
