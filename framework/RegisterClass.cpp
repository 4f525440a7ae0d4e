#include "RegisterClass.h"

#include <cstdio>
#include <set>
#include <string>

#include "WinApp.h"
#include "Wnd.h"

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    // The names handed out stay valid for the life of the process.
    static std::set<std::string> names;
    char name[96];
    std::snprintf(name, sizeof name, "Afx:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
                  static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    const HINSTANCE instance = AfxGetInstanceHandle();
    WNDCLASSA wc{};
    if (!::GetClassInfoA(instance, name, &wc)) {
        wc.style = nClassStyle;
        wc.lpfnWndProc = &AfxWndProc;
        wc.hInstance = instance;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.hIcon = hIcon;
        wc.lpszClassName = name;
        if (!::RegisterClassA(&wc)) return nullptr;
    }
    return names.insert(name).first->c_str();
}
