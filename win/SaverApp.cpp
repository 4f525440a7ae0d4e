#include "SaverApp.h"

#include <cstdint>

#include "CommandLine.h"
#include "ConfigDialog.h"
#include "FireWnd.h"
#include "PreviewDpi.h"
#include "ProfileSettingsStore.h"
#include "QuitOnDestroy.h"
#include "SaverWnd.h"
#include "SelfDeleting.h"
#include "SettingsKey.h"

BOOL SaverApp::InitInstance() {
    SetRegistryKey(kRegistryKey);
    return Dispatch(__argc, __argv);
}

BOOL SaverApp::Dispatch(int argc, const char* const* argv) {
    const KeywordCompare compare = [](const char* a, const char* b) { return ::lstrcmpiA(a, b); };
    switch (ChooseMode(argc, argv, compare)) {
        case SaverMode::Settings:
            RunConfigDialog(reinterpret_cast<HWND>(static_cast<uintptr_t>(SettingsOwner(argc, argv, compare))));
            return FALSE;
        case SaverMode::Preview:
            return RunPreview(reinterpret_cast<HWND>(static_cast<uintptr_t>(PreviewParent(argc, argv, compare))));
        case SaverMode::FullScreen:
            return RunFullScreen();
        case SaverMode::None:
            break;
    }
    return FALSE;
}

void SaverApp::RunConfigDialog(HWND owner) {
    // A handle that names no window (the host's has gone) leaves the dialog on its own.
    ConfigDialog dialog(StoredSettings(kDialogReads), owner && ::IsWindow(owner) ? owner : nullptr);
    // The About box opens over it. No message loop follows, so nothing posts a quit.
    m_pMainWnd = &dialog;

    dialog.SetValues(DialogValuesFrom(dialog.m_preview.Settings()));
    if (dialog.DoModal() == IDOK) {
        ProfileSettingsStore store(this);
        WriteSettings(store, SettingsToWrite(dialog.Values()));
    }
}

SettingValues SaverApp::StoredSettings(const SettingsReader& mode) {
    ProfileSettingsStore store(this);
    SettingValues values;
    ReadSettings(kFireWndReads, store, values);
    ReadSettings(mode, store, values);
    return values;
}

BOOL SaverApp::RunFullScreen() {
    SaverWnd* const wnd = new SelfDeleting<QuitOnDestroy<SaverWnd>>(StoredSettings(kFullScreenReads));
    wnd->Engine().SetFullScreen();
    // Without a window nothing would ever post the quit message: end the program instead.
    if (!wnd->CreateFullScreen()) return FALSE;
    m_pMainWnd = wnd;
    return TRUE;
}

BOOL SaverApp::RunPreview(HWND parentHandle) {
    // A missing or stale handle would leave a window-less program waiting for ever.
    if (!::IsWindow(parentHandle)) return FALSE;

    // The child is made, and sized, in the host's coordinates.
    const HostDpiAwareness awareness(parentHandle);
    RECT rect;
    // A host that went away meanwhile ends the program as a bad handle does.
    if (!::GetClientRect(parentHandle, &rect)) return FALSE;

    // Child of another process's window, yet the one this run is for: the host ends it.
    FireWnd* const wnd = new SelfDeleting<QuitOnDestroy<FireWnd>>(StoredSettings(kPreviewReads));
    if (!wnd->Create(0, WS_CHILD | WS_VISIBLE, rect, parentHandle)) return FALSE;
    m_pMainWnd = wnd;
    return TRUE;
}
