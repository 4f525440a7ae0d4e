#include "DataExchange.h"

#include <cstdio>
#include <string>

#include "DialogInt.h"
#include "WinApp.h"

HWND CDataExchange::PrepareCtrl(int nIDC) {
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
    m_bEditLastControl = false;
    return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    const HWND hWnd = PrepareCtrl(nIDC);
    m_bEditLastControl = true;
    return hWnd;
}

void CDataExchange::Refuse(const char* text) {
    const CWinApp* app = AfxGetApp();
    ::MessageBoxA(m_pDlgWnd->GetSafeHwnd(), text, app ? app->AppName().c_str() : nullptr, MB_OK | MB_ICONEXCLAMATION);
    Fail();
}

void CDataExchange::Fail() {
    m_bFailed = true;
    if (!m_bSaveAndValidate || !m_hWndLastControl) return;
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (pDX->Failed() || rControl.GetSafeHwnd()) return;
    const HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd || !rControl.SubclassWindow(hWnd)) pDX->Fail();
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    if (pDX->Failed()) return;
    const HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageA(hWnd, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    if (pDX->Failed()) return;
    const HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(hWnd, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(hWnd, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    if (pDX->Failed()) return;
    const HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        ::SetWindowTextA(hWnd, std::to_string(value).c_str());
        return;
    }
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(hWnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(hWnd, &text[0], static_cast<int>(text.size()))));
    if (const std::optional<int32_t> typed = ParseDialogInt(text))
        value = *typed;
    else
        pDX->Refuse("Please enter an integer.");
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (pDX->Failed() || !pDX->m_bSaveAndValidate) return;
    if (minVal <= value && value <= maxVal) return;
    char text[96];
    std::snprintf(text, sizeof text, "Please enter an integer between %d and %d.", minVal, maxVal);
    pDX->Refuse(text);
}
