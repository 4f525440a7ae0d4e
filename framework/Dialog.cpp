#include "Dialog.h"

#include "DlgInit.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    return ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), Owner(), &CDialog::DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.Failed();
}

BOOL CDialog::OnInitDialog() {
    if (!AfxExecuteDlgInit(m_hWnd, AfxGetInstanceHandle(), m_nIDTemplate) || !UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

HWND CDialog::Owner() const {
    HWND owner = m_hParentWnd;
    const CWinApp* app = AfxGetApp();
    const bool fromMain = !owner && app && app->m_pMainWnd && app->m_pMainWnd != this;
    if (fromMain) owner = app->m_pMainWnd->GetSafeHwnd();
    while (owner && (::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
    // A box already open over the main window (another dialog) owns the new one.
    if (fromMain && owner) owner = ::GetLastActivePopup(owner);
    return owner;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT nMsg, WPARAM, LPARAM lParam) {
    CWnd* const linked = CWnd::FromHandlePermanent(hWnd);
    auto* dialog = dynamic_cast<CDialog*>(linked);
    if (!linked) {
        // DoModal's object arrives with WM_INITDIALOG; only WM_SETFONT comes before it, and no
        // dialog handles that.
        if (nMsg != WM_INITDIALOG) return FALSE;
        dialog = reinterpret_cast<CDialog*>(lParam);
        if (!dialog) return FALSE;
        if (!dialog->SubclassWindow(hWnd)) {
            ::EndDialog(hWnd, -1);
            return FALSE;
        }
    }
    if (!dialog) return FALSE;
    // Any other message reaches this procedure only after the object's message map passed it on.
    if (nMsg == WM_INITDIALOG) return dialog->OnInitDialog();
    return FALSE;
}
