#pragma once
#include "CKivWnd.h"

// Marks a control skin that draws the whole client area itself; the
// control's own procedure keeps the behaviour but never paints.
class CKivOwnerDrawCtrl : public CKivWnd
{
public:
    CKivOwnerDrawCtrl() = default;
    ~CKivOwnerDrawCtrl() override;
};
