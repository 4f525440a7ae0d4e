#pragma once
// Resource identifiers, shared by the resource script and the code.

// The saver's description, read by the host (never by the program).
#define IDS_DESCRIPTION 1
// The system-menu item of the settings dialog.
#define IDS_ABOUTBOX 101
// The class cursor of fire windows.
#define IDC_FIRE 129
