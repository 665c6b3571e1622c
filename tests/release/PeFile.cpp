#include "PeFile.h"

#include "TestSupport.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>

namespace pe_file {

namespace {

constexpr std::uint16_t kDosMagic = 0x5A4D;          // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;   // "PE\0\0"
constexpr std::size_t kNewHeaderOffsetField = 0x3C;  // e_lfanew
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kImportDescriptorSize = 20;
constexpr std::size_t kResourceDirectorySize = 16;
constexpr std::size_t kResourceEntrySize = 8;
constexpr std::size_t kMaxDllNameLength = 260;
constexpr std::size_t kMaxFunctionNameLength = 1024;
constexpr std::size_t kHintSize = 2;
constexpr std::uint16_t kPe32Magic = 0x10b;
constexpr std::uint16_t kPe32PlusMagic = 0x20b;
constexpr std::uint32_t kImportDirectory = 1;
constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::uint32_t kRelocationDirectory = 5;
constexpr std::uint32_t kNamedResourceFlag = 0x80000000u;

// Little-endian fields at offsets that are checked against the buffer's length.
class Reader {
public:
    explicit Reader(std::span<const std::byte> bytes) noexcept : m_bytes(bytes) {}

    [[nodiscard]] std::optional<std::uint16_t> U16(std::size_t offset) const noexcept {
        return LittleEndian<std::uint16_t>(offset);
    }
    [[nodiscard]] std::optional<std::uint32_t> U32(std::size_t offset) const noexcept {
        return LittleEndian<std::uint32_t>(offset);
    }
    // A zero-terminated string; none when no terminator follows within maxLength.
    [[nodiscard]] std::optional<std::string> CString(std::size_t offset, std::size_t maxLength) const {
        std::string text;
        for (std::size_t i = offset; i < m_bytes.size() && text.size() <= maxLength; ++i) {
            const char c = static_cast<char>(m_bytes[i]);
            if (c == '\0') return text;
            text.push_back(c);
        }
        return std::nullopt;
    }

private:
    template <typename T>
    [[nodiscard]] std::optional<T> LittleEndian(std::size_t offset) const noexcept {
        if (offset > m_bytes.size() || m_bytes.size() - offset < sizeof(T)) return std::nullopt;
        T value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value = static_cast<T>(value | std::to_integer<T>(m_bytes[offset + i]) << (8 * i));
        return value;
    }

    std::span<const std::byte> m_bytes;
};

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

struct DataDirectory {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};

// The parts of the headers that locate the tables.
struct Layout {
    std::vector<Section> sections;
    DataDirectory imports;
    DataDirectory resources;
};

// Where a relative virtual address lies in the file; none when no section's file
// data holds it.
std::optional<std::size_t> FileOffset(const std::vector<Section>& sections, std::uint32_t rva) {
    for (const Section& s : sections) {
        if (rva < s.virtualAddress) continue;
        const std::uint32_t into = rva - s.virtualAddress;
        if (into < s.rawSize && s.rawOffset <= SIZE_MAX - into) return std::size_t{s.rawOffset} + into;
    }
    return std::nullopt;
}

std::optional<DataDirectory> ReadDataDirectory(const Reader& r, std::size_t directories,
                                               std::uint32_t count, std::uint32_t index) {
    if (index >= count) return DataDirectory{};
    const auto rva = r.U32(directories + 8 * index);
    const auto size = r.U32(directories + 8 * index + 4);
    if (!rva || !size) return std::nullopt;
    return DataDirectory{*rva, *size};
}

std::string ReadSections(const Reader& r, std::size_t table, std::uint16_t count, Layout& layout) {
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::size_t at = table + i * kSectionHeaderSize;
        const auto virtualAddress = r.U32(at + 12);
        const auto rawSize = r.U32(at + 16);
        const auto rawOffset = r.U32(at + 20);
        if (!virtualAddress || !rawSize || !rawOffset) return "section table cut short";
        layout.sections.push_back({*virtualAddress, *rawSize, *rawOffset});
    }
    return {};
}

std::string ReadHeaders(const Reader& r, Summary& summary, Layout& layout) {
    if (r.U16(0) != kDosMagic) return "no MZ header";
    const auto peOffset = r.U32(kNewHeaderOffsetField);
    if (!peOffset || r.U32(*peOffset) != kPeSignature) return "no PE signature";
    const std::size_t fileHeader = std::size_t{*peOffset} + 4;
    const auto machine = r.U16(fileHeader);
    const auto sectionCount = r.U16(fileHeader + 2);
    const auto optionalSize = r.U16(fileHeader + 16);
    const std::size_t optional = fileHeader + kFileHeaderSize;
    const auto magic = r.U16(optional);
    const auto subsystem = r.U16(optional + 68);
    const auto characteristics = r.U16(fileHeader + 18);
    const auto dllCharacteristics = r.U16(optional + 70);
    if (!machine || !sectionCount || !optionalSize || !characteristics || !magic || !subsystem ||
        !dllCharacteristics) {
        return "headers cut short";
    }
    summary.machine = *machine;
    summary.characteristics = *characteristics;
    summary.optionalMagic = *magic;
    summary.subsystem = *subsystem;
    summary.dllCharacteristics = *dllCharacteristics;

    std::size_t countField = 0;
    if (*magic == kPe32Magic) countField = optional + 92;
    else if (*magic == kPe32PlusMagic) countField = optional + 108;
    else return "unknown optional header magic";
    const auto directoryCount = r.U32(countField);
    if (!directoryCount) return "headers cut short";
    const auto imports = ReadDataDirectory(r, countField + 4, *directoryCount, kImportDirectory);
    const auto resources = ReadDataDirectory(r, countField + 4, *directoryCount, kResourceDirectory);
    const auto relocations = ReadDataDirectory(r, countField + 4, *directoryCount, kRelocationDirectory);
    if (!imports || !resources || !relocations) return "data directories cut short";
    summary.relocationsSize = relocations->size;
    layout.imports = *imports;
    layout.resources = *resources;
    return ReadSections(r, optional + *optionalSize, *sectionCount, layout);
}

// One DLL's lookup table: an entry per function, 4 bytes wide in a PE32 file and 8 in a
// PE32+ one, whose top bit marks an import by ordinal; otherwise its low 31 bits give
// the address of a hint and the function's name.
std::string ReadImportedFunctions(const Reader& r, const Layout& layout, std::uint32_t lookupRva, bool wide,
                                  std::vector<std::string>& functions) {
    const auto table = FileOffset(layout.sections, lookupRva);
    if (!table) return "import lookup table outside the file";
    const std::size_t entrySize = wide ? 8 : 4;
    for (std::size_t at = *table;; at += entrySize) {
        const auto low = r.U32(at);
        const auto high = wide ? r.U32(at + 4) : std::optional<std::uint32_t>(0);
        if (!low || !high) return "import lookup table not terminated";
        if (*low == 0 && *high == 0) return {};
        if ((wide ? *high : *low) & 0x80000000u) {
            functions.push_back("#" + std::to_string(*low & 0xFFFFu));
            continue;
        }
        const auto hintAt = FileOffset(layout.sections, *low & 0x7FFFFFFFu);
        const auto name = hintAt ? r.CString(*hintAt + kHintSize, kMaxFunctionNameLength) : std::nullopt;
        if (!name) return "imported function name outside the file";
        functions.push_back(*name);
    }
}

std::string ReadImports(const Reader& r, const Layout& layout, Summary& summary) {
    if (layout.imports.size == 0) return {};
    const auto table = FileOffset(layout.sections, layout.imports.rva);
    if (!table) return "import table outside the file";
    for (std::size_t at = *table;; at += kImportDescriptorSize) {
        const auto lookup = r.U32(at);
        const auto name = r.U32(at + 12);
        const auto thunks = r.U32(at + 16);
        if (!lookup || !name || !thunks) return "import table not terminated";
        if (*lookup == 0 && *name == 0 && *thunks == 0) return {};
        const auto nameAt = FileOffset(layout.sections, *name);
        const auto dll = nameAt ? r.CString(*nameAt, kMaxDllNameLength) : std::nullopt;
        if (!dll) return "imported DLL name outside the file";
        ImportedDll imported{*dll, {}};
        // Without a lookup table the address table, as the file holds it, names the functions.
        const std::string error = ReadImportedFunctions(r, layout, *lookup != 0 ? *lookup : *thunks,
                                                        summary.optionalMagic == kPe32PlusMagic, imported.functions);
        if (!error.empty()) return error;
        summary.imports.push_back(std::move(imported));
    }
}

std::string ReadResourceTypes(const Reader& r, const Layout& layout, Summary& summary) {
    if (layout.resources.size == 0) return {};
    const auto root = FileOffset(layout.sections, layout.resources.rva);
    if (!root) return "resource directory outside the file";
    const auto named = r.U16(*root + 12);
    const auto numbered = r.U16(*root + 14);
    if (!named || !numbered) return "resource directory cut short";
    const std::size_t entries = *root + kResourceDirectorySize;
    for (std::size_t i = 0; i < std::size_t{*named} + *numbered; ++i) {
        const auto id = r.U32(entries + i * kResourceEntrySize);
        if (!id) return "resource directory cut short";
        if ((*id & kNamedResourceFlag) == 0) summary.resourceTypes.push_back(static_cast<std::uint16_t>(*id));
    }
    return {};
}

}  // namespace

Summary Parse(std::span<const std::byte> bytes) {
    const Reader reader(bytes);
    Summary summary;
    Layout layout;
    summary.error = ReadHeaders(reader, summary, layout);
    if (summary.error.empty()) summary.error = ReadImports(reader, layout, summary);
    if (summary.error.empty()) summary.error = ReadResourceTypes(reader, layout, summary);
    return summary;
}

Summary ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        Summary unreadable;
        unreadable.error = "cannot open " + path;
        return unreadable;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return Parse(std::as_bytes(std::span(bytes)));
}

bool IsKnownDll(std::string_view name) {
    static constexpr std::array<std::string_view, 8> kKnownDlls = {
        "kernel32.dll", "user32.dll", "gdi32.dll",  "advapi32.dll",
        "msvcrt.dll",   "shell32.dll", "ole32.dll", "oleaut32.dll",
    };
    return std::find(kKnownDlls.begin(), kKnownDlls.end(), testing_support::Lower(name)) != kKnownDlls.end();
}

}  // namespace pe_file
