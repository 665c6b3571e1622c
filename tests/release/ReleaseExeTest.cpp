// The two programs the build makes, checked as files: the 32-bit one is the release.
// Each must be a GUI executable for its machine that imports only what Windows
// implements in its KnownDLLs (the compiler's runtimes are linked in) and carries its
// own application manifest.

#include "PeFile.h"
#include "TestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kManifestType = 24;    // RT_MANIFEST
constexpr std::uint16_t kGroupIconType = 14;   // RT_GROUP_ICON

// What the programs may import, DLL by DLL: functions that Windows 7 to 11 implement
// in these KnownDLLs, or forward only to ntdll or to what these DLLs import themselves
// from the system directory (kernelbase through the API sets, gdi32full), loaded
// before the program's imports are bound. Not among them: advapi32's
// CryptAcquireContextA, CryptGenRandom, CryptReleaseContext and SystemFunction036,
// which Windows forwards to cryptsp.dll and cryptbase.dll. Those are no KnownDLLs, and
// the loader looks for them in the program's folder first, as it binds the imports,
// before the program's first line runs. A function the programs come to import is
// checked, then added here.
const std::map<std::string, std::set<std::string>, std::less<>> kAllowedImports = {
    {"kernel32.dll",
     {
        "__C_specific_handler", "ActivateActCtx", "AddVectoredExceptionHandler", "CloseHandle", "CompareStringOrdinal",
        "CreateActCtxW", "CreateEventA", "CreatePipe", "CreateProcessA", "CreateSemaphoreA", "DeactivateActCtx",
        "DeleteCriticalSection", "DeleteProcThreadAttributeList", "DuplicateHandle", "EncodePointer",
        "EnterCriticalSection", "FindClose", "FindFirstFileW", "FindNextFileW", "FormatMessageA", "FreeLibrary",
        "GetCurrentProcess", "GetCurrentProcessId", "GetCurrentThread", "GetCurrentThreadId", "GetFileAttributesW",
        "GetHandleInformation", "GetLastError", "GetModuleFileNameW", "GetModuleHandleA", "GetModuleHandleW",
        "GetProcAddress", "GetProcessAffinityMask", "GetStartupInfoA", "GetSystemDirectoryA", "GetSystemDirectoryW",
        "GetSystemTimeAsFileTime", "GetSystemWindowsDirectoryW", "GetThreadContext", "GetThreadPriority",
        "GetTickCount64", "InitializeCriticalSection", "InitializeProcThreadAttributeList", "IsDBCSLeadByteEx",
        "IsDebuggerPresent", "LeaveCriticalSection", "LoadLibraryA", "LoadLibraryExW", "LoadLibraryW", "MulDiv",
        "MultiByteToWideChar", "OpenProcess", "OutputDebugStringA", "QueryPerformanceCounter", "RaiseException",
        "ReleaseActCtx", "ReleaseSemaphore", "RemoveVectoredExceptionHandler", "ResetEvent", "ResumeThread",
        "RtlCaptureContext", "RtlLookupFunctionEntry", "RtlUnwindEx", "RtlVirtualUnwind", "SetDllDirectoryW",
        "SetEvent", "SetHandleInformation", "SetLastError", "SetProcessAffinityMask", "SetProcessDEPPolicy",
        "SetThreadContext", "SetThreadPriority", "SetUnhandledExceptionFilter", "Sleep", "SuspendThread", "TlsAlloc",
        "TlsGetValue", "TlsSetValue", "TryEnterCriticalSection", "UpdateProcThreadAttribute", "VirtualProtect",
        "VirtualQuery", "WaitForMultipleObjects", "WaitForSingleObject", "WideCharToMultiByte",
        "Wow64DisableWow64FsRedirection", "Wow64RevertWow64FsRedirection"
     }},
    {"user32.dll",
     {
        "AdjustWindowRectEx", "AllowSetForegroundWindow", "BeginPaint", "CreateWindowExW", "DefWindowProcA",
        "DefWindowProcW", "DestroyWindow", "DispatchMessageW", "DrawEdge", "DrawFocusRect", "DrawIconEx",
        "DrawStateA", "DrawTextA", "EnableWindow", "EndPaint", "FillRect", "GetAncestor", "GetCapture",
        "GetClassInfoExW", "GetClientRect", "GetDC", "GetDlgItem", "GetFocus", "GetIconInfo", "GetMessageW",
        "GetPropA", "GetSysColor", "GetSysColorBrush", "GetWindow", "GetWindowLongPtrW", "GetWindowLongW",
        "GetWindowRect", "GetWindowTextA", "GetWindowTextLengthA", "GetWindowThreadProcessId", "InvalidateRect",
        "InvalidateRgn", "IsChild", "IsDialogMessageW", "IsWindow", "IsWindowEnabled", "IsWindowVisible",
        "LoadCursorW", "LoadIconW", "LoadImageW", "MapWindowPoints", "MessageBoxW", "PeekMessageW", "PostMessageW",
        "PostQuitMessage", "PtInRect", "RedrawWindow", "RegisterClassExW", "ReleaseCapture", "ReleaseDC",
        "RemovePropA", "SendMessageA", "SendMessageW", "SetCapture", "SetCursor", "SetFocus", "SetPropA",
        "SetWindowLongPtrW", "SetWindowLongW", "SetWindowTextA", "ShowWindow", "SystemParametersInfoW",
        "TrackMouseEvent", "TranslateMessage", "UpdateWindow", "ValidateRect"
     }},
    {"gdi32.dll",
     {
        "BitBlt", "CreateCompatibleBitmap", "CreateCompatibleDC", "CreateDCA", "CreateFontIndirectA", "CreatePen",
        "CreateSolidBrush", "DeleteDC", "DeleteObject", "ExtSelectClipRgn", "GdiTransparentBlt", "GetClipBox",
        "GetDeviceCaps", "GetObjectA", "GetStockObject", "IntersectClipRect", "LineTo", "MoveToEx", "RestoreDC",
        "SaveDC", "SelectObject", "SetBkMode", "SetStretchBltMode", "SetTextColor", "StretchBlt"
     }},
    {"advapi32.dll",
     {
        "AddAccessAllowedAce", "CreateWellKnownSid", "GetTokenInformation", "InitializeAcl",
        "InitializeSecurityDescriptor", "OpenProcessToken", "SetSecurityDescriptorDacl", "SetSecurityDescriptorGroup",
        "SetSecurityDescriptorOwner"
     }},
    {"msvcrt.dll",
     {
        "___lc_codepage_func", "___mb_cur_max_func", "__getmainargs", "__initenv", "__iob_func", "__mb_cur_max",
        "__p__acmdln", "__p__commode", "__p__fmode", "__set_app_type", "__setusermatherr", "_acmdln", "_amsg_exit",
        "_beginthreadex", "_cexit", "_close", "_commode", "_endthreadex", "_errno", "_fmode", "_initterm", "_iob",
        "_onexit", "_read", "_setjmp", "_setjmp3", "_strdup", "_ultoa", "abort", "atoi", "calloc", "exit", "fprintf",
        "fputc", "fputs", "free", "fwrite", "localeconv", "longjmp", "malloc", "memchr", "memcmp", "memcpy",
        "memmove", "memset", "printf", "realloc", "setlocale", "signal", "strchr", "strcmp", "strerror", "strlen",
        "strncmp", "strncpy", "vfprintf", "wcslen"
     }},
};

struct BuiltProgram {
    const char* preset;
    const char* path;
    std::uint16_t machine;
    std::uint16_t optionalMagic;
};

void PrintTo(const BuiltProgram& program, std::ostream* out) {
    *out << program.preset;
}

class BuiltProgramFile : public testing::TestWithParam<BuiltProgram> {
protected:
    void SetUp() override {
        const BuiltProgram& program = GetParam();
        ASSERT_TRUE(testing_support::FileExists(program.path))
            << program.path << " does not exist. Build the " << program.preset
            << " preset first: cmake --preset " << program.preset << " && cmake --build --preset "
            << program.preset;
        m_summary = pe_file::ReadFile(program.path);
        ASSERT_EQ(m_summary.error, "") << program.path;
    }

    bool HasResourceType(std::uint16_t type) const {
        return std::ranges::find(m_summary.resourceTypes, type) != m_summary.resourceTypes.end();
    }

    // The program's RT_MANIFEST resource `id`, with its line ends as spaces; empty
    // when it has none.
    std::string Manifest(WORD id) const {
        const HMODULE image =
            ::LoadLibraryExA(GetParam().path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (!image) return {};
        std::string manifest;
        if (const HRSRC found = ::FindResourceA(image, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kManifestType))) {
            const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(image, found)));
            manifest.assign(bytes, ::SizeofResource(image, found));
        }
        ::FreeLibrary(image);
        std::ranges::replace_if(manifest, [](char c) { return c == '\r' || c == '\n'; }, ' ');
        return manifest;
    }

    pe_file::Summary m_summary;
};

TEST_P(BuiltProgramFile, IsAGuiExecutableForItsMachine) {
    EXPECT_EQ(m_summary.machine, GetParam().machine);
    EXPECT_EQ(m_summary.optionalMagic, GetParam().optionalMagic);
    EXPECT_EQ(m_summary.subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_P(BuiltProgramFile, ImportsOnlyWhatKnownDllsImplement) {
    EXPECT_TRUE(std::ranges::any_of(m_summary.imports, [](const pe_file::ImportedDll& dll) {
        return _stricmp(dll.name.c_str(), "kernel32.dll") == 0 && !dll.functions.empty();
    })) << "the import table was not read";
    for (const pe_file::ImportedDll& dll : m_summary.imports) {
        EXPECT_TRUE(pe_file::IsKnownDll(dll.name)) << dll.name;
        const auto allowed = kAllowedImports.find(testing_support::Lower(dll.name));
        for (const std::string& function : dll.functions) {
            EXPECT_TRUE(allowed != kAllowedImports.end() && allowed->second.contains(function))
                << dll.name << " " << function;
        }
    }
}

// Data execution prevention and a randomised load address for the elevated process,
// above 4 GB for the 64-bit one: the flags, and the relocations that the move needs.
TEST_P(BuiltProgramFile, AsksForDataExecutionPreventionAndAddressRandomisation) {
    EXPECT_TRUE(m_summary.dllCharacteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
    EXPECT_TRUE(m_summary.dllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
    EXPECT_EQ((m_summary.dllCharacteristics & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA) != 0,
              GetParam().machine == IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(m_summary.characteristics & IMAGE_FILE_RELOCS_STRIPPED, 0);
    EXPECT_GT(m_summary.relocationsSize, 0u);
}

// A click on the link (shell32) and the first caption (oleaut32, which brings ole32)
// bind their entries when first used: imported, these libraries would all be loaded
// and initialised before the window's first paint.
TEST_P(BuiltProgramFile, LeavesTheShellAndOleLibrariesUntilTheyAreNeeded) {
    for (const char* later : {"shell32.dll", "oleaut32.dll", "ole32.dll"}) {
        EXPECT_FALSE(std::ranges::any_of(m_summary.imports, [&](const pe_file::ImportedDll& dll) {
            return _stricmp(dll.name.c_str(), later) == 0;
        })) << later;
    }
}

// The manifest Windows reads as it creates the process: with it Windows ignores any
// quenfix.exe.manifest beside the program, asks for elevation, gives the program the
// behaviour of the systems it names and lets it draw at the screen's resolution. It
// names no assembly, which a quenfix.exe.local folder could supply: the program binds
// version 6 of the common controls itself, from a resource that Windows does not read.
TEST_P(BuiltProgramFile, EmbedsTheManifestThatAsksForAdministratorRightsAndVersion6Apart) {
    EXPECT_TRUE(HasResourceType(kGroupIconType)) << "the resource directory was not read";
    const std::string manifest = Manifest(1);
    for (const char* part : {
             R"(<requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>)",
             R"(<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>)",
             R"(<supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>)",
             R"(<supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>)",
             R"(<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>)",
             R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>)",
         }) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(manifest.find("<dependency>"), std::string::npos) << "resource 1 names an assembly";
    EXPECT_NE(Manifest(IDR_COMMON_CONTROLS_MANIFEST)
                  .find(R"(<assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0" )"
                        R"(processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>)"),
              std::string::npos);
}

TEST_P(BuiltProgramFile, SaysWhatItIsInItsVersionInformation) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(GetParam().path, &ignored);
    ASSERT_GT(size, 0u) << "no version information";
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(GetParam().path, 0, size, info.data()));
    const auto text = [&](const char* name) {
        char* value = nullptr;
        UINT length = 0;
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!::VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) return std::string();
        return std::string(value);
    };
    EXPECT_EQ(text("ProductName"), "Quenfix");
    EXPECT_EQ(text("OriginalFilename"), "quenfix.exe");
    EXPECT_NE(text("FileDescription"), "");
    EXPECT_NE(text("ProductVersion"), "");
}

// The exit code of the test child program started with `arguments`.
DWORD ChildExitCode(const std::string& arguments) {
    const std::optional<DWORD> exitCode = testing_support::ExitCodeOf(testing_support::ChildCommand(arguments));
    EXPECT_TRUE(exitCode.has_value()) << "the child did not run to its end: " << arguments;
    return exitCode.value_or(0);
}

// The build's hardening at work in a program of the same build: a write past a buffer
// on the stack ends the process at a trap instruction, the checks' way out, before
// the frame returns; it would otherwise return to an address made of the data
// written, and die of an access violation.
TEST(BuildHardening, WritesPastAStackBufferEndTheProcessBeforeItsFrameReturns) {
    for (const char* mode : {"smash", "overrun"}) {
        EXPECT_EQ(ChildExitCode(std::string(mode) + " 64"), static_cast<DWORD>(STATUS_ILLEGAL_INSTRUCTION)) << mode;
    }
}

// The guard that protected frames keep a copy of is seeded as the C runtime starts, so
// that the program's first constructor already sees the value WinMain sees: a new one
// at each start, neither 0 nor the value that the compiler's runtime falls back on
// where it cannot seed (0xff and a line feed in its top bytes, zeros below).
TEST(BuildHardening, SeedsTheStackGuardAfreshBeforeTheFirstConstructor) {
    constexpr std::uintptr_t kUnseeded = std::uintptr_t{0xFF0A} << (8 * sizeof(std::uintptr_t) - 16);
    const testing_support::TempDirectory directory;
    std::uintptr_t inWinMain[2] = {};
    for (std::uintptr_t& guard : inWinMain) {
        const std::string file = directory.Path() + "guard.txt";
        ASSERT_EQ(ChildExitCode("guard " + testing_support::Quoted(file)), 0u);
        std::istringstream seen(testing_support::ReadTextFile(file));
        std::uintptr_t atFirstConstructor = 0;
        seen >> std::hex >> atFirstConstructor >> guard;
        EXPECT_EQ(atFirstConstructor, guard) << "not yet seeded when the first constructor ran";
        EXPECT_NE(guard, 0u);
        EXPECT_NE(guard, kUnseeded);
    }
    EXPECT_NE(inWinMain[0], inWinMain[1]) << "the same guard at two starts";
}

INSTANTIATE_TEST_SUITE_P(Release, BuiltProgramFile,
                         testing::Values(BuiltProgram{"x86", QUENFIX_X86_EXE, IMAGE_FILE_MACHINE_I386,
                                                      IMAGE_NT_OPTIONAL_HDR32_MAGIC},
                                         BuiltProgram{"x64", QUENFIX_X64_EXE, IMAGE_FILE_MACHINE_AMD64,
                                                      IMAGE_NT_OPTIONAL_HDR64_MAGIC}),
                         [](const testing::TestParamInfo<BuiltProgram>& info) { return info.param.preset; });

}  // namespace
