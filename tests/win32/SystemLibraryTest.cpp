#include "SystemLibrary.h"

#include <gtest/gtest.h>

namespace {

int lookups = 0;

// Not found at the first lookup, as when a library cannot be loaded for a moment.
FARPROC FoundFromTheSecondLookup(const char* name) noexcept {
    ++lookups;
    return lookups == 1 ? nullptr : win::SystemProcAddress(L"kernel32.dll", name);
}

TEST(BoundEntry, AnEntryNotFoundIsLookedUpAgainAndOneFoundIsKept) {
    using GetTickCountFn = DWORD(WINAPI*)();
    win::BoundEntry<GetTickCountFn> entry(&FoundFromTheSecondLookup, "GetTickCount");
    EXPECT_EQ(win::CallOr(entry, DWORD{12345}), 12345u);
    EXPECT_NE(entry.get(), nullptr);
    EXPECT_NE(entry.get(), nullptr);
    EXPECT_EQ(lookups, 2);
}

}  // namespace
