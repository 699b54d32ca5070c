#pragma once
#include "CKivDialog.h"

// One page of sample controls, a caption-less child dialog of the main
// dialog's tab control. OnPageShown runs every time the page is shown;
// firstTime is true only once, for pages that fill their lists once.
class CKivSamplePage : public CKivDialog
{
public:
    explicit CKivSamplePage(UINT templateId) : CKivDialog(templateId) {}

protected:
    virtual void OnPageShown(bool firstTime) = 0;
    bool OnShowWindow(bool show) override;

private:
    bool m_shownBefore = false;
};
