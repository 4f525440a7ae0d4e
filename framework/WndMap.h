#pragma once
// The framework's bookkeeping between handles and window objects. Internal to framework/.
#include "Afx.h"

class CWnd;

namespace afxmap {
// The object linked to a window of this process, or null.
CWnd* Lookup(HWND hWnd);
void Link(HWND hWnd, CWnd* pWnd);
void Unlink(HWND hWnd);
MSG& CurrentMessage();
}  // namespace afxmap
