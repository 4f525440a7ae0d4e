#include "ModalScript.h"

#include <string>

namespace {
// Thread timers carry no data of their own; one script runs at a time.
ModalScript* g_script = nullptr;

struct DialogSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hWnd, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    char cls[16] = "", text[64] = "";
    GetClassNameA(hWnd, cls, sizeof cls);
    GetWindowTextA(hWnd, text, sizeof text);
    if (std::string(cls) == "#32770" && IsWindowVisible(hWnd) &&
        (!search->caption || std::string(text) == search->caption)) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CancelDialog(HWND hWnd, LPARAM) {
    char cls[16] = "";
    GetClassNameA(hWnd, cls, sizeof cls);
    if (std::string(cls) == "#32770") PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}
}  // namespace

HWND FindThreadDialog(const char* caption) {
    DialogSearch search{caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

ModalScript::ModalScript(DWORD stepTimeoutMs) : m_timeoutMs(stepTimeoutMs) {}

ModalScript::~ModalScript() {
    if (m_timer) KillTimer(nullptr, m_timer);
    if (g_script == this) g_script = nullptr;
}

ModalScript& ModalScript::Then(std::string what, Step step) {
    m_steps.push_back(Entry{std::move(what), std::move(step)});
    return *this;
}

void ModalScript::Start() {
    g_script = this;
    m_stepStart = GetTickCount();
    m_timer = SetTimer(nullptr, 0, 20, &ModalScript::OnTimer);
}

void CALLBACK ModalScript::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_script) g_script->Run();
}

void ModalScript::Run() {
    if (m_running) return;
    m_running = true;
    while (m_next < m_steps.size()) {
        if (m_steps[m_next].step()) {
            ++m_next;
            m_stepStart = GetTickCount();
            continue;
        }
        if (GetTickCount() - m_stepStart > m_timeoutMs) {
            m_stuck = m_steps[m_next].what;
            m_next = m_steps.size();
            // Whatever is open ends, so that the test gets its thread back.
            EnumThreadWindows(GetCurrentThreadId(), &CancelDialog, 0);
        }
        break;
    }
    m_running = false;
}
