#pragma once
#include "CKivDialog.h"

// The About box (dialog resource 100) of both preview programs.
class CKivAboutDlg : public CKivDialog
{
public:
    CKivAboutDlg() : CKivDialog(100) {}
};
