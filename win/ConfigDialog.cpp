#include "ConfigDialog.h"

#include "AboutDialog.h"
#include "res/resource.h"
#include "WinApp.h"
#include "WindowDc.h"

BEGIN_MESSAGE_MAP(ConfigDialog, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_ABOUT, OnAbout)
    ON_BN_CLICKED(IDC_BLANKSCREEN, OnBlankScreen)
    ON_CBN_SELCHANGE(IDC_FIRETYPE, OnSelChangeFireType)
    ON_BN_CLICKED(IDC_SMOOTHFIRE, OnSmoothFire)
    ON_BN_CLICKED(IDC_DRAWFLY, OnDrawFly)
END_MESSAGE_MAP()

ConfigDialog::ConfigDialog(const SettingValues& preview, HWND hParent)
    : CDialog(IDD_CONFIG, hParent),
      m_preview(preview),
      m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_KINDLEWICK))) {}

void ConfigDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FLYSPEED, m_editSpeed);
    DDX_Control(pDX, IDC_FLYWIDTH, m_editWidth);
    DDX_Control(pDX, IDC_SMOOTHFIRE, m_btnSmooth);
    DDX_Control(pDX, IDC_DRAWFLY, m_btnDrawFly);
    DDX_Control(pDX, IDC_BLANKSCREEN, m_btnBlank);
    DDX_Control(pDX, IDC_FIRETYPE, m_comboType);
    DDX_Control(pDX, IDC_PREVIEW, m_preview);
    DialogValues& v = m_values;
    DDX_CBIndex(pDX, IDC_FIRETYPE, v.fireType);
    DDX_Check(pDX, IDC_DRAWFLY, v.drawFly);
    DDX_Check(pDX, IDC_BLANKSCREEN, v.blankScreen);
    DDX_Check(pDX, IDC_SMOOTHFIRE, v.smoothFire);
    const auto inRange = [pDX](int32_t value, SettingId id) {
        DDV_MinMaxInt(pDX, value, Describe(id).low, Describe(id).high);
    };
    DDX_Text(pDX, IDC_FLYWIDTH, v.flyWidth);
    inRange(v.flyWidth, SettingId::FlyWidth);
    DDX_Text(pDX, IDC_FLYSPEED, v.flySpeed);
    inRange(v.flySpeed, SettingId::FlySpeed);
}

BOOL ConfigDialog::OnInitDialog() {
    // A dialog whose controls could not be bound is already ending.
    if (!CDialog::OnInitDialog()) return FALSE;
    m_preview.Restart(m_values.fireType);
    m_btnSmooth.SetCheck(m_values.smoothFire);
    m_btnBlank.SetCheck(m_values.blankScreen);
    m_btnDrawFly.SetCheck(m_values.drawFly);
    m_comboType.SetCurSel(m_values.fireType);
    EnableFlyEdits(m_values.drawFly != 0);
    CenterWindow();
    AppendAboutItem();
    return TRUE;
}

void ConfigDialog::AppendAboutItem() {
    char text[256] = {};
    if (::LoadStringA(AfxGetInstanceHandle(), IDS_ABOUTBOX, text, sizeof text) <= 0) return;
    const HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!menu) return;
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kAboutCommand, text);
}

void ConfigDialog::EnableFlyEdits(bool enable) {
    m_editWidth.EnableWindow(enable);
    m_editSpeed.EnableWindow(enable);
}

void ConfigDialog::ApplyControlChange(ConfigControl control, int check) {
    const ControlEffect effect = OnControlChanged(m_values, control, check, m_comboType.GetCurSel());
    if (effect.enableFlyEdits) EnableFlyEdits(*effect.enableFlyEdits);
    if (effect.preview.blankScreen) m_preview.Engine().SetSetting(SettingId::BlankScreen, *effect.preview.blankScreen);
    if (effect.preview.smooth) m_preview.Engine().SetSetting(SettingId::SmoothFire, *effect.preview.smooth);
    if (effect.preview.restart) m_preview.Restart(effect.preview.fireType);
}

void ConfigDialog::OnBlankScreen() { ApplyControlChange(ConfigControl::BlankScreen, m_btnBlank.GetCheck()); }

void ConfigDialog::OnSelChangeFireType() { ApplyControlChange(ConfigControl::FireTypeList, 0); }

void ConfigDialog::OnSmoothFire() { ApplyControlChange(ConfigControl::SmoothFire, m_btnSmooth.GetCheck()); }

void ConfigDialog::OnDrawFly() { ApplyControlChange(ConfigControl::DrawFly, m_btnDrawFly.GetCheck()); }

void ConfigDialog::OnAbout() {
    AboutDialog about;
    about.DoModal();
}

void ConfigDialog::OnSysCommand(UINT nID, LPARAM) {
    if (IsAboutCommand(nID))
        OnAbout();
    else
        Default();
}

void ConfigDialog::OnPaint() {
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT client;
    GetClientRect(&client);
    const int x = IconOrigin(client.right - client.left, ::GetSystemMetrics(SM_CXICON));
    const int y = IconOrigin(client.bottom - client.top, ::GetSystemMetrics(SM_CYICON));
    ::DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
}

HCURSOR ConfigDialog::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
