#include "ProcessElevation.h"

#include "SystemLibrary.h"
#include "UniqueHandle.h"

namespace win {

// advapi32 is bound when first asked: only a press of the button asks.
std::optional<bool> ProcessIsElevated() noexcept {
    using OpenTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
    using GetInformationFn = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
    const auto openToken = SystemProc<OpenTokenFn>(L"advapi32.dll", "OpenProcessToken");
    const auto getInformation = SystemProc<GetInformationFn>(L"advapi32.dll", "GetTokenInformation");
    if (!openToken || !getInformation) return std::nullopt;
    unique_handle token;
    if (!openToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return std::nullopt;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!getInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) return std::nullopt;
    return elevation.TokenIsElevated != 0;
}

}  // namespace win
