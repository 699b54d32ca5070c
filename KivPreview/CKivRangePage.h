#pragma once
#include "CKivSamplePage.h"

// Static text, an icon, scroll bars and progress bars; the page reports what
// the bars tell it in an edit control.
class CKivRangePage : public CKivSamplePage
{
public:
    CKivRangePage();

protected:
    void OnPageShown(bool firstTime) override;
    bool OnHScroll(HWND bar, UINT code, int position) override;
    bool OnVScroll(HWND bar, UINT code, int position) override;

private:
    bool ReportScroll(HWND bar, int position);
    void OnStep(int progressId);
};
