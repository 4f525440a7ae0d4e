#pragma once
// The window the hack draws in: one given by id, the saver's window or the (virtual) root,
// or a window of its own.
#include <X11/Xlib.h>

#include <string>

#include "HackOptions.h"
#include "XConnection.h"

struct WindowSize {
    int width;
    int height;
};

class HackWindow {
public:
    // On failure `error` says why in one line and the window is not usable. The connection
    // watches the window from here on: an error about it means it has gone.
    HackWindow(XConnection& connection, const HackOptions& options, std::string& error);
    ~HackWindow();
    HackWindow(const HackWindow&) = delete;
    HackWindow& operator=(const HackWindow&) = delete;

    Window Id() const { return m_window; }
    bool Owned() const { return m_owned; }
    Visual* GetVisual() const { return m_visual; }
    int Depth() const { return m_depth; }
    WindowSize Size() const { return m_size; }
    void SetSize(WindowSize size) { m_size = size; }
    // Gives a window of our own this size again.
    void Resize(WindowSize size);

    // Maps a window of our own; it stays unmapped until its first picture is taken, so that
    // a copy of the screen does not catch it.
    void Show();
    // The close request of a window manager's close button, for a window of our own.
    bool IsCloseRequest(const XEvent& event) const;

private:
    Window FindTarget(const HackOptions& options, std::string& error) const;
    Window CreateOwn();

    Display* m_display;
    Window m_window = 0;
    bool m_owned = false;
    Visual* m_visual = nullptr;
    int m_depth = 0;
    WindowSize m_size{0, 0};
    Atom m_wmProtocols = 0;
    Atom m_wmDelete = 0;
};
