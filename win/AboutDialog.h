#pragma once
// The About box: the flame picture, the title and a few lines; no state, no effect.
#include "Dialog.h"

class AboutDialog : public CDialog {
public:
    explicit AboutDialog(HWND hParent = nullptr);

protected:
    BOOL OnInitDialog() override;
};
