#include <gtest/gtest.h>

#include "PreviewDpi.h"
#include "SystemCalls.h"
#include "WinTestSupport.h"

namespace {

using GetThreadContextFn = HANDLE(WINAPI*)();
using SetThreadContextFn = HANDLE(WINAPI*)(HANDLE);
using GetWindowContextFn = HANDLE(WINAPI*)(HWND);
using EqualContextsFn = BOOL(WINAPI*)(HANDLE, HANDLE);

struct DpiCalls {
    GetThreadContextFn getThread = FindInUser32<GetThreadContextFn>("GetThreadDpiAwarenessContext");
    SetThreadContextFn setThread = FindInUser32<SetThreadContextFn>("SetThreadDpiAwarenessContext");
    GetWindowContextFn getWindow = FindInUser32<GetWindowContextFn>("GetWindowDpiAwarenessContext");
    EqualContextsFn equal = FindInUser32<EqualContextsFn>("AreDpiAwarenessContextsEqual");
    bool Present() const { return getThread && setThread && getWindow && equal; }
};

// A top-level window made under another awareness than the thread's, as a host process has.
class ForeignHost {
public:
    ForeignHost(const DpiCalls& dpi, HANDLE awareness) {
        const HANDLE previous = dpi.setThread(awareness);
        m_hWnd = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 10, 10, 300, 200, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        if (previous) dpi.setThread(previous);
    }
    ForeignHost(const ForeignHost&) = delete;
    ForeignHost& operator=(const ForeignHost&) = delete;
    ~ForeignHost() { Destroy(); }
    HWND hwnd() const { return m_hWnd; }
    void Destroy() {
        if (m_hWnd) DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }

private:
    HWND m_hWnd = nullptr;
};

TEST(PreviewDpi, TheThreadTakesTheHostsAwarenessWhileTheChildIsMade) {
    const DpiCalls dpi;
    if (!dpi.Present()) GTEST_SKIP() << "this system has no DPI awareness contexts";
    const HANDLE before = dpi.getThread();
    // Unaware, system aware, per-monitor v2: the first the thread is not.
    HANDLE other = nullptr;
    for (const intptr_t candidate : {-1, -2, -4})
        if (!dpi.equal(before, reinterpret_cast<HANDLE>(candidate))) {
            other = reinterpret_cast<HANDLE>(candidate);
            break;
        }
    ASSERT_NE(other, nullptr);
    ForeignHost host(dpi, other);
    ASSERT_NE(host.hwnd(), nullptr);
    const HANDLE hosts = dpi.getWindow(host.hwnd());
    ASSERT_TRUE(dpi.equal(hosts, other)) << "the host did not keep the awareness it was made under";
    {
        const HostDpiAwareness adopted(host.hwnd());
        EXPECT_TRUE(adopted.Adopted());
        EXPECT_TRUE(dpi.equal(dpi.getThread(), hosts)) << "the thread kept its own awareness";
    }
    EXPECT_TRUE(dpi.equal(dpi.getThread(), before)) << "the thread's awareness was not given back";

    const HWND stale = host.hwnd();
    host.Destroy();
    const HostDpiAwareness gone(stale);
    EXPECT_FALSE(gone.Adopted()) << "a window that is gone has no awareness to take";
    EXPECT_TRUE(dpi.equal(dpi.getThread(), before));
}

}  // namespace
