#pragma once
// Resource identifiers shared by the .rc file and the code.

#define IDI_QUENFIX 1
#define IDB_LOGO 101
#define IDC_LINKHAND 102
// A manifest resource outside the numbers 1 to 16 that the loader reads itself.
#define IDR_COMMON_CONTROLS_MANIFEST 103
