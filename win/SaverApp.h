#pragma once
// The application object: reads the command line once and starts the mode it names.
#include "Settings.h"
#include "WinApp.h"

class SaverApp : public CWinApp {
public:
    SaverApp() = default;

    BOOL InitInstance() override;
    // The mode dispatch of InitInstance on a given argument vector (argc counts the
    // program name). TRUE when a window was started and the message loop should run.
    BOOL Dispatch(int argc, const char* const* argv);

    // Settings mode: the dialog runs to its end; the application then finishes. An owner
    // that is a window (the host's settings window) owns the dialog for that time.
    void RunConfigDialog(HWND owner = nullptr);

    // What a fire window of a mode starts with: every fire window's reads of the stored
    // settings, then the mode's own over them.
    SettingValues StoredSettings(const SettingsReader& mode);

private:
    // A fire window inside the host's window; none when the handle names no window.
    BOOL RunPreview(HWND parentHandle);
    BOOL RunFullScreen();
};
