#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuitOnDestroy.h"
#include "RegisterClass.h"
#include "WinApp.h"
#include "WinTestSupport.h"
#include "Wnd.h"

namespace {

// What the handlers of the test windows saw, in order.
std::vector<std::string> g_log;

class BaseWnd : public CWnd {
public:
    UINT lastSizeType = 99;
    int lastCx = -1, lastCy = -1;
    int postNcDestroyCalls = 0;
    UINT firstMessage = 0;
    bool linkedOnFirstMessage = false;
    HWND hwndInCreate = nullptr;
    bool foundInCreate = false;
    int createResult = 0;

    BOOL Make(DWORD style = WS_POPUP, LPCSTR className = nullptr) {
        return CreateEx(0, className ? className : AfxRegisterWndClass(0), "test", style, 0, 0, 40, 30,
                        nullptr, 0);
    }

protected:
    void OnTimer(UINT id) { g_log.push_back("base timer " + std::to_string(id)); }
    void OnSize(UINT type, int cx, int cy) {
        lastSizeType = type;
        lastCx = cx;
        lastCy = cy;
        g_log.push_back("base size");
    }
    int OnCreate(LPCREATESTRUCTA) {
        hwndInCreate = m_hWnd;
        foundInCreate = CWnd::FromHandlePermanent(m_hWnd) == this;
        return createResult;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (!firstMessage) {
            firstMessage = message;
            linkedOnFirstMessage = CWnd::FromHandlePermanent(m_hWnd) == this;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { ++postNcDestroyCalls; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_WM_CREATE()
END_MESSAGE_MAP()

class DerivedWnd : public BaseWnd {
public:
    UINT currentInTimer = 0;
    UINT currentAfterNestedSend = 0;
    LRESULT defaultResult = -5;

protected:
    void OnTimer(UINT id) {
        currentInTimer = GetCurrentMessage()->message;
        g_log.push_back("derived timer " + std::to_string(id));
        SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(3, 4));
        currentAfterNestedSend = GetCurrentMessage()->message;
        defaultResult = Default();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Deletes itself after its last message, as the fire windows of the program do.
class SelfDeletingWnd : public CWnd {
public:
    static int deleted;
    ~SelfDeletingWnd() override { ++deleted; }

protected:
    void PostNcDestroy() override { delete this; }
};
int SelfDeletingWnd::deleted = 0;

VOID CALLBACK QuitWith99(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); }

class TimerTaker : public CWnd {
public:
    std::vector<UINT> timers;

protected:
    void OnTimer(UINT id) { timers.push_back(id); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TimerTaker, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(Framework, MessagesFindTheMostDerivedHandlerThenTheBaseMapThenDefault) {
    DerivedWnd wnd;
    ASSERT_TRUE(wnd.Make());
    g_log.clear();  // creation sends its own WM_SIZE
    SendMessageA(wnd.m_hWnd, WM_TIMER, 7, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"derived timer 7", "base size"}));
    EXPECT_EQ(wnd.currentInTimer, UINT(WM_TIMER));
    EXPECT_EQ(wnd.currentAfterNestedSend, UINT(WM_TIMER)) << "the nested send must not leak into Default";
    EXPECT_EQ(wnd.defaultResult, 0);
    EXPECT_EQ(wnd.lastCx, 3);
    EXPECT_EQ(wnd.lastCy, 4);

    SendMessageA(wnd.m_hWnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480));
    EXPECT_EQ(wnd.lastSizeType, UINT(SIZE_MAXIMIZED));
    EXPECT_EQ(wnd.lastCx, 640);
    EXPECT_EQ(wnd.lastCy, 480);

    // Unmapped messages get the system's default processing.
    char title[16] = {};
    EXPECT_EQ(SendMessageA(wnd.m_hWnd, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title)), 4);
    EXPECT_STREQ(title, "test");
    wnd.DestroyWindow();
}

TEST(Framework, TheObjectIsLinkedBeforeItsFirstMessageAndUnlinkedAfterItsLast) {
    BaseWnd wnd;
    ASSERT_TRUE(wnd.Make(WS_POPUP));
    const HWND hwnd = wnd.m_hWnd;
    std::printf("first message of a pop-up: 0x%04x\n", wnd.firstMessage);
    EXPECT_TRUE(wnd.linkedOnFirstMessage) << "first message 0x" << std::hex << wnd.firstMessage;
    EXPECT_EQ(wnd.hwndInCreate, hwnd);
    EXPECT_TRUE(wnd.foundInCreate);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &wnd);

    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.postNcDestroyCalls, 1);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Framework, TheFirstMessageOfAWindowReachesItsObjectOnNcCreate) {
    HostWindow host(0, 0, 60, 40);
    struct Case {
        const char* what;
        DWORD style;
        HWND parent;
    };
    const Case cases[] = {{"pop-up", WS_POPUP, nullptr}, {"child", WS_CHILD, host.hwnd()}};
    for (const Case& c : cases) {
        BaseWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "", c.style, 0, 0, 20, 10, c.parent, 0)) << c.what;
        std::printf("%s: the object's first message 0x%04x\n", c.what, wnd.firstMessage);
        EXPECT_EQ(wnd.firstMessage, UINT(WM_NCCREATE)) << c.what;
        EXPECT_TRUE(wnd.linkedOnFirstMessage) << c.what;
        wnd.DestroyWindow();
    }
}

TEST(Framework, ASelfDeletingWindowIsDeletedOnceAfterItsWindow) {
    SelfDeletingWnd::deleted = 0;
    auto* wnd = new SelfDeletingWnd;
    ASSERT_TRUE(wnd->CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, nullptr, 0));
    const HWND hwnd = wnd->m_hWnd;
    EXPECT_EQ(SelfDeletingWnd::deleted, 0);
    DestroyWindow(hwnd);
    EXPECT_EQ(SelfDeletingWnd::deleted, 1);
}

TEST(Framework, FailedCreationIsReportedOnceThroughPostNcDestroy) {
    struct Case {
        const char* what;
        const char* className;  // null: the framework's class
        int createResult;
    };
    const Case cases[] = {
        {"unknown class", "NoSuchClassAnywhere", 0},
        {"OnCreate refuses", nullptr, -1},
    };
    for (const Case& c : cases) {
        BaseWnd wnd;
        wnd.createResult = c.createResult;
        const int before = ThreadWindowCount();
        EXPECT_FALSE(wnd.Make(WS_POPUP, c.className)) << c.what;
        EXPECT_EQ(wnd.postNcDestroyCalls, 1) << c.what;
        EXPECT_EQ(wnd.m_hWnd, nullptr) << c.what;
        EXPECT_EQ(ThreadWindowCount(), before) << c.what;
    }

    // A self-deleting object is gone after a failed creation, whatever the cause.
    SelfDeletingWnd::deleted = 0;
    auto* wnd = new SelfDeletingWnd;
    EXPECT_FALSE(wnd->CreateEx(0, "NoSuchClassAnywhere", "", WS_POPUP, 0, 0, 1, 1, nullptr, 0));
    EXPECT_EQ(SelfDeletingWnd::deleted, 1);
}

// Only the window that owns the run ends the loop, with exit code 0; being the main window
// ends nothing, and the reference to it goes with the object.
TEST(Framework, TheWindowThatOwnsTheRunEndsTheLoopAndTheMainWindowDoesNot) {
    CWinApp app;
    {
        BaseWnd mainWnd;
        ASSERT_TRUE(mainWnd.Make());
        app.m_pMainWnd = &mainWnd;
        mainWnd.DestroyWindow();
        int quits = 0;
        PumpPending(&quits);
        EXPECT_EQ(quits, 0) << "the main window's end posted a quit";
    }
    EXPECT_EQ(app.m_pMainWnd, nullptr) << "the main-window reference outlived its object";

    SelfDeletingWnd::deleted = 0;
    auto* run = new QuitOnDestroy<SelfDeletingWnd>;
    ASSERT_TRUE(run->CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, nullptr, 0));
    app.m_pMainWnd = run;
    run->DestroyWindow();
    EXPECT_EQ(SelfDeletingWnd::deleted, 1);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    // A quit that never comes ends the loop with 99 instead.
    const UINT_PTR deadline = SetTimer(nullptr, 0, 10000, &QuitWith99);
    app.m_nExitCode = 5;
    EXPECT_EQ(app.Run(), 0) << "the loop's exit code";
    KillTimer(nullptr, deadline);
}

TEST(Framework, ForeignHandlesHaveNoObject) {
    EXPECT_EQ(CWnd::FromHandlePermanent(nullptr), nullptr);
    const HWND foreign = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                                         GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    DestroyWindow(foreign);
}

TEST(Framework, ATakenOverControlReachesTheMapFirstAndItsOwnProcedureByDefault) {
    HostWindow host(0, 0, 60, 40);
    const HWND control = CreateWindowExA(0, "STATIC", "hello", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, host.hwnd(),
                                         reinterpret_cast<HMENU>(1001), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(control, GWLP_WNDPROC);

    TimerTaker taker;
    ASSERT_TRUE(taker.SubclassWindow(control));
    EXPECT_EQ(taker.m_hWnd, control);
    EXPECT_EQ(CWnd::FromHandlePermanent(control), &taker);
    SendMessageA(control, WM_TIMER, 3, 0);
    EXPECT_EQ(taker.timers, std::vector<UINT>{3});
    char text[16] = {};
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "hello") << "unmapped messages go to the control's own procedure";

    TimerTaker second;
    EXPECT_FALSE(second.SubclassWindow(control)) << "a window has one object";
    EXPECT_FALSE(second.SubclassWindow(nullptr));

    EXPECT_EQ(taker.UnsubclassWindow(), control);
    EXPECT_EQ(GetWindowLongPtrA(control, GWLP_WNDPROC), original);
    SendMessageA(control, WM_TIMER, 4, 0);
    EXPECT_EQ(taker.timers, std::vector<UINT>{3});
    EXPECT_EQ(CWnd::FromHandlePermanent(control), nullptr);

    // Taken over again, then destroyed with its parent: the object lets go by itself.
    ASSERT_TRUE(taker.SubclassWindow(control));
    host.Destroy();
    EXPECT_EQ(taker.m_hWnd, nullptr);
}

}  // namespace
