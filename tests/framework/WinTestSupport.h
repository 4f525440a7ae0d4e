#pragma once
// Helpers of the Win32 tests: message pumping with a deadline, plain host windows and pixel
// read-back.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Afx.h"

// Dispatches messages until `done` holds or `timeoutMs` passes; returns done().
// A WM_QUIT taken from the queue is counted in *quits when given.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000, int* quits = nullptr);
// Dispatches whatever is queued now.
void PumpPending(int* quits = nullptr);

// A plain visible window of the test process (a child of one shared top-level window),
// destroyed with the object.
class HostWindow {
public:
    HostWindow(int x, int y, int width, int height);
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    ~HostWindow();
    HWND hwnd() const { return m_hWnd; }
    void Destroy();

private:
    HWND m_hWnd = nullptr;
};

struct Rgb {
    uint8_t r, g, b;
};

// The client area of a window as the screen shows it, top row first.
class WindowPixels {
public:
    explicit WindowPixels(HWND hWnd);
    int width() const { return m_width; }
    int height() const { return m_height; }
    Rgb at(int x, int y) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;
};

// The number of windows of this thread, children included.
int ThreadWindowCount();
