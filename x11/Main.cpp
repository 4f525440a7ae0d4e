// kindlewick: the fire screen saver as an XScreenSaver hack.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FireView.h"
#include "HackOptions.h"
#include "HackWindow.h"
#include "PixelFormat.h"
#include "Signals.h"
#include "XConnection.h"

namespace {
using Clock = std::chrono::steady_clock;
// A window being dragged to a new size sends many sizes; restart once it has settled.
constexpr auto kResizeSettle = std::chrono::milliseconds(150);

int Fail(const std::string& message) {
    std::fprintf(stderr, "kindlewick: %s\n", message.c_str());
    return 1;
}

bool IsQuitKey(XKeyEvent& key) {
    char text[8] = "";
    KeySym sym = NoSymbol;
    XLookupString(&key, text, sizeof text - 1, &sym, nullptr);
    return sym == XK_q || sym == XK_Q || sym == XK_Escape;
}

// Sleeps on the X connection and the signals until `until`, or until either has news.
void Sleep(Display* display, int xFd, int signalFd, Clock::time_point until) {
    XFlush(display);
    if (XEventsQueued(display, QueuedAlready) > 0) return;
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(until - Clock::now());
    if (left.count() <= 0) return;
    const timespec timeout{time_t(left.count() / 1000000000), long(left.count() % 1000000000)};
    pollfd fds[] = {{xFd, POLLIN, 0}, {signalFd, POLLIN, 0}};
    ppoll(fds, 2, &timeout, nullptr);
}

int Run(const HackOptions& options) {
    Signals signals;
    const auto connection = XConnection::Open();
    if (!connection) {
        const char* name = std::getenv("DISPLAY");
        return Fail(std::string("cannot open display '") + (name ? name : "") + "'");
    }
    Display* display = connection->Get();
    std::string error;
    HackWindow window(*connection, options, error);
    if (!error.empty()) return Fail(error);
    const Visual* visual = window.GetVisual();
    const auto format = PixelFormat::FromMasks(uint32_t(visual->red_mask), uint32_t(visual->green_mask),
                                               uint32_t(visual->blue_mask), window.Depth());
    if (!format) return Fail("the window's visual has unusable colour masks");

    const auto noCanvas = [](WindowSize size) {
        return "the X server cannot make a " + std::to_string(size.width) + "x" + std::to_string(size.height) +
               " picture for the window";
    };
    FireView view(*connection, window, *format, options, signals);
    switch (view.Restart()) {
    case GrabOutcome::Ended: return 0;
    case GrabOutcome::NoCanvas: return Fail(noCanvas(window.Size()));
    default: break;
    }
    window.Show();

    const auto delay = std::chrono::microseconds(options.delayMicroseconds);
    auto next = Clock::now();
    bool resizing = false;
    WindowSize newSize = window.Size();
    auto resizedAt = Clock::now();
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            switch (event.type) {
            case Expose:
                view.Redraw(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height);
                break;
            case ConfigureNotify:
                if (event.xconfigure.window == window.Id()) {
                    newSize = WindowSize{event.xconfigure.width, event.xconfigure.height};
                    resizing = newSize.width != window.Size().width || newSize.height != window.Size().height;
                    resizedAt = Clock::now();
                }
                break;
            case DestroyNotify:
                if (event.xdestroywindow.window == window.Id()) return 0;
                break;
            case KeyPress:
                if (window.Owned() && IsQuitKey(event.xkey)) return 0;
                break;
            default:
                if (window.IsCloseRequest(event)) return 0;
            }
        }
        if (connection->WindowGone() || signals.Drain()) return 0;

        auto now = Clock::now();
        if (resizing && now - resizedAt >= kResizeSettle) {
            resizing = false;
            const WindowSize good = window.Size();
            window.SetSize(newSize);
            GrabOutcome outcome = view.Restart();
            // Our own window goes back to the last size that worked; somebody else's cannot.
            if (outcome == GrabOutcome::NoCanvas && window.Owned()) {
                std::fprintf(stderr, "kindlewick: %s; keeping %dx%d\n", noCanvas(newSize).c_str(), good.width,
                             good.height);
                window.Resize(good);
                outcome = view.Restart();
            }
            if (outcome == GrabOutcome::Ended) return 0;
            if (outcome == GrabOutcome::NoCanvas) return Fail(noCanvas(newSize));
            now = Clock::now();
            next = now;
        }
        if (now >= next) {
            view.Tick();
            // After a stop (SIGSTOP, a loaded machine) the next frame comes one period from
            // now: no burst of frames to catch up.
            next += delay;
            if (next <= now) next = now + delay;
        }
        Sleep(display, connection->Fd(), signals.Fd(), resizing ? std::min(next, resizedAt + kResizeSettle) : next);
    }
}
}  // namespace

int main(int argc, char** argv) {
    const ParsedHackOptions parsed = ParseHackOptions(argc, argv);
    if (!parsed.error.empty()) return Fail(parsed.error + " (see --help)");
    if (parsed.options.help) {
        std::fputs(HackUsage().c_str(), stdout);
        return 0;
    }
    return Run(parsed.options);
}
