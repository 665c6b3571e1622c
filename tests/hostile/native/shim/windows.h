#pragma once
// The few Win32 declarations the progress bar's pure geometry uses, so that it
// builds for the machine itself, where the sanitizers exist.

#include <cstdint>

typedef int32_t LONG;
typedef unsigned int UINT;
struct RECT {
    LONG left, top, right, bottom;
};
struct POINT {
    LONG x, y;
};
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_SINGLELINE 0x00000020
