#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../core/EngineAccess.h"
#include "FireWndAccess.h"
#include "ProgramTestSupport.h"
#include "QuitOnDestroy.h"
#include "SaverApp.h"
#include "SaverWnd.h"
#include "SelfDeleting.h"
#include "WinTestSupport.h"

namespace {

// Counts deletions, so that a window closed by many inputs is seen to go exactly once.
class CountingSaverWnd : public SaverWnd {
public:
    using SaverWnd::SaverWnd;
    static int deleted;
    ~CountingSaverWnd() override { ++deleted; }
};
int CountingSaverWnd::deleted = 0;

class SaverWndTest : public ::testing::Test {
protected:
    SaverWndTest() { app.SetRegistryKey(kRegistryKey); }
    ~SaverWndTest() override {
        // A window a failed check left open must not cover the screen for the next test.
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        PumpPending();
    }

    // A full-screen saver as the start-up makes it, its window still unpumped.
    template <class Wnd = SaverWnd>
    Wnd* Start() {
        auto* wnd = new SelfDeleting<QuitOnDestroy<Wnd>>(UnstoredSettings());
        wnd->Engine().SetFullScreen();
        if (!wnd->CreateFullScreen()) return nullptr;
        hwnd = wnd->m_hWnd;
        KillTimer(hwnd, kFrameTimerId);
        return wnd;
    }

    // Takes the WM_CLOSE messages posted to the window, without handling them.
    int TakeCloses() {
        int n = 0;
        MSG msg;
        while (PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE)) ++n;
        return n;
    }

    RegistryScope scope;
    CWinApp app;
    HWND hwnd = nullptr;
};

bool Same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

std::string Text(Rgb c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

// A top-most window of one colour over the whole screen, standing in for the desktop.
class ScreenCover {
public:
    explicit ScreenCover(COLORREF colour) : m_brush(CreateSolidBrush(colour)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = m_brush;
        wc.lpszClassName = "KindlewickTestCover";
        RegisterClassA(&wc);
        m_hWnd = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                 wc.hInstance, nullptr);
        UpdateWindow(m_hWnd);
    }
    ScreenCover(const ScreenCover&) = delete;
    ScreenCover& operator=(const ScreenCover&) = delete;
    ~ScreenCover() {
        DestroyWindow(m_hWnd);
        UnregisterClassA("KindlewickTestCover", GetModuleHandleA(nullptr));
        DeleteObject(m_brush);
    }

    // What the screen itself shows at a point, read as the fire window reads it.
    static Rgb ScreenAt(int x, int y) {
        const HDC screen = GetWindowDC(nullptr);
        const COLORREF c = GetPixel(screen, x, y);
        ReleaseDC(nullptr, screen);
        return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
    }

private:
    HBRUSH m_brush;
    HWND m_hWnd = nullptr;
};

TEST_F(SaverWndTest, FullScreenStartMakesATopMostPopUpOverTheScreenWithItsOwnSettings) {
    app.WriteProfileInt("Config", "FireType", 2);
    app.WriteProfileInt("Config", "FlySpeed", 9);
    SaverApp saver;
    saver.SetRegistryKey(kRegistryKey);
    const char* argv[] = {"kindlewick.scr", "-S"};
    ASSERT_TRUE(saver.Dispatch(2, argv));
    auto* wnd = dynamic_cast<SaverWnd*>(saver.m_pMainWnd);
    ASSERT_NE(wnd, nullptr);
    hwnd = wnd->m_hWnd;

    EXPECT_EQ(wnd->State().m_bFullScreen, 1);
    EXPECT_EQ(wnd->State().m_nFireType, 2);
    EXPECT_EQ(wnd->State().m_nFlySpeed, 9) << "read by the constructor only";
    EXPECT_EQ(wnd->State().m_nFlyWidth, 0) << "full screen's own default";
    EXPECT_NE((dynamic_cast<SelfDeleting<QuitOnDestroy<SaverWnd>>*>(wnd)), nullptr);
    EXPECT_EQ(wnd->State().m_cxFire, 100);
    EXPECT_EQ(wnd->State().m_cyFire, 100);
    EXPECT_EQ(TimerOf(*wnd), kFrameTimerId);
    EXPECT_EQ(GetParent(hwnd), nullptr);
    EXPECT_EQ(GetDlgCtrlID(hwnd), 0);
    const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME), LONG_PTR(WS_POPUP | WS_VISIBLE));
    EXPECT_TRUE(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(wnd->HasSnapshot());

    // Closing ends the loop: the quit message comes, the object is gone with its window.
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    int quits = 0;
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd) && quits > 0; }, 30000, &quits));
    PumpPending(&quits);
    EXPECT_EQ(quits, 1) << "the saver's end posts the quit once";
    EXPECT_EQ(saver.m_pMainWnd, nullptr);
}

TEST_F(SaverWndTest, MessagesCloseTheWindowOnlyAsTheRulesSay) {
    SaverWnd* wnd = Start();
    ASSERT_NE(wnd, nullptr);
    TakeCloses();
    const FirePoint before = wnd->MousePosition();
    ASSERT_EQ(before.x, -1) << "no mouse move handled before the window was pumped";
    ASSERT_EQ(before.y, -1);

    struct Row {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool closes;
    };
    const Row rows[] = {
        {"SC_CLOSE is dropped", WM_SYSCOMMAND, SC_CLOSE, 0, false},
        {"SC_SCREENSAVE is dropped", WM_SYSCOMMAND, SC_SCREENSAVE, 0, false},
        {"the first mouse move only records", WM_MOUSEMOVE, 0, MAKELPARAM(200, 150), false},
        {"the same position again", WM_MOUSEMOVE, 0, MAKELPARAM(200, 150), false},
        {"a button up", WM_LBUTTONUP, 0, MAKELPARAM(200, 150), false},
        {"a key up", WM_KEYUP, 'A', 0, false},
        {"a character", WM_CHAR, 'a', 0, false},
        {"the wheel", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(200, 150), false},
        {"this application activated", WM_ACTIVATEAPP, TRUE, 0, false},
        {"activated", WM_ACTIVATE, WA_ACTIVE, 0, false},
        {"one pixel to the left", WM_MOUSEMOVE, 0, MAKELPARAM(199, 150), true},
        {"a left button", WM_LBUTTONDOWN, 0, MAKELPARAM(200, 150), true},
        {"a middle button", WM_MBUTTONDOWN, 0, MAKELPARAM(200, 150), true},
        {"a right button", WM_RBUTTONDOWN, 0, MAKELPARAM(200, 150), true},
        {"a key", WM_KEYDOWN, 'A', 0, true},
        {"Alt+F4", WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29, true},
        {"deactivated", WM_ACTIVATE, WA_INACTIVE, 0, true},
        {"another application activated", WM_ACTIVATEAPP, FALSE, 0, true},
    };
    for (const Row& r : rows) {
        SendMessageA(hwnd, r.message, r.wParam, r.lParam);
        ASSERT_TRUE(IsWindow(hwnd)) << r.what << ": closes only through a posted WM_CLOSE";
        EXPECT_EQ(TakeCloses(), r.closes ? 1 : 0) << r.what;
    }
    EXPECT_EQ(wnd->MousePosition().x, 200);
    EXPECT_EQ(wnd->MousePosition().y, 150);

    // Refused deactivation of the frame; activation goes on to the default.
    EXPECT_EQ(SendMessageA(hwnd, WM_NCACTIVATE, FALSE, 0), FALSE);
    EXPECT_NE(SendMessageA(hwnd, WM_NCACTIVATE, TRUE, 0), FALSE);
    // No cursor, ever.
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    EXPECT_EQ(SendMessageA(hwnd, WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(TakeCloses(), 0);
}

TEST_F(SaverWndTest, ManyInputsCloseTheWindowOnceAndEndTheLoop) {
    CountingSaverWnd::deleted = 0;
    ASSERT_NE(Start<CountingSaverWnd>(), nullptr);
    for (UINT message : {WM_KEYDOWN, WM_LBUTTONDOWN, WM_SYSKEYDOWN, WM_RBUTTONDOWN, WM_KEYDOWN})
        SendMessageA(hwnd, message, 0, 0);
    SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    int quits = 0;
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd) && quits > 0; }, 30000, &quits));
    PumpPending(&quits);
    EXPECT_EQ(CountingSaverWnd::deleted, 1);
    std::printf("quit messages after six closing inputs: %d\n", quits);
}

TEST_F(SaverWndTest, TheDesktopStaysOnTheWindowAndTheFirstFireBurnsOverIt) {
    const Rgb blue{0, 0, 255}, red{255, 0, 0};
    ScreenCover desktop(RGB(0, 0, 255));
    // The cover must be what the screen shows before the saver takes its snapshot.
    ASSERT_TRUE(PumpUntil([] { return Same(ScreenCover::ScreenAt(5, 5), Rgb{0, 0, 255}); }))
        << Text(ScreenCover::ScreenAt(5, 5));

    SaverWnd* wnd = Start();
    ASSERT_NE(wnd, nullptr);
    ASSERT_TRUE(wnd->HasSnapshot());
    // The first fire was lit in CreateFullScreen: its background is the desktop, not black.
    int notBlue = 0;
    for (int r = 0; r < wnd->State().m_cyFire; ++r)
        for (int c = 0; c < wnd->State().m_cxFire; ++c) {
            const RgbQuad& q = wnd->State().m_rgbPalette[wnd->State().m_pBackBits[r * wnd->State().Stride() + c]];
            if (q.red != 0 || q.green != 0 || q.blue != 255) ++notBlue;
        }
    EXPECT_EQ(notBlue, 0) << "background pixels of the first fire that are not the desktop's blue";

    // Away from the fire box the window shows the desktop.
    PumpPending();
    const FirePoint box = wnd->State().m_ptFire;
    const int x = box.x >= 200 ? 50 : box.x + 150;
    const int y = box.y >= 200 ? 50 : box.y + 150;
    EXPECT_TRUE(Same(WindowPixels(hwnd).at(x, y), blue)) << Text(WindowPixels(hwnd).at(x, y));

    // Lost areas come back from the snapshot; a repaint the window asks for itself keeps
    // what is there, and after the first black fill lost areas stay black.
    struct Step {
        const char* what;
        BOOL erase;
        int blanked;
        Rgb want;
    };
    const Step steps[] = {
        {"an area the system lost", TRUE, 0, blue},
        {"a repaint without erasing", FALSE, 0, red},
        {"an area lost after the black fill", TRUE, 1, red},
    };
    const RECT area{x - 10, y - 10, x + 10, y + 10};
    for (const Step& s : steps) {
        Edit(wnd->Engine()).m_bBlanked = s.blanked;
        const HDC dc = GetDC(hwnd);
        const HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &area, brush);
        DeleteObject(brush);
        ReleaseDC(hwnd, dc);
        InvalidateRect(hwnd, &area, s.erase);
        UpdateWindow(hwnd);
        GdiFlush();
        const Rgb seen = WindowPixels(hwnd).at(x, y);
        EXPECT_TRUE(Same(seen, s.want)) << s.what << ": " << Text(seen);
    }
}

}  // namespace
