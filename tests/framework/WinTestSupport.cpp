#include "WinTestSupport.h"



namespace {
const char* HostClass() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = "KindlewickTestHost";
        RegisterClassA(&wc);
        return "KindlewickTestHost";
    }();
    return name;
}

BOOL CALLBACK CountChild(HWND, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hWnd, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    EnumChildWindows(hWnd, &CountChild, counter);
    return TRUE;
}
}  // namespace

void PumpPending(int* quits) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            if (quits) ++*quits;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, int* quits) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending(quits);
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// One visible top-level window for the whole run: under Wine without a window manager each
// top-level window that goes away costs a wait for the X server, children cost nothing.
HWND Desktop() {
    static const HWND desktop =
        CreateWindowExA(0, HostClass(), "desktop", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 640, 480,
                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    return desktop;
}

HostWindow::HostWindow(int x, int y, int width, int height) {
    m_hWnd = CreateWindowExA(0, HostClass(), "host", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width,
                             height, Desktop(), nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpPending();
}

HostWindow::~HostWindow() { Destroy(); }

void HostWindow::Destroy() {
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

WindowPixels::WindowPixels(HWND hWnd) {
    RECT client{};
    GetClientRect(hWnd, &client);
    m_width = client.right;
    m_height = client.bottom;
    if (m_width <= 0 || m_height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC window = GetDC(hWnd);
    const HDC memory = CreateCompatibleDC(window);
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, m_width, m_height, window, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    m_pixels.assign(p, p + std::size_t(m_width) * std::size_t(m_height));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hWnd, window);
}

Rgb WindowPixels::at(int x, int y) const {
    const uint32_t v = m_pixels.at(std::size_t(y) * std::size_t(m_width) + std::size_t(x));
    return Rgb{uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

int ThreadWindowCount() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}
