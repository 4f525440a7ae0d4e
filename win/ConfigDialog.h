#pragma once
// The settings dialog: six settings, a live fire preview in a black box at the top, and the
// About box from a button and from the system menu. Every decision on the values is in
// rules/ConfigRules.h; this class moves them between controls, members and the preview.
#include "ConfigRules.h"
#include "Controls.h"
#include "Dialog.h"
#include "FireWnd.h"

class ConfigDialog : public CDialog {
public:
    // The preview starts from `preview`, the settings as the dialog has read them.
    explicit ConfigDialog(const SettingValues& preview, HWND hParent = nullptr);

    // The six values as one record, for the code that reads and writes the settings.
    const DialogValues& Values() const { return m_values; }
    void SetValues(const DialogValues& values) { m_values = values; }

    CWnd m_editSpeed;
    CWnd m_editWidth;
    CButton m_btnSmooth;
    CButton m_btnDrawFly;
    CButton m_btnBlank;
    CComboBox m_comboType;
    // Never deleted through its window: it takes over the black static control.
    FireWnd m_preview;
    // Bound to the controls by data exchange; fireType is the list index, -1 for none.
    DialogValues m_values;
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
