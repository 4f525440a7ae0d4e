#include "ConfigDialog.h"

#include "WinApp.h"
#include "WindowDc.h"
#include "res/resource.h"
#include "AboutDialog.h"

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

ConfigDialog::ConfigDialog(CWnd* pParent)
    : CDialog(IDD_CONFIG, pParent),
      m_preview(FALSE),
      m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_KINDLEWICK))) {}

DialogValues ConfigDialog::Values() const {
    DialogValues v;
    v.fireType = m_nFireType;
    v.drawFly = m_bDrawFly;
    v.blankScreen = m_bBlankScreen;
    v.smoothFire = m_bSmoothFire;
    v.flyWidth = m_nFlyWidth;
    v.flySpeed = m_nFlySpeed;
    return v;
}

void ConfigDialog::SetValues(const DialogValues& v) {
    m_nFireType = v.fireType;
    m_bDrawFly = v.drawFly;
    m_bBlankScreen = v.blankScreen;
    m_bSmoothFire = v.smoothFire;
    m_nFlyWidth = v.flyWidth;
    m_nFlySpeed = v.flySpeed;
}

void ConfigDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FLYSPEED, m_editSpeed);
    DDX_Control(pDX, IDC_FLYWIDTH, m_editWidth);
    DDX_Control(pDX, IDC_SMOOTHFIRE, m_btnSmooth);
    DDX_Control(pDX, IDC_DRAWFLY, m_btnDrawFly);
    DDX_Control(pDX, IDC_BLANKSCREEN, m_btnBlank);
    DDX_Control(pDX, IDC_FIRETYPE, m_comboType);
    DDX_Control(pDX, IDC_PREVIEW, m_preview);
    DDX_CBIndex(pDX, IDC_FIRETYPE, m_nFireType);
    DDX_Check(pDX, IDC_DRAWFLY, m_bDrawFly);
    DDX_Check(pDX, IDC_BLANKSCREEN, m_bBlankScreen);
    DDX_Check(pDX, IDC_SMOOTHFIRE, m_bSmoothFire);
    DDX_Text(pDX, IDC_FLYWIDTH, m_nFlyWidth);
    DDV_MinMaxInt(pDX, m_nFlyWidth, kFlyWidthRange.low, kFlyWidthRange.high);
    DDX_Text(pDX, IDC_FLYSPEED, m_nFlySpeed);
    DDV_MinMaxInt(pDX, m_nFlySpeed, kFlySpeedRange.low, kFlySpeedRange.high);
}

BOOL ConfigDialog::OnInitDialog() {
    // A dialog whose controls could not be bound is already ending.
    if (!CDialog::OnInitDialog()) return FALSE;
    m_preview.Restart(m_nFireType);
    m_btnSmooth.SetCheck(m_bSmoothFire);
    m_btnBlank.SetCheck(m_bBlankScreen);
    m_btnDrawFly.SetCheck(m_bDrawFly);
    m_comboType.SetCurSel(m_nFireType);
    EnableFlyEdits(m_bDrawFly != 0);
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
    DialogValues values = Values();
    const ControlEffect effect = OnControlChanged(values, control, check, m_comboType.GetCurSel());
    SetValues(values);
    if (effect.enableFlyEdits) EnableFlyEdits(*effect.enableFlyEdits);
    if (effect.preview.blankScreen) m_preview.m_bBlankScreen = *effect.preview.blankScreen;
    if (effect.preview.smooth) m_preview.m_nSmooth = *effect.preview.smooth;
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
