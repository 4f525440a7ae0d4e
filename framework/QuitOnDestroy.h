#pragma once
// A window object that the run is for: its window's destruction ends the message loop, once,
// with exit code 0. The loop itself knows no window.
#include <utility>

#include "Afx.h"

template <class Wnd>
class QuitOnDestroy : public Wnd {
public:
    template <class... Args>
    explicit QuitOnDestroy(Args&&... args) : Wnd(std::forward<Args>(args)...) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        // Ahead of the class's own message map, whose WM_DESTROY handler still runs.
        if (message == WM_DESTROY) ::PostQuitMessage(0);
        return Wnd::WindowProc(message, wParam, lParam);
    }
};
