#pragma once
// What a process holds: private memory and the numbers of GDI objects, user objects
// and kernel handles. Where the system's own counter is missing (Wine 8 answers 0
// for PrivateUsage, GetGuiResources and GetProcessHandleCount) an equivalent count
// is taken instead, and Sources() says which.

#include <windows.h>

#include <cstddef>
#include <string>

namespace ProcessCounts {

struct Snapshot {
    long long privateBytes = 0;
    long long gdiObjects = 0;
    long long userObjects = 0;
    long long kernelHandles = 0;
};

// The counts of this process now. The GDI table can be read only from inside the
// process that owns it.
[[nodiscard]] Snapshot OfThisProcess();

// How each count of OfThisProcess is taken on this system.
struct Sources {
    std::string privateBytes;
    std::string gdiObjects;
    std::string userObjects;
    std::string kernelHandles;
};
[[nodiscard]] Sources Describe();

}  // namespace ProcessCounts
