#pragma once
// The connection to the X server, and what its errors mean to the hack: an error about a
// window that has gone away ends the hack quietly; any other is reported once.
#include <X11/Xlib.h>

#include <memory>

class XConnection {
public:
    // Null when the display cannot be opened.
    static std::unique_ptr<XConnection> Open();
    explicit XConnection(Display* display) : m_display(display) {}
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    Display* Get() const { return m_display; }
    int Fd() const { return ConnectionNumber(m_display); }

    // Errors about this window (or drawables on it) mean it was destroyed under us.
    void WatchWindow(Window window);
    bool WindowGone() const;
    // Between BeginTrap and EndTrap errors are only counted, not reported: for requests
    // that may fairly fail, such as attaching shared memory on a remote server.
    void BeginTrap();
    // Runs XSync and tells whether an error arrived since BeginTrap.
    bool EndTrap();

private:
    Display* m_display;
};
