#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ConfigDialog.h"
#include "FireWndAccess.h"
#include "ModalScript.h"
#include "ProfileSettingsStore.h"
#include "ProgramTestSupport.h"
#include "res/resource.h"
#include "SaverApp.h"
#include "WinTestSupport.h"

namespace {

struct Flames {
    int red = 0;    // Wood's first ramp
    int green = 0;  // Kryptonite's first ramp
};

Flames CountFlames(HWND hwnd) {
    Flames f;
    const WindowPixels px(hwnd);
    for (int y = 0; y < px.height(); ++y)
        for (int x = 0; x < px.width(); ++x) {
            const Rgb p = px.at(x, y);
            if (p.r >= 64 && p.g < p.r / 2 && p.b < p.r / 2) ++f.red;
            if (p.g >= 64 && p.r < p.g / 2 && p.b < p.g / 2) ++f.green;
        }
    return f;
}

ConfigDialog* RunningDialog(const CWinApp& app) {
    auto* dialog = dynamic_cast<ConfigDialog*>(app.m_pMainWnd);
    return dialog && dialog->m_hWnd && IsWindowVisible(dialog->m_hWnd) ? dialog : nullptr;
}

std::string ItemText(HWND dialog, int id) {
    char text[64] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool Stored(SaverApp& app, const char* name, int want) {
    ProfileSettingsStore store(&app);
    return store.GetInt("Config", name, 12345) == want;
}

TEST(ConfigDialog, StartsFromTheStoredSettingsAndRelightsThePreviewOnEachChange) {
    RegistryScope scope;
    SaverApp app;
    app.SetRegistryKey(kRegistryKey);
    app.WriteProfileInt("Config", "SmoothFire", 1);
    app.WriteProfileInt("Config", "DrawFly", 1);
    app.WriteProfileInt("Config", "FlySpeed", 12);

    ConfigDialog* dialog = nullptr;
    HWND hDlg = nullptr, preview = nullptr;
    HGDIOBJ palette = nullptr;
    Flames seen;
    const auto click = [&](int id) { SendDlgItemMessageA(hDlg, id, BM_CLICK, 0, 0); };
    ModalScript script;
    script.Then("the dialog is up", [&] { return (dialog = RunningDialog(app)) != nullptr; })
        .Then("the stored settings are shown and copied into the preview",
              [&] {
                  hDlg = dialog->m_hWnd;
                  preview = GetDlgItem(hDlg, IDC_PREVIEW);
                  EXPECT_EQ(CWnd::FromHandlePermanent(preview), &dialog->m_preview)
                      << "the preview took over control 1001";
                  EXPECT_EQ(dialog->m_preview.State().m_bFullScreen, 0);
                  EXPECT_EQ(TimerOf(dialog->m_preview), kFrameTimerId);
                  RECT client{};
                  GetClientRect(preview, &client);
                  EXPECT_EQ(dialog->m_preview.State().m_cxFire, client.right);
                  EXPECT_EQ(dialog->m_preview.State().m_cyFire, client.bottom);

                  const SettingValues copied = dialog->m_preview.Settings();
                  const DialogValues shown = dialog->Values();
                  struct Row {
                      const char* name;
                      int copied, shown, want;
                  };
                  const Row rows[] = {
                      {"BlankScreen", copied[SettingId::BlankScreen], shown.blankScreen, 0},
                      {"SmoothFire", copied[SettingId::SmoothFire], shown.smoothFire, 1},
                      {"DrawFly", copied[SettingId::DrawFly], shown.drawFly, 1},
                      {"FireType", copied[SettingId::FireType], shown.fireType, 0},
                      {"FlyWidth", copied[SettingId::FlyWidth], shown.flyWidth, 4},
                      {"FlySpeed", copied[SettingId::FlySpeed], shown.flySpeed, 12},
                  };
                  for (const Row& r : rows) {
                      EXPECT_EQ(r.copied, r.want) << r.name << " in the preview";
                      EXPECT_EQ(r.shown, r.want) << r.name << " in the dialog";
                  }
                  EXPECT_EQ(ItemText(hDlg, IDC_FLYWIDTH), "4");
                  EXPECT_EQ(ItemText(hDlg, IDC_FLYSPEED), "12");
                  EXPECT_EQ(IsDlgButtonChecked(hDlg, IDC_SMOOTHFIRE), UINT(BST_CHECKED));
                  EXPECT_EQ(IsDlgButtonChecked(hDlg, IDC_DRAWFLY), UINT(BST_CHECKED));
                  EXPECT_EQ(IsDlgButtonChecked(hDlg, IDC_BLANKSCREEN), UINT(BST_UNCHECKED));
                  EXPECT_EQ(SendDlgItemMessageA(hDlg, IDC_FIRETYPE, CB_GETCURSEL, 0, 0), 0);
                  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hDlg, IDC_FLYWIDTH)) &&
                              IsWindowEnabled(GetDlgItem(hDlg, IDC_FLYSPEED)));
                  EXPECT_EQ(GetFocus(), GetDlgItem(hDlg, IDC_FIRETYPE)) << "the first tab stop";
                  return true;
              })
        .Then("the preview burns with wood colours", [&] { return (seen = CountFlames(preview)).red >= 40; })
        .Then("Kryptonite picked from the list",
              [&] {
                  const HWND list = GetDlgItem(hDlg, IDC_FIRETYPE);
                  SendMessageA(list, CB_SETCURSEL, 1, 0);
                  SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_FIRETYPE, CBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(list));
                  EXPECT_EQ(dialog->Values().fireType, 1);
                  EXPECT_EQ(dialog->m_preview.State().m_rgbPalette[100].green, 211) << "Kryptonite's palette";
                  return true;
              })
        .Then("the preview burns green", [&] { return (seen = CountFlames(preview)).green >= 40; })
        .Then("Blank Screen clicked",
              [&] {
                  std::printf("green preview: %d green, %d red flame pixels\n", seen.green, seen.red);
                  click(IDC_BLANKSCREEN);
                  EXPECT_EQ(dialog->Values().blankScreen, 1);
                  EXPECT_EQ(dialog->m_preview.State().m_bBlankScreen, 1);
                  EXPECT_EQ(dialog->Values().fireType, 1) << "the list's selection stays the fire type";
                  EXPECT_EQ(dialog->m_preview.State().m_rgbPalette[100].green, 211)
                      << "relit with the list's selection";
                  return true;
              })
        .Then("green flames over black",
              [&] {
                  seen = CountFlames(preview);
                  return seen.green >= 40 && seen.red == 0;
              })
        .Then("Smooth Fire clicked off",
              [&] {
                  palette = PaletteOf(dialog->m_preview).GetSafeHandle();
                  click(IDC_SMOOTHFIRE);
                  EXPECT_EQ(dialog->Values().smoothFire, 0);
                  EXPECT_EQ(dialog->m_preview.State().m_nSmooth, 0);
                  EXPECT_NE(PaletteOf(dialog->m_preview).GetSafeHandle(), palette) << "the preview was relit";
                  return true;
              })
        .Then("Draw firefly clicked off", [&] {
            palette = PaletteOf(dialog->m_preview).GetSafeHandle();
            click(IDC_DRAWFLY);
            EXPECT_EQ(dialog->Values().drawFly, 0);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hDlg, IDC_FLYWIDTH)));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hDlg, IDC_FLYSPEED)));
            EXPECT_EQ(dialog->m_preview.State().m_bDrawFly, 1) << "the preview draws no firefly and is left alone";
            EXPECT_EQ(PaletteOf(dialog->m_preview).GetSafeHandle(), palette) << "the preview was not relit";
            PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
            return true;
        });
    script.Start();
    app.RunConfigDialog();
    EXPECT_TRUE(script.Finished()) << "stuck at: " << script.Stuck() << " (" << seen.red << " red, " << seen.green
                                   << " green flame pixels)";
    EXPECT_EQ(app.m_pMainWnd, nullptr) << "the main window must not outlive the dialog";
    EXPECT_FALSE(IsWindow(preview));
    struct Row {
        const char* name;
        int want;
    };
    for (const Row& r : {Row{"BlankScreen", 1}, Row{"SmoothFire", 0}, Row{"DrawFly", 0}, Row{"FireType", 1},
                         Row{"FlyWidth", 4}, Row{"FlySpeed", 12}})
        EXPECT_TRUE(Stored(app, r.name, r.want)) << r.name << " should be stored as " << r.want;
    int quits = 0;
    PumpPending(&quits);
    EXPECT_EQ(quits, 0) << "no message loop follows the dialog, yet its end posted a quit";
}

TEST(ConfigDialog, TheAboutBoxComesFromTheButtonAndTheSystemMenuItemAndChangesNothing) {
    RegistryScope scope;
    SaverApp app;
    app.SetRegistryKey(kRegistryKey);

    ConfigDialog* dialog = nullptr;
    HWND hDlg = nullptr, about = nullptr;
    DialogValues before;
    int opened = 0;
    const auto aboutIsUp = [&] {
        about = FindThreadDialog("About Saver");
        if (!about) return false;
        ++opened;
        EXPECT_EQ(GetWindow(about, GW_OWNER), hDlg) << "opening " << opened;
        EXPECT_FALSE(IsWindowEnabled(hDlg)) << "opening " << opened << ": the dialog waits";
        RECT a{}, d{};
        GetWindowRect(about, &a);
        GetWindowRect(hDlg, &d);
        EXPECT_NEAR((a.left + a.right) / 2, (d.left + d.right) / 2, 1) << "centred over the dialog";
        EXPECT_NE(SendMessageA(GetWindow(about, GW_CHILD), STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "the flame";
        return true;
    };
    const auto aboutIsGone = [&] {
        if (IsWindow(about) || !IsWindowEnabled(hDlg)) return false;
        const DialogValues after = dialog->Values();
        EXPECT_TRUE(after.fireType == before.fireType && after.smoothFire == before.smoothFire &&
                    after.flyWidth == before.flyWidth && after.flySpeed == before.flySpeed)
            << "closing the About box changed the dialog's values";
        return true;
    };
    ModalScript script;
    script.Then("the dialog is up", [&] { return (dialog = RunningDialog(app)) != nullptr; })
        .Then("the system menu and the icon",
              [&] {
                  hDlg = dialog->m_hWnd;
                  before = dialog->Values();
                  const HMENU menu = GetSystemMenu(hDlg, FALSE);
                  const int count = GetMenuItemCount(menu);
                  char text[64] = "";
                  GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
                  EXPECT_EQ(GetMenuItemID(menu, count - 1), 16u);
                  EXPECT_STREQ(text, "&About Saver...");
                  EXPECT_TRUE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
                  EXPECT_NE(dialog->m_hIcon, nullptr);
                  EXPECT_EQ(SendMessageA(hDlg, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(dialog->m_hIcon));
                  PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED),
                               reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDC_ABOUT)));
                  return true;
              })
        .Then("the About button opened the box",
              [&] {
                  if (!aboutIsUp()) return false;
                  PostMessageA(about, WM_COMMAND, IDOK, 0);
                  return true;
              })
        .Then("the box closed", aboutIsGone)
        .Then("the system-menu item",
              [&] {
                  // The system keeps the low four bits of a command for itself.
                  PostMessageA(hDlg, WM_SYSCOMMAND, 16 | 0x3, 0);
                  return true;
              })
        .Then("the system-menu item opened the box",
              [&] {
                  if (!aboutIsUp()) return false;
                  PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
                  return true;
              })
        .Then("the box closed again", aboutIsGone)
        .Then("the close box", [&] {
            PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        });
    script.Start();
    app.RunConfigDialog();
    EXPECT_TRUE(script.Finished()) << "stuck at: " << script.Stuck();
    EXPECT_EQ(opened, 2);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, RegistryScope::ConfigPath().c_str(), 0, KEY_READ, &key), ERROR_SUCCESS)
        << "the close box stored something";
    if (key) RegCloseKey(key);
}

}  // namespace
