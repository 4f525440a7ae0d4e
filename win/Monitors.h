#pragma once
// What the system says about its monitors: where each one is, which is the primary, and how
// densely each shows pixels. Asked afresh each time, since monitors come and go.
#include "MonitorLayout.h"

// The monitors in screen coordinates, primary first, each with the factor of its DPI. A
// system without several-monitor support (Windows 95, NT 4) has one: the screen.
MonitorLayout DesktopMonitors();
