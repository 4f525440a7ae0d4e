#include "Monitors.h"

#include <vector>

#include "Afx.h"
#include "Handle.h"
#include "SystemCalls.h"
#include "WindowDc.h"

namespace {
using EnumDisplayMonitorsFn = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
// shcore's GetDpiForMonitor (Windows 8.1 on); MDT_EFFECTIVE_DPI is 0.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

// The system DPI, which every monitor has where the system knows no other.
int SystemDpi() {
    const CWindowDC screen(nullptr);
    return screen.GetSafeHdc() ? ::GetDeviceCaps(screen.GetSafeHdc(), LOGPIXELSX) : 96;
}

class MonitorQuery {
public:
    MonitorQuery()
        : m_user(::GetModuleHandleA("user32.dll")),
          m_enum(FindProc<EnumDisplayMonitorsFn>(m_user, "EnumDisplayMonitors")),
          m_info(FindProc<GetMonitorInfoFn>(m_user, "GetMonitorInfoA")),
          m_systemDpi(SystemDpi()) {
        m_shcore.Attach(::LoadLibraryA("shcore.dll"));
        m_dpi = FindProc<GetDpiForMonitorFn>(m_shcore.Get(), "GetDpiForMonitor");
    }

    std::vector<MonitorRect> Monitors() {
        m_found.clear();
        if (m_enum && m_info) m_enum(nullptr, nullptr, &MonitorQuery::Add, reinterpret_cast<LPARAM>(this));
        return m_found;
    }
    int SystemScale() const { return ScaleForDpi(m_systemDpi); }

private:
    static BOOL CALLBACK Add(HMONITOR monitor, HDC, LPRECT, LPARAM self) {
        reinterpret_cast<MonitorQuery*>(self)->Add(monitor);
        return TRUE;
    }
    void Add(HMONITOR monitor) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (!m_info(monitor, &info)) return;
        const RECT& r = info.rcMonitor;
        UINT dpiX = 0, dpiY = 0;
        const int dpi = m_dpi && m_dpi(monitor, 0, &dpiX, &dpiY) == S_OK ? int(dpiX) : m_systemDpi;
        const MonitorRect found{r.left, r.top, r.right - r.left, r.bottom - r.top, ScaleForDpi(dpi)};
        if (info.dwFlags & MONITORINFOF_PRIMARY)
            m_found.insert(m_found.begin(), found);
        else
            m_found.push_back(found);
    }

    HMODULE m_user;
    EnumDisplayMonitorsFn m_enum;
    GetMonitorInfoFn m_info;
    int m_systemDpi;
    CHandle<HMODULE, ::FreeLibrary> m_shcore;
    GetDpiForMonitorFn m_dpi = nullptr;
    std::vector<MonitorRect> m_found;
};
}  // namespace

MonitorLayout DesktopMonitors() {
    // One query for the process: shcore stays loaded, and the system DPI is fixed at start.
    static MonitorQuery query;
    std::vector<MonitorRect> monitors = query.Monitors();
    if (monitors.empty())
        monitors.push_back(MonitorRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                       query.SystemScale()});
    return MonitorLayout(std::move(monitors));
}
