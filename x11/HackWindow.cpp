#include "HackWindow.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kOwnWidth = 1280;
constexpr int kOwnHeight = 720;

std::string Hex(Window w) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(w));
    return text;
}

// Desktops that draw on a window of their own over the root name it in __SWM_VROOT on one
// of the root's children; savers draw there so that they show.
Window VirtualRoot(Display* display, Window root) {
    const Atom vroot = XInternAtom(display, "__SWM_VROOT", False);
    Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count)) return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], vroot, 0, 1, False, XA_WINDOW, &type, &format, &items, &after,
                               &data) == Success &&
            data) {
            if (type == XA_WINDOW && format == 32 && items == 1) found = *reinterpret_cast<Window*>(data);
            XFree(data);
        }
    }
    if (children) XFree(children);
    return found;
}
}  // namespace

HackWindow::HackWindow(XConnection& connection, const HackOptions& options, std::string& error)
    : m_display(connection.Get()) {
    Display* display = m_display;
    m_window = FindTarget(options, error);
    if (!error.empty()) return;
    if (!m_window) {
        m_window = CreateOwn();
        m_owned = true;
    }
    connection.WatchWindow(m_window);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, m_window, &attributes)) {
        error = "no window " + Hex(m_window);
        return;
    }
    if (attributes.c_class == InputOnly) {
        error = "window " + Hex(m_window) + " is InputOnly: nothing can be drawn in it";
        return;
    }
    m_visual = attributes.visual;
    m_depth = attributes.depth;
    m_size = WindowSize{attributes.width, attributes.height};
    if (m_visual->c_class != TrueColor) {
        error = "window " + Hex(m_window) + " has no TrueColor visual; only TrueColor is drawn";
        return;
    }
    // Somebody else's window: only what every client may select on it.
    if (!m_owned) XSelectInput(display, m_window, StructureNotifyMask | ExposureMask);
}

HackWindow::~HackWindow() {
    if (m_owned && m_window) XDestroyWindow(m_display, m_window);
}

Window HackWindow::FindTarget(const HackOptions& options, std::string& error) const {
    if (options.target == DrawTarget::WindowId) return options.windowId;
    if (options.target == DrawTarget::OwnWindow) return 0;
    if (const char* named = std::getenv("XSCREENSAVER_WINDOW"); named && *named) {
        // XScreenSaver's own parsing tolerates a trailing space or newline.
        std::string text = named;
        while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.pop_back();
        if (const auto id = ParseWindowId(text.c_str())) return *id;
        error = std::string("XSCREENSAVER_WINDOW is not a window id: '") + named + "'";
        return 0;
    }
    const Window root = DefaultRootWindow(m_display);
    const Window vroot = VirtualRoot(m_display, root);
    return vroot ? vroot : root;
}

Window HackWindow::CreateOwn() {
    const int screen = DefaultScreen(m_display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(m_display, screen);
    attributes.event_mask = StructureNotifyMask | ExposureMask | KeyPressMask;
    const Window w = XCreateWindow(m_display, RootWindow(m_display, screen), 0, 0, kOwnWidth, kOwnHeight, 0,
                                   CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XStoreName(m_display, w, "Kindlewick");
    XClassHint hint{const_cast<char*>("kindlewick"), const_cast<char*>("Kindlewick")};
    XSetClassHint(m_display, w, &hint);
    m_wmProtocols = XInternAtom(m_display, "WM_PROTOCOLS", False);
    m_wmDelete = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
    Atom protocols[] = {m_wmDelete};
    XSetWMProtocols(m_display, w, protocols, 1);
    return w;
}

void HackWindow::Resize(WindowSize size) {
    if (!m_owned) return;
    XResizeWindow(m_display, m_window, unsigned(size.width), unsigned(size.height));
    m_size = size;
}

void HackWindow::Show() {
    if (m_owned) XMapRaised(m_display, m_window);
}

bool HackWindow::IsCloseRequest(const XEvent& event) const {
    return m_owned && event.type == ClientMessage && event.xclient.message_type == m_wmProtocols &&
           event.xclient.format == 32 && Atom(event.xclient.data.l[0]) == m_wmDelete;
}
