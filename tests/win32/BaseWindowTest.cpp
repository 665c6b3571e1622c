#include "BaseWindow.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <new>

namespace {

// A window whose handler throws on WM_SETTEXT, as one whose allocation fails would.
class ThrowingWindow final : public win::BaseWindow<ThrowingWindow> {
public:
    ~ThrowingWindow() { DestroyHwnd(); }
    bool Create() noexcept { return CreateHwnd(0, L"", WS_OVERLAPPED, 0, 0, 40, 40, nullptr, nullptr); }

    static LPCWSTR ClassName() noexcept { return L"QuenfixThrowingWindow"; }
    static UINT ClassStyle() noexcept { return 0; }
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_SETTEXT) throw std::bad_alloc();
        return ::DefWindowProcW(Hwnd(), msg, wp, lp);
    }
};

// Nothing may unwind into the system's dispatch, and the message still gets an answer.
TEST(BaseWindow, MessageWhoseHandlerThrowsIsAnsweredAsTheDefaultProcedureWould) {
    ThrowingWindow window;
    ASSERT_TRUE(window.Create());
    EXPECT_TRUE(::SetWindowTextW(window.Hwnd(), L"kept"));
    EXPECT_EQ(testing_support::WindowText(window.Hwnd()), "kept");
}

}  // namespace
