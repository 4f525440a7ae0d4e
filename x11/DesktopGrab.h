#pragma once
// The picture the fires burn over. XScreenSaver's xscreensaver-getimage puts the user's
// choice there (a grab of the desktop, an image from a folder, or nothing); without it the
// root window under the hack's window is copied.
#include <X11/Xlib.h>

#include <string>

class HackCanvas;
class Signals;

// Ended: a signal came, or the window went away, while the picture was being fetched.
// NoCanvas: the server could not make a picture of the window's size, so nothing was fetched.
enum class GrabOutcome { Done, Failed, Ended, NoCanvas };

// The helper's path, or empty when it is not installed.
std::string FindGetImage();

// Fills the canvas's picture; on failure it stays black and `note` says why in one line.
GrabOutcome GrabDesktop(Display* display, Window window, HackCanvas& canvas, Signals& signals,
                        const std::string& getImage, std::string& note);
