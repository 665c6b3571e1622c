#include "FormUnderTest.h"

#include "TestSupport.h"
#include "UniqueHandle.h"

namespace testing_support {

FormUnderTest::FormUnderTest(Redirection redirection, mdXpThemeSupport::Platform themes)
    : m_form(std::make_unique<FrmQuenfix>(RecordingPlatform(redirection), std::move(themes))) {}

FormUnderTest::~FormUnderTest() {
    m_form.reset();
    DrainMessages();
}

RepairPlatform FormUnderTest::RecordingPlatform(Redirection redirection) {
    RepairPlatform platform;
    // Starts nothing, as if the program file were missing: the runner then waits for
    // nothing and goes on at once.
    platform.createProcess = [this](LPCSTR, LPSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                                    DWORD, LPVOID, LPCSTR, LPSTARTUPINFOA, LPPROCESS_INFORMATION) {
        calls.push_back(std::string("run ") + commandLine);
        commands.emplace_back(commandLine);
        statusAtExecution.push_back(Status());
        redirectionOffAtExecution.push_back(m_off);
        if (onExecution) onExecution(static_cast<int>(commands.size()));
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    };
    if (redirection == Redirection::Missing) return platform;
    platform.disableRedirection = [this](PVOID* saved) {
        calls.push_back("disable");
        if (!disableSucceeds) return FALSE;
        *saved = reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(++m_switchOffs));
        m_offBeforeSwitchOff.push_back(m_off);
        m_off = true;
        return TRUE;
    };
    platform.revertRedirection = [this](PVOID saved) {
        const auto value = reinterpret_cast<ULONG_PTR>(saved);
        calls.push_back("revert " + std::to_string(value));
        m_off = m_offBeforeSwitchOff.at(value);
        return TRUE;
    };
    return platform;
}

bool FormUnderTest::Create(bool show) {
    if (!m_form->Create()) return false;
    if (show) m_form->Show();
    return true;
}

std::string FormUnderTest::Status() const {
    return WindowText(Control(FrmQuenfix::kLabel2));
}

void FormUnderTest::Release(UINT message) const {
    ::PostMessageW(Control(FrmQuenfix::kCommand1), message, 0, MAKELPARAM(5, 5));
}

SIZE FormUnderTest::StripSize() const {
    RECT client{};
    ::GetClientRect(Control(FrmQuenfix::kPicture1), &client);
    return {client.right, client.bottom};
}

paint_test::DibSurface FormUnderTest::PrintedStrip() const {
    const SIZE size = StripSize();
    paint_test::DibSurface surface(size.cx, size.cy);
    ::SendMessageW(Control(FrmQuenfix::kPicture1), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()),
                   PRF_CLIENT);
    return surface;
}

paint_test::DibSurface FormUnderTest::ShownStrip() const {
    return paint_test::Shown(Control(FrmQuenfix::kPicture1));
}

}  // namespace testing_support
