#include "DisplayPowerWindow.h"

#include <algorithm>

#include "RegisterClass.h"
#include "SelfDeleting.h"

namespace {
// The fire windows of the process that listen, and the window that hears for them.
struct Listening {
    std::vector<DisplayPowerListener*> listeners;
    DisplayPowerWindow* window = nullptr;
};

Listening& Process() {
    static Listening listening;
    return listening;
}
}  // namespace

BEGIN_MESSAGE_MAP(DisplayPowerWindow, CWnd)
    ON_WM_POWERBROADCAST()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

DisplayPowerWindow* DisplayPowerWindow::Current() { return Process().window; }

DisplayPowerWindow* DisplayPowerWindow::Open() {
    Listening& process = Process();
    if (process.window) return process.window;
    const LPCSTR className = AfxRegisterWndClass(0);
    if (!className) return nullptr;
    auto* const wnd = new SelfDeleting<DisplayPowerWindow>();
    // On failure the object has deleted itself.
    if (!wnd->CreateEx(0, className, kTitle, 0, 0, 0, 0, 0, HWND_MESSAGE, 0)) return nullptr;
    if (!wnd->m_power.Register(wnd->m_hWnd)) {
        wnd->DestroyWindow();
        return nullptr;
    }
    process.window = wnd;
    return wnd;
}

DisplayPowerWindow::~DisplayPowerWindow() {
    if (Process().window == this) Process().window = nullptr;
}

void DisplayPowerWindow::OnDestroy() {
    m_power.Unregister();
    if (Process().window == this) Process().window = nullptr;
    Default();
}

BOOL DisplayPowerWindow::OnPowerBroadcast(UINT nPowerEvent, LPARAM nEventData) {
    const BOOL result = static_cast<BOOL>(Default());
    const DisplayState state = DisplayStateOf(nPowerEvent, nEventData);
    if (state == DisplayState::Unknown) return result;
    m_state = state;
    // A copy: a handler may end a listener's window.
    const std::vector<DisplayPowerListener*> listeners = Process().listeners;
    for (DisplayPowerListener* listener : listeners)
        if (std::find(Process().listeners.begin(), Process().listeners.end(), listener) != Process().listeners.end())
            listener->m_handler(state);
    return result;
}

void DisplayPowerListener::Join() {
    if (m_bJoined) return;
    m_bJoined = true;
    Process().listeners.push_back(this);
    if (const DisplayPowerWindow* const window = DisplayPowerWindow::Open(); window && window->m_state != DisplayState::Unknown)
        m_handler(window->m_state);
}

void DisplayPowerListener::Leave() {
    if (!m_bJoined) return;
    m_bJoined = false;
    Listening& process = Process();
    process.listeners.erase(std::find(process.listeners.begin(), process.listeners.end(), this));
    if (process.listeners.empty() && process.window) process.window->DestroyWindow();
}
