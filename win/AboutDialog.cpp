#include "AboutDialog.h"

#include "res/resource.h"

AboutDialog::AboutDialog(HWND hParent) : CDialog(IDD_ABOUTBOX, hParent) {}

BOOL AboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    return TRUE;
}
