#pragma once
// The application object: start-up hooks, the main window, the message loop and the
// per-user profile in the registry.
#include <string>

#include "Afx.h"

class CWnd;

class CWinApp {
public:
    // No name: the application is named after its executable, without the extension.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // FALSE ends the application at once (after ExitInstance); TRUE runs the message loop.
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The message loop; it ends with WM_QUIT, which the window that owns the run posts as it
    // goes (QuitOnDestroy). The quit's code is the exit code.
    virtual int Run();

    // Settings live under HKEY_CURRENT_USER\Software\<key>\<application name>\<section>.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    // The stored DWORD, or nDefault when it is absent or no registry key is set.
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);

    const std::string& AppName() const { return m_strAppName; }

    // The application's main window: dialogs without an owner open over it. Being the main
    // window ends nothing; the reference is cleared when the object goes.
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    int m_nExitCode = 0;

private:
    // Software\<key>\<application name>\<section>; empty without a registry key.
    std::string SectionPath(LPCSTR lpszSection) const;

    std::string m_strAppName;
    std::string m_strRegistryKey;
};

// The application object of the process, while it exists.
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// Initialises the application object, runs InitInstance and then the loop or ExitInstance.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
