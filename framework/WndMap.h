#pragma once
// The framework's bookkeeping between handles and window objects. Internal to framework/.
#include "Afx.h"

class CWnd;

namespace afxmap {
// The object linked to a window of this process, or null.
CWnd* Lookup(HWND hWnd);
void Link(HWND hWnd, CWnd* pWnd);
void Unlink(HWND hWnd);
// A wrapper for a handle that no object owns; kept until DeleteTemporaries.
CWnd* Temporary(HWND hWnd);
void DeleteTemporaries();
// The object that CreateEx is creating a window for, until its first message links it.
CWnd*& PendingWnd();
MSG& CurrentMessage();
}  // namespace afxmap
