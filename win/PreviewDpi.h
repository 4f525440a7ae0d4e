#pragma once
// A preview's child has its host's DPI awareness. A window created under a thread awareness
// other than its parent's can reset the awareness of the whole process (Windows 10 1703 on),
// and a host (the Screen Saver settings, a multi-monitor tool) may be unaware or system aware.
#include "Afx.h"

// Makes the thread's DPI awareness that of `host` for the object's life, then puts the
// previous one back. Where the system lacks the calls, or the host is gone, nothing changes.
class HostDpiAwareness {
public:
    explicit HostDpiAwareness(HWND host);
    HostDpiAwareness(const HostDpiAwareness&) = delete;
    HostDpiAwareness& operator=(const HostDpiAwareness&) = delete;
    ~HostDpiAwareness();

    bool Adopted() const { return m_previous != nullptr; }

private:
    HANDLE m_previous = nullptr;
};
