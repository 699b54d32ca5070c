#pragma once
#include "CKivDialog.h"

// The About box (dialog resource 100). When the builder's own skin is loaded
// it skins itself, its OK button and its picture one by one: the builder
// installs no hook.
class CKivBuilderAboutDlg : public CKivDialog
{
public:
    explicit CKivBuilderAboutDlg(bool skinned);

protected:
    BOOL OnInitDialog(HWND focus) override;

private:
    bool m_skinned;
};
