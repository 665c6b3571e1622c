#pragma once
// Resource identifiers shared by the .rc file and the code.

#define IDI_QUENFIX 1
#define IDB_LOGO 101
#define IDC_LINKHAND 102
