#pragma once
// Message maps: one table per class, chained to the base class's table. An entry pairs a
// message number with a small function that unpacks WPARAM/LPARAM and calls the typed
// handler, so handlers never see the raw parameters.
#include "Afx.h"

class CWnd;

using AfxMsgHandler = LRESULT (*)(CWnd& wnd, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    AfxMsgHandler pfn;  // null ends the table
    // WM_COMMAND entries match the notification code and the control or command id too.
    UINT nCode = 0;
    UINT nID = 0;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root of the chain
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace afxmsg {
// Each cracker is instantiated per class and handler; T is the class that declares the map.
// Other windows named by a message arrive as plain handles: the program owns no object for them.

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
template <class T, void (T::*F)(HWND)>
LRESULT WndArg(CWnd& w, WPARAM wParam, LPARAM) {
    (static_cast<T&>(w).*F)(reinterpret_cast<HWND>(wParam));
    return 0;
}
template <class T, BOOL (T::*F)()>
LRESULT Bool(CWnd& w, WPARAM, LPARAM) {
    return (static_cast<T&>(w).*F)();
}
// Client coordinates of mouse messages are signed 16-bit values.
inline POINT MousePoint(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
template <class T, void (T::*F)(UINT, POINT)>
LRESULT Mouse(CWnd& w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T&>(w).*F)(static_cast<UINT>(wParam), MousePoint(lParam));
    return 0;
}
template <class T, void (T::*F)(UINT, UINT, UINT)>
LRESULT Key(CWnd& w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T&>(w).*F)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    return 0;
}
template <class T, void (T::*F)(UINT, LPARAM)>
LRESULT SysCommand(CWnd& w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T&>(w).*F)(static_cast<UINT>(wParam), lParam);
    return 0;
}
template <class T, BOOL (T::*F)(HWND, UINT, UINT)>
LRESULT Cursor(CWnd& w, WPARAM wParam, LPARAM lParam) {
    return (static_cast<T&>(w).*F)(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
}
template <class T, BOOL (T::*F)(BOOL)>
LRESULT NcActivate(CWnd& w, WPARAM wParam, LPARAM) {
    return (static_cast<T&>(w).*F)(static_cast<BOOL>(wParam));
}
template <class T, void (T::*F)(UINT, HWND, BOOL)>
LRESULT Activate(CWnd& w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T&>(w).*F)(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam) != 0);
    return 0;
}
template <class T, void (T::*F)(BOOL, DWORD)>
LRESULT ActivateApp(CWnd& w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T&>(w).*F)(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam));
    return 0;
}
// The DC belongs to the system: lent to the handler as a plain handle.
template <class T, BOOL (T::*F)(HDC)>
LRESULT EraseBkgnd(CWnd& w, WPARAM wParam, LPARAM) {
    return (static_cast<T&>(w).*F)(reinterpret_cast<HDC>(wParam));
}
template <class T, HCURSOR (T::*F)()>
LRESULT Icon(CWnd& w, WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>((static_cast<T&>(w).*F)());
}
template <class T, void (T::*F)(WINDOWPOS*)>
LRESULT WindowPos(CWnd& w, WPARAM, LPARAM lParam) {
    (static_cast<T&>(w).*F)(reinterpret_cast<WINDOWPOS*>(lParam));
    return 0;
}
template <class T, BOOL (T::*F)(UINT, LPARAM)>
LRESULT PowerBroadcast(CWnd& w, WPARAM wParam, LPARAM lParam) {
    return (static_cast<T&>(w).*F)(static_cast<UINT>(wParam), lParam);
}
template <class T, void (T::*F)(UINT, int, int)>
LRESULT DisplayChange(CWnd& w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T&>(w).*F)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    return 0;
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
        using ThisClass [[maybe_unused]] = theClass;                                    \
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
#define ON_WM_MOUSEMOVE() {WM_MOUSEMOVE, &afxmsg::Mouse<ThisClass, &ThisClass::OnMouseMove>},
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, &afxmsg::Mouse<ThisClass, &ThisClass::OnLButtonDown>},
#define ON_WM_MBUTTONDOWN() {WM_MBUTTONDOWN, &afxmsg::Mouse<ThisClass, &ThisClass::OnMButtonDown>},
#define ON_WM_RBUTTONDOWN() {WM_RBUTTONDOWN, &afxmsg::Mouse<ThisClass, &ThisClass::OnRButtonDown>},
#define ON_WM_KEYDOWN() {WM_KEYDOWN, &afxmsg::Key<ThisClass, &ThisClass::OnKeyDown>},
#define ON_WM_SYSKEYDOWN() {WM_SYSKEYDOWN, &afxmsg::Key<ThisClass, &ThisClass::OnSysKeyDown>},
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, &afxmsg::SysCommand<ThisClass, &ThisClass::OnSysCommand>},
#define ON_WM_SETCURSOR() {WM_SETCURSOR, &afxmsg::Cursor<ThisClass, &ThisClass::OnSetCursor>},
#define ON_WM_NCACTIVATE() {WM_NCACTIVATE, &afxmsg::NcActivate<ThisClass, &ThisClass::OnNcActivate>},
#define ON_WM_ACTIVATE() {WM_ACTIVATE, &afxmsg::Activate<ThisClass, &ThisClass::OnActivate>},
#define ON_WM_ACTIVATEAPP() {WM_ACTIVATEAPP, &afxmsg::ActivateApp<ThisClass, &ThisClass::OnActivateApp>},
#define ON_WM_ERASEBKGND() {WM_ERASEBKGND, &afxmsg::EraseBkgnd<ThisClass, &ThisClass::OnEraseBkgnd>},
#define ON_WM_WINDOWPOSCHANGED() \
    {WM_WINDOWPOSCHANGED, &afxmsg::WindowPos<ThisClass, &ThisClass::OnWindowPosChanged>},
#define ON_WM_POWERBROADCAST() \
    {WM_POWERBROADCAST, &afxmsg::PowerBroadcast<ThisClass, &ThisClass::OnPowerBroadcast>},
#define ON_WM_DISPLAYCHANGE() \
    {WM_DISPLAYCHANGE, &afxmsg::DisplayChange<ThisClass, &ThisClass::OnDisplayChange>},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, &afxmsg::Icon<ThisClass, &ThisClass::OnQueryDragIcon>},
// Commands: from menus and accelerators (code 0) and from controls (their notification code).
#define ON_COMMAND(id, memberFxn) {WM_COMMAND, &afxmsg::Void<ThisClass, &ThisClass::memberFxn>, 0, id},
#define ON_BN_CLICKED(id, memberFxn) \
    {WM_COMMAND, &afxmsg::Void<ThisClass, &ThisClass::memberFxn>, BN_CLICKED, id},
#define ON_CBN_SELCHANGE(id, memberFxn) \
    {WM_COMMAND, &afxmsg::Void<ThisClass, &ThisClass::memberFxn>, CBN_SELCHANGE, id},
