#pragma once
// Resource identifiers, shared by the resource script and the code.

// The saver's description, read by the host (never by the program).
#define IDS_DESCRIPTION 1
// The system-menu item of the settings dialog.
#define IDS_ABOUTBOX 101
// The class cursor of fire windows.
#define IDC_FIRE 129

// The About box and the settings dialog; 102 also names the fire-type list's data.
#define IDD_ABOUTBOX 100
#define IDD_CONFIG 102
// The settings dialog's icon and the About box's flame.
#define IDI_KINDLEWICK 128
#define IDB_FLAME 138

// Controls of the settings dialog.
#define IDC_FLYWIDTH 1000
#define IDC_PREVIEW 1001
#define IDC_FIRETYPE 1003
#define IDC_BLANKSCREEN 1012
#define IDC_DRAWFLY 1013
#define IDC_ABOUT 1015
#define IDC_SMOOTHFIRE 1016
#define IDC_FLYSPEED 1017

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
