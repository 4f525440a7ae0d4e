#pragma once
// A dialog template's initialisation data (resource type 240 under the template's id): the
// strings that fill its list and combo boxes when the dialog starts. Each entry is a control
// id (WORD), a message (WORD, the 16-bit LB_ADDSTRING 0x0401 or CB_ADDSTRING 0x0403), a
// length (DWORD) and that many bytes of NUL-terminated text; a control id of 0 ends the list.
#include <cstddef>

#include "Afx.h"

constexpr WORD kDlgInitResourceType = 240;

// Adds the strings of the template's data to the dialog's controls in their order. TRUE
// when there is no such data or every entry reached its control.
BOOL AfxExecuteDlgInit(HWND hDlg, HINSTANCE hInstance, UINT nIDTemplate);
// The same for data in memory. Data that runs past `size` ends the list and gives FALSE;
// entries before it have been applied.
BOOL AfxExecuteDlgInit(HWND hDlg, const void* pData, std::size_t size);
