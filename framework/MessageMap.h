#pragma once
// Message maps: one table per class, chained to the base class's table. An entry pairs a
// message number with a small function that unpacks WPARAM/LPARAM and calls the typed
// handler, so handlers never see the raw parameters.
#include "framework/Afx.h"

class CWnd;

using AfxMsgHandler = LRESULT (*)(CWnd& wnd, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    AfxMsgHandler pfn;  // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root of the chain
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace afxmsg {
// Each cracker is instantiated per class and handler; T is the class that declares the map.
CWnd* WndFromHandle(HWND hWnd);

template <class T, void (T::*F)()>
LRESULT Void(CWnd& w, WPARAM, LPARAM) {
    (static_cast<T&>(w).*F)();
    return 0;
}
template <class T, void (T::*F)(UINT)>
LRESULT Timer(CWnd& w, WPARAM wParam, LPARAM) {
    (static_cast<T&>(w).*F)(static_cast<UINT>(wParam));
    return 0;
}
template <class T, void (T::*F)(UINT, int, int)>
LRESULT Size(CWnd& w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T&>(w).*F)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    return 0;
}
template <class T, int (T::*F)(LPCREATESTRUCTA)>
LRESULT Create(CWnd& w, WPARAM, LPARAM lParam) {
    return (static_cast<T&>(w).*F)(reinterpret_cast<LPCREATESTRUCTA>(lParam));
}
template <class T, void (T::*F)(CWnd*)>
LRESULT WndArg(CWnd& w, WPARAM wParam, LPARAM) {
    (static_cast<T&>(w).*F)(WndFromHandle(reinterpret_cast<HWND>(wParam)));
    return 0;
}
template <class T, BOOL (T::*F)()>
LRESULT Bool(CWnd& w, WPARAM, LPARAM) {
    return (static_cast<T&>(w).*F)();
}
}  // namespace afxmsg

// In the class body.
#define DECLARE_MESSAGE_MAP()                        \
protected:                                           \
    static const AFX_MSGMAP* GetThisMessageMap();    \
    const AFX_MSGMAP* GetMessageMap() const override;

// In one source file: BEGIN_MESSAGE_MAP(Derived, Base) entries... END_MESSAGE_MAP()
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                   \
        using ThisClass = theClass;                                                     \
        using TheBaseClass = baseClass;                                                 \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                   \
        {0, nullptr}};                                                      \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                        \
    }

#define ON_WM_TIMER() {WM_TIMER, &afxmsg::Timer<ThisClass, &ThisClass::OnTimer>},
#define ON_WM_PAINT() {WM_PAINT, &afxmsg::Void<ThisClass, &ThisClass::OnPaint>},
#define ON_WM_SIZE() {WM_SIZE, &afxmsg::Size<ThisClass, &ThisClass::OnSize>},
#define ON_WM_CREATE() {WM_CREATE, &afxmsg::Create<ThisClass, &ThisClass::OnCreate>},
#define ON_WM_DESTROY() {WM_DESTROY, &afxmsg::Void<ThisClass, &ThisClass::OnDestroy>},
#define ON_WM_PALETTECHANGED() \
    {WM_PALETTECHANGED, &afxmsg::WndArg<ThisClass, &ThisClass::OnPaletteChanged>},
#define ON_WM_QUERYNEWPALETTE() \
    {WM_QUERYNEWPALETTE, &afxmsg::Bool<ThisClass, &ThisClass::OnQueryNewPalette>},
