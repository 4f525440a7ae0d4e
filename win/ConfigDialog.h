#pragma once
// The settings dialog: six settings, a live fire preview in a black box at the top, and the
// About box from a button and from the system menu. Every decision on the values is in
// ui/ConfigRules.h; this class moves them between controls, members and the preview.
#include "FireWnd.h"
#include "Controls.h"
#include "Dialog.h"
#include "ConfigRules.h"

class ConfigDialog : public CDialog {
public:
    explicit ConfigDialog(CWnd* pParent = nullptr);

    // The six values as one record, for the code that reads and writes the settings.
    DialogValues Values() const;
    void SetValues(const DialogValues& values);

    CEdit m_editSpeed;
    CEdit m_editWidth;
    CButton m_btnSmooth;
    CButton m_btnDrawFly;
    CButton m_btnBlank;
    CComboBox m_comboType;
    // Never deleted through its window: it takes over the black static control.
    FireWnd m_preview;
    int m_nFireType = -1;  // list index; -1 when nothing is selected
    BOOL m_bDrawFly = 0;
    BOOL m_bBlankScreen = 0;
    BOOL m_bSmoothFire = 0;
    int m_nFlyWidth = 0;
    int m_nFlySpeed = 0;
    HICON m_hIcon;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnAbout();
    void OnBlankScreen();
    void OnSelChangeFireType();
    void OnSmoothFire();
    void OnDrawFly();

    DECLARE_MESSAGE_MAP()

private:
    // What a control change does to the values, the preview and the firefly's fields.
    void ApplyControlChange(ConfigControl control, int check);
    void EnableFlyEdits(bool enable);
    void AppendAboutItem();
};
