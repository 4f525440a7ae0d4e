#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "DisplayPowerWindow.h"
#include "FireWnd.h"
#include "FireWndAccess.h"
#include "ProgramTestSupport.h"
#include "SaverApp.h"
#include "SaverWnd.h"
#include "SelfDeleting.h"
#include "SystemCalls.h"
#include "WinTestSupport.h"

namespace {

// A WM_POWERBROADCAST payload: the setting, its length and up to eight bytes of data.
struct PowerSettingMessage {
    GUID setting;
    DWORD length;
    uint8_t data[8];
};

LRESULT SendPowerSetting(HWND hwnd, const PowerSettingId& id, DWORD length, uint32_t value) {
    PowerSettingMessage m{};
    std::memcpy(&m.setting, &id, sizeof m.setting);
    m.length = length;
    std::memcpy(m.data, &value, sizeof value);
    return SendMessageA(hwnd, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&m));
}

// Dispatches this thread's messages until done() holds or the time is up, counting the frame
// timer's ticks of each window.
class TickCounter {
public:
    template <class Done>
    bool PumpUntil(Done done, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_TIMER && msg.wParam == kFrameTimerId) ++ticks[msg.hwnd];
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            if (done()) return true;
            if (GetTickCount() - start >= timeoutMs) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    std::map<HWND, int> ticks;
};

struct Fire {
    const char* what;
    FireWnd* wnd;
};

// The full-screen saver, the host's preview and the dialog's preview at once: one message-only
// window hears for all of them. Off, then nonsense, stops every one's frames; dimmed brings
// them back on the same fires.
TEST(DisplayPower, EveryFireWindowStopsWhileTheDisplayIsOffAndGoesOnAfter) {
    RegistryScope scope;
    SaverApp app;
    app.SetRegistryKey(kRegistryKey);
    // A whole monitor's preview, as multi-monitor tools show one.
    HostWindow host(0, 0, 1920, 1080);
    const std::string handle = HandleArgument(host.hwnd());
    const char* argv[] = {"kindlewick.scr", "/p", handle.c_str()};
    ASSERT_TRUE(app.Dispatch(3, argv));
    auto* preview = dynamic_cast<FireWnd*>(app.m_pMainWnd);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->State().m_cxFire, 1920);
    EXPECT_EQ(preview->State().m_cyFire, 1080);
    HostWindow dialog(0, 0, 160, 130);
    const HWND control = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 116, 96, dialog.hwnd(),
                                         nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    FireWnd dialogPreview(UnstoredSettings());
    ASSERT_TRUE(dialogPreview.SubclassWindow(control));
    dialogPreview.Restart(0);
    auto* saver = new SelfDeleting<SaverWnd>(UnstoredSettings());
    saver->Engine().SetFullScreen();
    ASSERT_TRUE(saver->CreateFullScreen());
    const HWND saverHwnd = saver->m_hWnd;
    const Fire fires[] = {{"the preview", preview}, {"the dialog's preview", &dialogPreview}, {"the full-screen saver", saver}};

    // What a host process sees: a window of the saver's that is no child, among the message-only ones.
    const DisplayPowerWindow* const listener = DisplayPowerWindow::Current();
    const bool systemHasIt = FindInUser32<void*>("RegisterPowerSettingNotification") != nullptr;
    ASSERT_EQ(listener != nullptr, systemHasIt);
    if (!listener) GTEST_SKIP() << "no RegisterPowerSettingNotification here";
    const HWND hwnd = listener->m_hWnd;
    EXPECT_EQ(FindWindowExA(HWND_MESSAGE, nullptr, nullptr, DisplayPowerWindow::kTitle), hwnd);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD, 0);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    EXPECT_EQ(pid, GetCurrentProcessId());
    EXPECT_TRUE(listener->Notification().Registered());
    EXPECT_EQ(listener->Notification().Setting(), &kConsoleDisplayState) << "the newer setting first";
    for (const Fire& f : fires) EXPECT_TRUE(FireWndTestAccess::Power(*f.wnd).Joined()) << f.what;

    TickCounter counter;
    const auto allTick = [&] {
        for (const Fire& f : fires)
            if (counter.ticks[f.wnd->m_hWnd] < 3) return false;
        return true;
    };
    ASSERT_TRUE(counter.PumpUntil(allTick, 30000)) << "no frames to begin with";

    SendPowerSetting(hwnd, kConsoleDisplayState, 4, 0);
    for (const Fire& f : fires) {
        EXPECT_TRUE(FireWndTestAccess::DisplayOff(*f.wnd)) << f.what;
        EXPECT_EQ(TimerOf(*f.wnd), 0u) << f.what << ": the frame timer still runs with the display off";
    }
    // Nothing of this turns the frames back on.
    PowerSettingId other = kConsoleDisplayState;
    other.data1 ^= 1;
    SendPowerSetting(hwnd, other, 4, 1);
    SendPowerSetting(hwnd, kConsoleDisplayState, 1, 1);
    SendPowerSetting(hwnd, kConsoleDisplayState, 4, 7);
    SendMessageA(hwnd, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0);
    SendMessageA(hwnd, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    struct Seen {
        FirePoint at;
        int32_t frame, flySteps, burnFrames;
    };
    std::vector<Seen> seen;
    for (const Fire& f : fires) {
        const FireState& s = f.wnd->State();
        seen.push_back(Seen{s.m_ptFire, s.m_nFrame, s.m_nFlySteps, s.m_nBurnFrames});
    }
    counter.ticks.clear();
    // Ten frame periods and more in which nothing may tick.
    counter.PumpUntil([] { return false; }, 500);
    for (std::size_t n = 0; n < std::size(fires); ++n) {
        const Fire& f = fires[n];
        EXPECT_EQ(counter.ticks[f.wnd->m_hWnd], 0) << f.what << ": frames went on with the display off";
        EXPECT_EQ(f.wnd->State().m_nFrame, seen[n].frame) << f.what;
        EXPECT_EQ(f.wnd->State().m_nFlySteps, seen[n].flySteps) << f.what;
    }

    SendPowerSetting(hwnd, kConsoleDisplayState, 4, 2);
    for (std::size_t n = 0; n < std::size(fires); ++n) {
        const Fire& f = fires[n];
        const FireState& s = f.wnd->State();
        EXPECT_FALSE(FireWndTestAccess::DisplayOff(*f.wnd)) << f.what << ": dimmed is still seen";
        EXPECT_EQ(s.m_ptFire.x, seen[n].at.x) << f.what << ": the same fire goes on";
        EXPECT_EQ(s.m_ptFire.y, seen[n].at.y) << f.what;
        EXPECT_EQ(s.m_nBurnFrames, seen[n].burnFrames) << f.what;
    }
    EXPECT_TRUE(counter.PumpUntil(allTick, 30000)) << "the frames did not resume";
    for (const Fire& f : fires) std::printf("%s: %d ticks after the display came back\n", f.what, counter.ticks[f.wnd->m_hWnd]);

    // The listener outlives none of them, and goes with the last.
    DestroyWindow(saverHwnd);
    host.Destroy();
    PumpPending();
    EXPECT_EQ(DisplayPowerWindow::Current(), listener) << "gone while the dialog's preview still listens";
    DestroyWindow(control);
    EXPECT_FALSE(FireWndTestAccess::Power(dialogPreview).Joined()) << "still listening after the window went";
    EXPECT_EQ(DisplayPowerWindow::Current(), nullptr) << "still registered after the last fire window went";
    EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
