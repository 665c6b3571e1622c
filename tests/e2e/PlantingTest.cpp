// The program started as administrators start it: from a folder that others can
// write to. Copies of a DLL that leaves a marker when it is loaded lie beside the
// program under the name of every library the program loads, and in the starting
// directory and in a folder on PATH under the name of every component file that the
// command lines name; copies of the stand-in regsvr32.exe, which logs where it ran
// from, lie in all three places. Wine is told to look for those libraries in the
// program's folder first, which is Windows' own order for DLLs that are not
// KnownDLLs, and runs its real regsvr32, which searches the current directory and
// PATH for a component file that the system directory lacks.

#include "CommandList.h"
#include "ProgramEndToEnd.h"
#include "StartCheck.h"

#include <ostream>
#include <set>
#include <vector>

namespace {

using namespace testing_support;
using namespace e2e_testing;

constexpr const char* kNativeFirst = "comctl32,msimg32,uxtheme=n,b";

// A manifest planted beside the program that sends the libraries it names to copies
// in the program's folder.
constexpr const char* kRedirectingManifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
    "  <assemblyIdentity type=\"win32\" name=\"Planted\" version=\"1.0.0.0\" processorArchitecture=\"*\"/>\r\n"
    "  <file name=\"comctl32.dll\"/>\r\n"
    "  <file name=\"uxtheme.dll\"/>\r\n"
    "</assembly>\r\n";

struct Setting {
    const char* name;
    // What lies beside the program as quenfix.exe.manifest; none when null.
    const char* plantedManifest;
    std::vector<const char*> libraries;
};

void PrintTo(const Setting& setting, std::ostream* out) { *out << setting.name; }

std::set<std::string> ComponentFiles() {
    std::set<std::string> files;
    for (const std::string line : CommandList::Lines()) {
        const auto start = line.find(' ') + 1;
        files.insert(Lower(line.substr(start, line.find(' ', start) - start)));
    }
    return files;
}

bool Plant(const char* source, const std::string& target) {
    return ::CopyFileA((ExeDirectory() + source).c_str(), target.c_str(), FALSE) != FALSE;
}

std::vector<std::string> MarkersIn(const std::string& directory) {
    std::vector<std::string> markers;
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA((directory + "*.ran").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return markers;
    do markers.push_back(directory + found.cFileName);
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return markers;
}

class Planting : public ProgramEndToEnd, public testing::WithParamInterface<Setting> {
protected:
    void SetUp() override {
        const std::string folder = programFolder.Path();
        programPath = folder + "quenfix.exe";
        ASSERT_TRUE(::CopyFileA((ExeDirectory() + QUENFIX_EXE).c_str(), programPath.c_str(), FALSE));
        if (GetParam().plantedManifest) {
            ASSERT_TRUE(WriteTextFile(programPath + ".manifest", GetParam().plantedManifest));
        }
        for (const char* library : GetParam().libraries) ASSERT_TRUE(Plant("planted.dll", folder + library));
        for (const std::string& place : Places()) ASSERT_TRUE(Plant("standin\\regsvr32.exe", place + "regsvr32.exe"));
        for (const std::string& file : ComponentFiles()) {
            ASSERT_TRUE(Plant("planted.dll", startFolder.Path() + file));
            ASSERT_TRUE(Plant("planted.dll", pathFolder.Path() + file));
        }
        char path[32768] = {};
        ::GetEnvironmentVariableA("PATH", path, sizeof path);
        workingDirectory = startFolder.Path();
        environment = {{"PATH", pathFolder.Path() + ";" + path}};
        requiredOverride = kNativeFirst;
        ProgramEndToEnd::SetUp();
    }

    // Also after a program that never showed its window: a planted DLL may well
    // have run and taken it down.
    void TearDown() override {
        for (const std::string& place : Places()) {
            EXPECT_EQ(MarkersIn(place), std::vector<std::string>());
            for (const Execution& execution : ReadExecutions(log)) {
                EXPECT_NE(Lower(execution.program), Lower(place + "regsvr32.exe"));
            }
        }
    }

    [[nodiscard]] std::vector<std::string> Places() const {
        return {programFolder.Path(), startFolder.Path(), pathFolder.Path()};
    }

    TempDirectory programFolder;
    TempDirectory startFolder;
    TempDirectory pathFolder;
};

// What was loaded or run shows when the fixture ends.
TEST_P(Planting, AFullRunLoadsNothingAndRunsNothingThatWasPlanted) {
    // Asked while the program runs: the library it bound for its controls.
    const std::string commonControls = CommonControlsOf(::GetProcessId(program->Process()));
    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitFor([&] { return Done(); }, kRunTimeoutMs));
    // The program's own manifest binds version 6, whatever lies beside it.
    EXPECT_NE(commonControls.find("\\winsxs\\"), std::string::npos) << commonControls;
}

// The libraries the program loads, and in a second case a manifest that sends them
// to the planted copies. Wine's own uxtheme loads msimg32 for its drawing, through a
// delayed import that Wine resolves without the search confinement the program set
// (Windows resolves it with that confinement); the program itself does not load
// msimg32, so that name is not planted.
INSTANTIATE_TEST_SUITE_P(
    Program, Planting,
    testing::Values(Setting{"WithManifest", nullptr, {"comctl32.dll", "uxtheme.dll"}},
                    Setting{"PlantedManifest", kRedirectingManifest, {"comctl32.dll", "uxtheme.dll"}}),
    [](const testing::TestParamInfo<Setting>& info) { return info.param.name; });

// A configuration that sends the common controls to a version outside the system's
// store, and that version as a private assembly, which side-by-side then looks for
// beside the manifest.
constexpr const char* kRedirectingConfiguration =
    "<configuration><windows><assemblyBinding xmlns=\"urn:schemas-microsoft-com:asm.v1\">"
    "<publisherPolicy apply=\"no\"/><dependentAssembly><assemblyIdentity type=\"win32\" "
    "name=\"Microsoft.Windows.Common-Controls\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" "
    "language=\"*\"/><bindingRedirect oldVersion=\"6.0.0.0\" newVersion=\"6.9.9.9\"/></dependentAssembly>"
    "</assemblyBinding></windows></configuration>";
constexpr const char* kPrivateCommonControls =
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><assemblyIdentity type=\"win32\" "
    "name=\"Microsoft.Windows.Common-Controls\" version=\"6.9.9.9\" processorArchitecture=\"*\" "
    "publicKeyToken=\"6595b64144ccf1df\"/><file name=\"comctl32.dll\"/></assembly>";

struct Beside {
    const char* name;
    // The program's file name, as a browser may have saved it.
    const char* program;
    // What lies beside it: the program's path followed by this.
    const char* entry;
};

void PrintTo(const Beside& beside, std::ostream* out) { *out << beside.program << beside.entry; }

// A folder or file beside the program through which Windows' side-by-side loader
// would take the common controls from the program's folder: a .local folder holding
// a copy, looked at before the system's store, or a configuration file that turns
// the program's manifest away from the store, with a private copy beside it (Wine
// does neither). The program says what to delete, with no common controls loaded,
// starts nothing, opens no window of its own and ends once the message is closed.
class PlantedBesideTheProgram : public ProgramEndToEnd, public testing::WithParamInterface<Beside> {
protected:
    void SetUp() override {
        const std::string folder = programFolder.Path();
        programPath = folder + GetParam().program;
        ASSERT_TRUE(::CopyFileA((ExeDirectory() + QUENFIX_EXE).c_str(), programPath.c_str(), FALSE));
        const std::string entry = programPath + GetParam().entry;
        if (std::string(GetParam().entry) == ".local") {
            const std::string assembly =
                entry + "\\" + (sizeof(void*) == 8 ? "amd64" : "x86") +
                "_microsoft.windows.common-controls_6595b64144ccf1df_6.0.2600.2982_none_deadbeef";
            ASSERT_TRUE(::CreateDirectoryA(entry.c_str(), nullptr));
            ASSERT_TRUE(::CreateDirectoryA(assembly.c_str(), nullptr));
            ASSERT_TRUE(Plant("planted.dll", assembly + "\\comctl32.dll"));
        } else {
            const std::string assembly = folder + "Microsoft.Windows.Common-Controls\\";
            ASSERT_TRUE(WriteTextFile(entry, kRedirectingConfiguration));
            ASSERT_TRUE(::CreateDirectoryA(assembly.c_str(), nullptr));
            ASSERT_TRUE(WriteTextFile(assembly + "Microsoft.Windows.Common-Controls.manifest", kPrivateCommonControls));
            ASSERT_TRUE(Plant("planted.dll", assembly + "comctl32.dll"));
        }
        expectWindow = false;
        ProgramEndToEnd::SetUp();
    }

    TempDirectory programFolder;
};

TEST_P(PlantedBesideTheProgram, ProgramSaysWhatToDeleteWithoutLoadingTheCommonControlsAndEnds) {
    ASSERT_NE(program->Message(), nullptr) << "no message appeared";
    EXPECT_FALSE(program->Started()) << "the program opened its window";
    EXPECT_EQ(CommonControlsOf(::GetProcessId(program->Process())), "");
    const std::string message = Lower(program->MessageText());
    EXPECT_NE(message.find("\n" + Lower(programPath + GetParam().entry) + "\n"), std::string::npos) << message;
    ::PostMessageW(program->Message(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program->WaitForExit(kPatienceMs));
    EXPECT_EQ(program->ExitCode(), static_cast<DWORD>(StartCheck::kRefusedExitCode));
    EXPECT_EQ(program->Job().Started().size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Program, PlantedBesideTheProgram,
                         testing::Values(Beside{"LocalFolder", "quenfix.exe", ".local"},
                                         Beside{"Configuration", "quenfix.exe", ".config"},
                                         Beside{"NumberedConfiguration", "quenfix.exe", ".7.config"},
                                         Beside{"ConfigurationOfASecondDownload", "quenfix (1).exe", ".config"}),
                         [](const testing::TestParamInfo<Beside>& info) { return info.param.name; });

}  // namespace
