#pragma once
// The display's power state for every fire window of the process, heard on one message-only
// window of its own: the system sends power-setting changes only to the windows registered
// for them, and nothing says that a registered child (the preview, the dialog's preview)
// gets them. The window is made when the first fire window listens and goes, with its
// registration, when the last one stops.
#include <functional>
#include <utility>

#include "DisplayPowerNotification.h"
#include "Wnd.h"

class DisplayPowerListener;

class DisplayPowerWindow : public CWnd {
public:
    // The window's title, by which it can be found among the message-only windows.
    static constexpr const char* kTitle = "Kindlewick display power";

    // The one of the process; null while no fire window listens, or where the system cannot
    // tell the display's state.
    static DisplayPowerWindow* Current();
    const DisplayPowerNotification& Notification() const { return m_power; }

protected:
    // Made only by Open, as a self-deleting window.
    DisplayPowerWindow() = default;
    ~DisplayPowerWindow() override;

    BOOL OnPowerBroadcast(UINT nPowerEvent, LPARAM nEventData);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    friend class DisplayPowerListener;

    // Made, registered and current; null (and nothing made) where that fails.
    static DisplayPowerWindow* Open();

    DisplayPowerNotification m_power;
    // What the last understood notification said: a window that starts listening later hears it.
    DisplayState m_state = DisplayState::Unknown;
};

// One fire window's place among those told of the display's state.
class DisplayPowerListener {
public:
    using Handler = std::function<void(DisplayState)>;
    explicit DisplayPowerListener(Handler handler) : m_handler(std::move(handler)) {}
    DisplayPowerListener(const DisplayPowerListener&) = delete;
    DisplayPowerListener& operator=(const DisplayPowerListener&) = delete;
    ~DisplayPowerListener() { Leave(); }

    // From now on the handler hears every change, and at once the state last heard, if any.
    void Join();
    void Leave();
    bool Joined() const { return m_bJoined; }

private:
    friend class DisplayPowerWindow;
    Handler m_handler;
    bool m_bJoined = false;
};
