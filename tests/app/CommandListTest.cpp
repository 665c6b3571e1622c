#include "CommandList.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace {

using testing_support::Lower;

TEST(CommandList, HoldsTheSilentRegsvr32LinesInCaseInsensitiveOrder) {
    const auto lines = CommandList::Lines();
    ASSERT_EQ(lines.size(), 111u);
    EXPECT_STREQ(lines[0], "regsvr32 acelpdec.ax /s");
    EXPECT_STREQ(lines[11], "regsvr32 cryptdlg.dll /s");
    EXPECT_STREQ(lines[12], "regsvr32 CRYPTDLG.DLL /s");
    EXPECT_STREQ(lines[54], "regsvr32 msapsspc.dll /SspcCreateSspiReg /s");
    EXPECT_STREQ(lines[81], "regsvr32 scrrun.dll mstinit.exe /setup /s");
    EXPECT_STREQ(lines[110], "regsvr32 xmsconf.ocx /s");
    // Every line, letter case and switches included: FNV-1a (64 bits) of the lines
    // joined by line feeds, as the list is written down for the window.
    std::uint64_t digest = 0xcbf29ce484222325;
    const auto add = [&](char c) { digest = (digest ^ static_cast<unsigned char>(c)) * 0x100000001b3; };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) add('\n');
        for (const char c : std::string_view(lines[i])) add(c);
    }
    EXPECT_EQ(digest, 0x0b94646515dd4d72u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        SCOPED_TRACE(line);
        EXPECT_TRUE(line.starts_with("regsvr32 "));
        EXPECT_TRUE(line.ends_with(" /s"));
        EXPECT_LE(line.size(), 43u);
        if (i > 0) {
            EXPECT_LE(Lower(lines[i - 1]), Lower(line));
        }
    }
}

}  // namespace
