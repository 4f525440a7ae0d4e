#include "PreviewDpi.h"

#include "SystemCalls.h"

namespace {
// DPI_AWARENESS_CONTEXT is a handle; user32 has these from Windows 10 1607 on.
using GetWindowContextFn = HANDLE(WINAPI*)(HWND);
using SetThreadContextFn = HANDLE(WINAPI*)(HANDLE);
}  // namespace

HostDpiAwareness::HostDpiAwareness(HWND host) {
    const auto getWindowContext = FindInUser32<GetWindowContextFn>("GetWindowDpiAwarenessContext");
    const auto setThreadContext = FindInUser32<SetThreadContextFn>("SetThreadDpiAwarenessContext");
    if (!getWindowContext || !setThreadContext) return;
    if (const HANDLE hosts = getWindowContext(host)) m_previous = setThreadContext(hosts);
}

HostDpiAwareness::~HostDpiAwareness() {
    if (!m_previous) return;
    if (const auto setThreadContext = FindInUser32<SetThreadContextFn>("SetThreadDpiAwarenessContext"))
        setThreadContext(m_previous);
}
