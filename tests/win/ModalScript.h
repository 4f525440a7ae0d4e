#pragma once
// Plays the user inside a modal loop of this thread. The steps run one after another from a
// thread timer, which every modal loop (a dialog's, a message box's) dispatches, so the test
// stays on the thread that owns the windows. A step that opens another modal loop must post
// its message rather than send it: the script does not run while a step is still running.
#include <functional>
#include <string>
#include <vector>

#include "Afx.h"

class ModalScript {
public:
    // Polled until it returns true, for at most the step time-out.
    using Step = std::function<bool()>;

    explicit ModalScript(DWORD stepTimeoutMs = 30000);
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;
    ~ModalScript();

    ModalScript& Then(std::string what, Step step);
    // Starts the timer; the steps run once the caller enters a modal loop.
    void Start();

    bool Finished() const { return m_next == m_steps.size() && m_stuck.empty(); }
    // The step that did not finish in time; every dialog box of the thread was then cancelled.
    const std::string& Stuck() const { return m_stuck; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Run();

    struct Entry {
        std::string what;
        Step step;
    };
    std::vector<Entry> m_steps;
    std::size_t m_next = 0;
    DWORD m_stepStart = 0;
    DWORD m_timeoutMs;
    UINT_PTR m_timer = 0;
    bool m_running = false;
    std::string m_stuck;
};

// A visible dialog box (class #32770) of this thread with the given caption, or null.
HWND FindThreadDialog(const char* caption);
