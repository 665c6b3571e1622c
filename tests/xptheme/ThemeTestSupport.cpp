#include "ThemeTestSupport.h"

#include "TestSupport.h"

#include <uxtheme.h>

#include <cstdio>
#include <memory>

namespace xptheme_testing {
namespace {

enum class Answer { System, Version, NoEntry };

Answer g_answer = Answer::System;
DWORD g_major = 0;
DWORD g_minor = 0;

HRESULT CALLBACK FakeDllGetVersion(DLLVERSIONINFO* version) {
    version->dwMajorVersion = g_major;
    version->dwMinorVersion = g_minor;
    return S_OK;
}

comctl32::DllGetVersionProc FindDllGetVersion() noexcept {
    if (g_answer == Answer::System) return mdXpThemeSupport::Platform::System().findDllGetVersion();
    RecordingPlatform::Log().push_back("version");
    if (g_answer == Answer::Version) return &FakeDllGetVersion;
    ::SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

HMODULE RecordLoad(const wchar_t* name) noexcept {
    std::string line = "load ";
    for (; *name; ++name) line.push_back(static_cast<char>(*name));
    RecordingPlatform::Log().push_back(line);
    return nullptr;
}

BOOL RecordInit(const INITCOMMONCONTROLSEX* init) noexcept {
    char line[64];
    std::snprintf(line, sizeof line, "init %lu 0x%lx", init->dwSize, init->dwICC);
    RecordingPlatform::Log().push_back(line);
    return TRUE;
}

void RecordTrace(const char* procedure, const char* description) noexcept {
    RecordingPlatform::Log().push_back(std::string("trace ") + procedure);
    // The description must say something: the reporter reads the thread's last error.
    if (!*description) RecordingPlatform::Log().push_back("trace without description");
}

}  // namespace

RecordingPlatform::RecordingPlatform() {
    Log().clear();
    g_answer = Answer::System;
}

void RecordingPlatform::AnswerVersion(DWORD major, DWORD minor) {
    g_major = major;
    g_minor = minor;
    g_answer = Answer::Version;
}

void RecordingPlatform::AnswerNoEntry() {
    g_answer = Answer::NoEntry;
}

mdXpThemeSupport::Platform RecordingPlatform::Get() const {
    return {&FindDllGetVersion, &RecordLoad, &RecordInit, &RecordTrace};
}

std::vector<std::string>& RecordingPlatform::Log() {
    static std::vector<std::string> log;
    return log;
}

ButtonWindow::ButtonWindow() {
    parent = ::CreateWindowExW(0, L"STATIC", L"Theme test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                               300, 200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    button = ::CreateWindowExW(0, L"BUTTON", L"Repair Now",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE, 10, 10,
                               143, 33, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    model.hWnd(button);
    model.Style(GraphicalButton::kGraphical);
    model.Font(std::make_shared<win::StdFont>("Verdana", 6.75, win::StdFont::kBold));
}

ButtonWindow::~ButtonWindow() {
    ::DestroyWindow(parent);
    testing_support::DrainMessages();
}

ScopedControlTheming::ScopedControlTheming(bool allowed) : m_saved(::GetThemeAppProperties()) {
    ::SetThemeAppProperties(allowed ? m_saved | STAP_ALLOW_CONTROLS : m_saved & ~STAP_ALLOW_CONTROLS);
}

ScopedControlTheming::~ScopedControlTheming() {
    ::SetThemeAppProperties(m_saved);
}

}  // namespace xptheme_testing
