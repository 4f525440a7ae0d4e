#pragma once
// Thin wrappers of the standard controls a dialog binds to its members (DDX_Control).
#include "Wnd.h"

class CButton : public CWnd {
public:
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const;
    void SetCheck(int nCheck);
};

class CComboBox : public CWnd {
public:
    // The selected index, or CB_ERR (-1) when nothing is selected.
    int GetCurSel() const;
    // An index outside the list clears the selection.
    int SetCurSel(int nSelect);
};
