#pragma once
// Helpers of the Win32 tests: message pumping with a deadline, plain host windows, pixel
// read-back and a registry scope for the test program's own settings key.
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

// Deletes HKCU\Software\Kindlewick.\<this program> before and after a test.
class RegistryScope {
public:
    RegistryScope();
    RegistryScope(const RegistryScope&) = delete;
    RegistryScope& operator=(const RegistryScope&) = delete;
    ~RegistryScope();
    // The section key under which the test program's settings live.
    static std::string ConfigPath();

private:
    static void Clear();
};

// The handle of a window as the preview switch passes it: decimal.
std::string HandleArgument(HWND hWnd);
// The number of windows of this thread, children included.
int ThreadWindowCount();
