#pragma once
// One fire engine shown in the hack's window: the engine's platform over the canvas, the
// picture it burns over, and the restart that a new window size asks for.
#include <memory>
#include <string>

#include "DesktopGrab.h"
#include "HackCanvas.h"
#include "HackOptions.h"
#include "HackWindow.h"
#include "Signals.h"
#include "XConnection.h"

class FireView {
public:
    FireView(XConnection& connection, HackWindow& window, const PixelFormat& format, const HackOptions& options,
             Signals& signals);
    ~FireView();
    FireView(const FireView&) = delete;
    FireView& operator=(const FireView&) = delete;

    // A new picture and a new fire for the window's current size, as a new preview starts.
    GrabOutcome Restart();
    void Tick();
    void Redraw(int x, int y, int width, int height);

private:
    class Platform;

    XConnection& m_connection;
    HackWindow& m_window;
    PixelFormat m_format;
    HackOptions m_options;
    Signals& m_signals;
    std::string m_getImage;
    HackCanvas::Sharing m_sharing;
    std::unique_ptr<HackCanvas> m_canvas;
    std::unique_ptr<Platform> m_platform;
};
