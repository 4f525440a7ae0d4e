#pragma once
// A modal dialog from a template in the resources. The object takes over the dialog's
// window on WM_INITDIALOG, so every later message, commands included, passes the class's
// message map before the system's dialog procedure.
#include "DataExchange.h"
#include "Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, HWND hParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_hParentWnd(hParentWnd) {}

    // Runs the dialog to its end: the value given to EndDialog, IDOK or IDCANCEL from the
    // framework's handlers, or -1 when the dialog could not be made.
    INT_PTR DoModal();
    void EndDialog(int nResult);
    // Loads the controls from the members (FALSE) or saves and validates them (TRUE);
    // FALSE when a field was refused.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    // Fills the lists from the template's initialisation data, then loads the controls.
    // TRUE lets the system give the focus to the first control with a tab stop.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    // Enter and the default button: saves and validates, and ends with IDOK only if
    // every field was accepted.
    virtual void OnOK();
    // Escape, the Cancel button and the close box: ends with IDCANCEL, saving nothing.
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    // The parent, or else the application's main window; pop-ups are owned by top-level
    // windows only.
    HWND Owner() const;

    const UINT m_nIDTemplate;
    const HWND m_hParentWnd;
};
