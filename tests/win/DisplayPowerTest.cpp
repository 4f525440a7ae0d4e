#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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
// timer's ticks for one window.
class TickCounter {
public:
    explicit TickCounter(HWND hwnd) : m_hWnd(hwnd) {}
    template <class Done>
    bool PumpUntil(Done done, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_TIMER && msg.hwnd == m_hWnd && msg.wParam == kFrameTimerId) ++ticks;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            if (done()) return true;
            if (GetTickCount() - start >= timeoutMs) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    int ticks = 0;

private:
    HWND m_hWnd;
};

// Off, then nonsense, stops the frames; dimmed brings them back on the same fire.
void FollowsTheDisplay(const char* what, FireWnd& fire) {
    const HWND hwnd = fire.m_hWnd;
    const bool systemHasIt = FindInUser32<void*>("RegisterPowerSettingNotification") != nullptr;
    EXPECT_EQ(FireWndTestAccess::Power(fire).Registered(), systemHasIt) << what;
    if (FireWndTestAccess::Power(fire).Registered()) {
        EXPECT_EQ(FireWndTestAccess::Power(fire).Setting(), &kConsoleDisplayState) << what << ": the newer setting first";
    }

    TickCounter counter(hwnd);
    ASSERT_TRUE(counter.PumpUntil([&] { return counter.ticks >= 3; }, 30000)) << what << ": no frames to begin with";

    SendPowerSetting(hwnd, kConsoleDisplayState, 4, 0);
    EXPECT_TRUE(FireWndTestAccess::DisplayOff(fire)) << what;
    EXPECT_EQ(TimerOf(fire), 0u) << what << ": the frame timer still runs with the display off";
    // Nothing of this turns the frames back on.
    PowerSettingId other = kConsoleDisplayState;
    other.data1 ^= 1;
    SendPowerSetting(hwnd, other, 4, 1);
    SendPowerSetting(hwnd, kConsoleDisplayState, 1, 1);
    SendPowerSetting(hwnd, kConsoleDisplayState, 4, 7);
    SendMessageA(hwnd, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0);
    SendMessageA(hwnd, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    const FireState& s = fire.State();
    const FirePoint at = s.m_ptFire;
    const int32_t frame = s.m_nFrame, flySteps = s.m_nFlySteps, burnFrames = s.m_nBurnFrames;
    counter.ticks = 0;
    // Ten frame periods and more in which nothing may tick.
    counter.PumpUntil([] { return false; }, 500);
    EXPECT_EQ(counter.ticks, 0) << what << ": frames went on with the display off";
    EXPECT_EQ(s.m_nFrame, frame) << what;
    EXPECT_EQ(s.m_nFlySteps, flySteps) << what;

    SendPowerSetting(hwnd, kConsoleDisplayState, 4, 2);
    EXPECT_FALSE(FireWndTestAccess::DisplayOff(fire)) << what << ": dimmed is still seen";
    EXPECT_EQ(s.m_ptFire.x, at.x) << what << ": the same fire goes on";
    EXPECT_EQ(s.m_ptFire.y, at.y) << what;
    EXPECT_EQ(s.m_nBurnFrames, burnFrames) << what;
    EXPECT_TRUE(counter.PumpUntil([&] { return counter.ticks >= 3; }, 30000)) << what << ": the frames did not resume";
    std::printf("%s: %d ticks after the display came back\n", what, counter.ticks);
}

TEST(DisplayPower, EveryFireWindowStopsWhileTheDisplayIsOffAndGoesOnAfter) {
    {
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
        FollowsTheDisplay("the preview", *preview);
        host.Destroy();
        PumpPending();
    }
    {
        RegistryScope scope;
        CWinApp app;
        app.SetRegistryKey(kRegistryKey);
        HostWindow host(0, 0, 160, 130);
        const HWND control = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 116, 96, host.hwnd(),
                                             nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(control, nullptr);
        FireWnd preview(UnstoredSettings());
        ASSERT_TRUE(preview.SubclassWindow(control));
        preview.Restart(0);
        FollowsTheDisplay("the dialog's preview", preview);
        DestroyWindow(control);
        EXPECT_FALSE(FireWndTestAccess::Power(preview).Registered()) << "still registered after the window went";
    }
    {
        RegistryScope scope;
        CWinApp app;
        app.SetRegistryKey(kRegistryKey);
        auto* saver = new SelfDeleting<SaverWnd>(UnstoredSettings());
        saver->Engine().SetFullScreen();
        ASSERT_TRUE(saver->CreateFullScreen());
        const HWND hwnd = saver->m_hWnd;
        FollowsTheDisplay("the full-screen saver", *saver);
        DestroyWindow(hwnd);
        PumpPending();
    }
}

}  // namespace
