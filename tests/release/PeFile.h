#pragma once
// Reads what the release checks need from a Windows executable file (PE32 or PE32+):
// machine, file and DLL characteristics, optional header kind, subsystem, the size
// of the base relocations, the DLLs of the import table with the functions taken
// from each, and the types of the resource directory. Every offset and size in the file is checked
// against its length, so a damaged or foreign file gives an error, never a read
// outside the buffer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pe_file {

struct ImportedDll {
    std::string name;
    // By name, or "#" and the number for one imported by ordinal.
    std::vector<std::string> functions;

    bool operator==(const ImportedDll&) const = default;
};

struct Summary {
    // Empty when the file was read; otherwise what was wrong with it, and the
    // fields below are not meaningful.
    std::string error;
    std::uint16_t machine = 0;
    // The file header's flags (IMAGE_FILE_*).
    std::uint16_t characteristics = 0;
    std::uint16_t optionalMagic = 0;
    std::uint16_t subsystem = 0;
    std::uint16_t dllCharacteristics = 0;
    // The size of the base relocation table: without one the image cannot be moved
    // to a random address whatever its DYNAMIC_BASE flag says.
    std::uint32_t relocationsSize = 0;
    std::vector<ImportedDll> imports;
    // The numeric type ids at the root of the resource directory.
    std::vector<std::uint16_t> resourceTypes;
};

[[nodiscard]] Summary Parse(std::span<const std::byte> bytes);
[[nodiscard]] Summary ReadFile(const std::string& path);

// Whether a DLL name (any case) is one of Windows' KnownDLLs that the program may
// import. Windows loads those from the system directory only; any other imported
// DLL, a compiler's runtime included, would be looked for in the program's own
// folder first.
[[nodiscard]] bool IsKnownDll(std::string_view name);

}  // namespace pe_file
