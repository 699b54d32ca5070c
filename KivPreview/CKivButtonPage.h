#pragma once
#include "CKivSamplePage.h"

// Push buttons, check boxes and radio buttons, and the colour and file dialogs.
class CKivButtonPage : public CKivSamplePage
{
public:
    CKivButtonPage();

protected:
    void OnPageShown(bool firstTime) override;

private:
    void OnButton2();
    void OnToggleButton2();
    void OnShowOkWhenChecked(UINT id);
    void OnDisableCheck1();
    void OnOpenFile();
    void OnChooseColor();
    void OnRadio2Enable(UINT id);

    COLORREF m_color = RGB(0, 128, 255);
    COLORREF m_customColors[16] = {};
};
