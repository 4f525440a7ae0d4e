#include "WinApp.h"
#include "Wnd.h"

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* const app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = hInstance;
    if (!app->InitInstance()) {
        // A main window left behind by a failed start would otherwise outlive the program.
        if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}
