#include "XConnection.h"

#include <cstdio>
#include <cstdlib>

namespace {
// Xlib reports errors through one process-wide callback; this is what it records.
struct ErrorState {
    Window watched = 0;
    bool windowGone = false;
    bool trapping = false;
    bool trapped = false;
} g_errors;

int OnXError(Display* display, XErrorEvent* error) {
    if ((error->error_code == BadWindow || error->error_code == BadDrawable) && error->resourceid == g_errors.watched) {
        g_errors.windowGone = true;
        return 0;
    }
    if (g_errors.trapping) {
        g_errors.trapped = true;
        return 0;
    }
    char text[160] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "kindlewick: X error: %s (request %d)\n", text, int(error->request_code));
    return 0;
}

int OnXIOError(Display*) {
    std::fputs("kindlewick: lost the connection to the X server\n", stderr);
    std::_Exit(1);
}
}  // namespace

std::unique_ptr<XConnection> XConnection::Open() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXIOError);
    return std::make_unique<XConnection>(display);
}

XConnection::~XConnection() { XCloseDisplay(m_display); }

void XConnection::WatchWindow(Window window) { g_errors.watched = window; }

bool XConnection::WindowGone() const { return g_errors.windowGone; }

void XConnection::BeginTrap() {
    XSync(m_display, False);
    g_errors.trapping = true;
    g_errors.trapped = false;
}

bool XConnection::EndTrap() {
    XSync(m_display, False);
    g_errors.trapping = false;
    return g_errors.trapped;
}
