// The two programs the build makes, checked as files: the 32-bit one is the release.
// Each must be a GUI executable for its machine that imports Windows' KnownDLLs
// only (the compiler's runtimes are linked in) and carries its own application
// manifest.

#include "PeFile.h"
#include "TestSupport.h"
#include "UniqueHandle.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kManifestType = 24;    // RT_MANIFEST
constexpr std::uint16_t kGroupIconType = 14;   // RT_GROUP_ICON

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

TEST_P(BuiltProgramFile, ImportsKnownDllsOnly) {
    EXPECT_TRUE(std::ranges::any_of(m_summary.importedDlls, [](const std::string& dll) {
        return _stricmp(dll.c_str(), "kernel32.dll") == 0;
    })) << "the import table was not read";
    for (const std::string& dll : m_summary.importedDlls) EXPECT_TRUE(pe_file::IsKnownDll(dll)) << dll;
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
        EXPECT_FALSE(std::ranges::any_of(m_summary.importedDlls, [&](const std::string& dll) {
            return _stricmp(dll.c_str(), later) == 0;
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

// The build's hardening at work in a program of the same build: a write past a buffer
// on the stack ends the process at a trap instruction, the checks' way out, before
// the frame returns; it would otherwise return to an address made of the data
// written, and die of an access violation.
TEST(BuildHardening, WritesPastAStackBufferEndTheProcessBeforeItsFrameReturns) {
    for (const char* mode : {"smash", "overrun"}) {
        SCOPED_TRACE(mode);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        std::string commandLine = testing_support::ChildCommand(std::string(mode) + " 64");
        ASSERT_TRUE(::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &info));
        const win::unique_handle process(info.hProcess);
        const win::unique_handle thread(info.hThread);
        ASSERT_EQ(::WaitForSingleObject(process.get(), testing_support::kPatienceMs), WAIT_OBJECT_0);
        DWORD exitCode = 0;
        ::GetExitCodeProcess(process.get(), &exitCode);
        EXPECT_EQ(exitCode, static_cast<DWORD>(STATUS_ILLEGAL_INSTRUCTION));
    }
}

INSTANTIATE_TEST_SUITE_P(Release, BuiltProgramFile,
                         testing::Values(BuiltProgram{"x86", QUENFIX_X86_EXE, IMAGE_FILE_MACHINE_I386,
                                                      IMAGE_NT_OPTIONAL_HDR32_MAGIC},
                                         BuiltProgram{"x64", QUENFIX_X64_EXE, IMAGE_FILE_MACHINE_AMD64,
                                                      IMAGE_NT_OPTIONAL_HDR64_MAGIC}),
                         [](const testing::TestParamInfo<BuiltProgram>& info) { return info.param.preset; });

}  // namespace
