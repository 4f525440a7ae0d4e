#pragma once
#include "Afx.h"

// Registers (once per process and set of arguments) a class whose windows use the
// framework's window procedure, and returns its name.
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                           HICON hIcon = nullptr);
