#include "ProcessCounts.h"

#include "PaintTestSupport.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <vector>

namespace ProcessCounts {
namespace {

// The system-wide handle table of NtQuerySystemInformation (class 16): one entry per
// open kernel handle with the owner's process id.
constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};

struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

using QuerySystemInformationFn = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

bool NotImplemented(DWORD answer) noexcept {
    return answer == 0 && ::GetLastError() == ERROR_CALL_NOT_IMPLEMENTED;
}

DWORD GuiResources(DWORD kind) noexcept {
    ::SetLastError(ERROR_SUCCESS);
    return ::GetGuiResources(::GetCurrentProcess(), kind);
}

long long ReportedPrivateBytes() noexcept {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(),
                                reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        return 0;
    }
    return static_cast<long long>(counters.PrivateUsage);
}

// Private bytes by their definition: the committed pages of the address space that
// belong to this process alone (no image, no mapped file).
long long CommittedPrivateBytes() noexcept {
    long long total = 0;
    MEMORY_BASIC_INFORMATION region{};
    const BYTE* address = nullptr;
    while (::VirtualQuery(address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += static_cast<long long>(region.RegionSize);
        }
        const BYTE* next = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return total;
}

long long PrivateBytes() noexcept {
    const long long reported = ReportedPrivateBytes();
    return reported != 0 ? reported : CommittedPrivateBytes();
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM lp) noexcept {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner != ::GetCurrentProcessId()) return TRUE;
    auto* count = reinterpret_cast<long long*>(lp);
    ++*count;
    ::EnumChildWindows(
        hwnd, [](HWND, LPARAM child) noexcept -> BOOL {
            ++*reinterpret_cast<long long*>(child);
            return TRUE;
        },
        lp);
    return TRUE;
}

long long WindowCount() noexcept {
    long long count = 0;
    ::EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

long long UserObjects() noexcept {
    const DWORD reported = GuiResources(GR_USEROBJECTS);
    return NotImplemented(reported) ? WindowCount() : reported;
}

long long HandlesInSystemTable() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto query = ntdll ? reinterpret_cast<QuerySystemInformationFn>(reinterpret_cast<void*>(
                                   ::GetProcAddress(ntdll, "NtQuerySystemInformation")))
                             : nullptr;
    if (!query) return 0;
    std::vector<BYTE> buffer(1 << 16);
    NTSTATUS status;
    ULONG needed = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           &needed)) == kInfoLengthMismatch) {
        buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed));
    }
    if (status != 0) return 0;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    const DWORD self = ::GetCurrentProcessId();
    long long count = 0;
    for (ULONG i = 0; i < table->count; ++i) {
        if (table->entries[i].ownerPid == self) ++count;
    }
    return count;
}

// A live process always holds handles, so a count of 0 is a stub's answer.
DWORD ReportedHandleCount() noexcept {
    DWORD count = 0;
    return ::GetProcessHandleCount(::GetCurrentProcess(), &count) ? count : 0;
}

long long KernelHandles() {
    const DWORD reported = ReportedHandleCount();
    return reported != 0 ? reported : HandlesInSystemTable();
}

}  // namespace

Snapshot OfThisProcess() {
    Snapshot snapshot;
    snapshot.privateBytes = PrivateBytes();
    snapshot.gdiObjects = static_cast<long long>(paint_test::LiveGdiObjects());
    snapshot.userObjects = UserObjects();
    snapshot.kernelHandles = KernelHandles();
    return snapshot;
}

Sources Describe() {
    Sources sources;
    sources.privateBytes = ReportedPrivateBytes() != 0
                               ? "private bytes: GetProcessMemoryInfo PrivateUsage"
                               : "private bytes: committed private pages summed with VirtualQuery "
                                 "(GetProcessMemoryInfo answers PrivateUsage 0 here)";
    sources.gdiObjects = NotImplemented(GuiResources(GR_GDIOBJECTS))
                             ? "GDI objects: live slots of the process's GDI handle table, probed "
                               "with GetObjectType (GetGuiResources is not implemented here)"
                             : "GDI objects: GetGuiResources(GR_GDIOBJECTS)";
    sources.userObjects = NotImplemented(GuiResources(GR_USEROBJECTS))
                              ? "user objects: the process's windows, top-level and child, counted "
                                "with EnumWindows/EnumChildWindows (GetGuiResources is not "
                                "implemented here; menus, cursors and hooks are not in it)"
                              : "user objects: GetGuiResources(GR_USEROBJECTS)";
    sources.kernelHandles = ReportedHandleCount() != 0
                                ? "kernel handles: GetProcessHandleCount"
                                : "kernel handles: the process's entries in the system handle table "
                                  "(NtQuerySystemInformation, SystemHandleInformation; "
                                  "GetProcessHandleCount answers 0 here)";
    return sources;
}

}  // namespace ProcessCounts
