// The PE reader faces files it did not make: a cut-short or damaged file must give an
// error, and no offset in it may lead to a read outside the buffer.

#include "PeFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// A copy of some bytes whose end touches an inaccessible page, so that a read past
// the end faults at once instead of reading whatever follows.
class GuardedBytes {
public:
    explicit GuardedBytes(std::span<const std::byte> bytes) {
        SYSTEM_INFO system;
        ::GetSystemInfo(&system);
        const std::size_t page = system.dwPageSize;
        const std::size_t readable = (bytes.size() + page - 1) / page * page;
        m_base = ::VirtualAlloc(nullptr, readable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        DWORD previous = 0;
        ::VirtualProtect(static_cast<std::byte*>(m_base) + readable, page, PAGE_NOACCESS, &previous);
        auto* start = static_cast<std::byte*>(m_base) + readable - bytes.size();
        std::memcpy(start, bytes.data(), bytes.size());
        m_bytes = {start, bytes.size()};
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    ~GuardedBytes() { ::VirtualFree(m_base, 0, MEM_RELEASE); }

    [[nodiscard]] std::span<const std::byte> Span() const noexcept { return m_bytes; }

private:
    void* m_base = nullptr;
    std::span<const std::byte> m_bytes;
};

std::vector<std::byte> ThisProgramsBytes() {
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const auto view = std::as_bytes(std::span(bytes));
    return {view.begin(), view.end()};
}

pe_file::Summary ParseGuarded(std::span<const std::byte> bytes) {
    const GuardedBytes guarded(bytes);
    return pe_file::Parse(guarded.Span());
}

void Put32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::byte>(value >> (8 * i));
}

std::uint32_t Get32(const std::vector<std::byte>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::to_integer<std::uint32_t>(bytes.at(offset + i)) << (8 * i);
    return value;
}

TEST(PeFileParse, CutShortFilesNeverReadPastTheirEnd) {
    const std::vector<std::byte> whole = ThisProgramsBytes();
    const pe_file::Summary full = ParseGuarded(whole);
    ASSERT_EQ(full.error, "");
    ASSERT_FALSE(full.imports.empty());
    ASSERT_FALSE(full.imports.front().functions.empty());

    const std::size_t newHeader = Get32(whole, 0x3C);
    std::vector<std::size_t> cuts = {0, 1, 0x3E, newHeader + 2, newHeader + 30, newHeader + 100};
    for (std::size_t step = 1; step < 64; ++step) cuts.push_back(whole.size() * step / 64);
    for (std::size_t cut : cuts) {
        const pe_file::Summary part = ParseGuarded(std::span(whole).first(cut));
        if (cut <= newHeader + 100) {
            EXPECT_NE(part.error, "") << "cut at " << cut;
        } else if (part.error.empty()) {
            // Whatever the reader could read from a part must match the whole file.
            EXPECT_EQ(part.imports, full.imports) << "cut at " << cut;
        }
    }
}

TEST(PeFileParse, OffsetsPointingOutsideTheFileAreRefused) {
    const std::vector<std::byte> whole = ThisProgramsBytes();
    const std::size_t newHeader = Get32(whole, 0x3C);
    const std::size_t optional = newHeader + 24;
    const std::size_t directories = optional + (sizeof(void*) == 8 ? 112 : 96);
    struct Damage {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
    };
    const Damage damages[] = {
        {"new header offset", 0x3C, 0xFFFFFFF0u},
        {"import table address", directories + 8, 0x7FFFFFF0u},
        {"resource directory address", directories + 16, 0x7FFFFFF0u},
    };
    for (const Damage& damage : damages) {
        std::vector<std::byte> bytes = whole;
        Put32(bytes, damage.offset, damage.value);
        EXPECT_NE(ParseGuarded(bytes).error, "") << damage.what;
    }
}

TEST(PeFileKnownDlls, AcceptsKnownDllsInAnyCaseAndRefusesEveryOtherDll) {
    for (const char* dll : {"KERNEL32.dll", "user32.dll", "msvcrt.dll", "OLEAUT32.DLL"})
        EXPECT_TRUE(pe_file::IsKnownDll(dll)) << dll;
    for (const char* dll : {"COMCTL32.DLL", "msimg32.dll", "uxtheme.dll", "olepro32.dll", "libstdc++-6.dll",
                            "libgcc_s_dw2-1.dll", "libwinpthread-1.dll", "kernel32", "quenfix.dll"})
        EXPECT_FALSE(pe_file::IsKnownDll(dll)) << dll;
}

}  // namespace
