#pragma once
// Dialog data exchange: one DoDataExchange moves values from members into the controls
// (loading) or from the controls into members with validation (saving). A field that is
// refused on saving is reported to the user, gets the focus with its text selected, and
// every exchange after it in the same pass is skipped.
#include "Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    CDataExchange(const CDataExchange&) = delete;
    CDataExchange& operator=(const CDataExchange&) = delete;

    const BOOL m_bSaveAndValidate;
    CWnd* const m_pDlgWnd;

    // The control of the field being exchanged; validation and Fail refer to the last one.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Tells the user why the last field was refused (a message box owned by the dialog),
    // then fails the exchange.
    void Refuse(const char* text);
    // Puts the focus on the last field, selects an edit's text, and ends the exchange.
    void Fail();
    bool Failed() const { return m_bFailed; }

private:
    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;
    bool m_bFailed = false;
};

// Binds a member control to the dialog's control the first time: the member takes over
// the control's window (SubclassWindow) and keeps it until the window is destroyed.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The selected index of a list or combo box; -1 for none.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// A check box's state.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// An integer in an edit field; text that is not an integer is refused.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// On saving, refuses a value outside minVal to maxVal for the field exchanged last.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
