#include "WinApp.h"

#include "Wnd.h"

namespace {
CWinApp*& CurrentApp() {
    static CWinApp* app = nullptr;
    return app;
}

std::string ExecutableBaseName() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length < MAX_PATH ? length : 0);
    const std::size_t slash = name.find_last_of("\\/:");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}
}  // namespace

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_strAppName(lpszAppName ? std::string(lpszAppName) : ExecutableBaseName()) {
    CurrentApp() = this;
}

CWinApp::~CWinApp() {
    if (CurrentApp() == this) CurrentApp() = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return m_nExitCode; }

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (msg.message == WM_QUIT) m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

CWinApp* AfxGetApp() { return CurrentApp(); }

HINSTANCE AfxGetInstanceHandle() {
    const CWinApp* app = AfxGetApp();
    if (app && app->m_hInstance) return app->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}
