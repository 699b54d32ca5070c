#pragma once
#include "CKivWnd.h"

// MDI client skin: the area behind the document windows shows the skin's
// dialog colour instead of the system's application workspace. Arranging,
// activating, tiling, cascading and the MDI messages stay the control's.
class CKivMdiClient : public CKivWnd
{
public:
    CKivMdiClient() = default;
    ~CKivMdiClient() override;

    LRESULT OnEraseBkgnd(HDC dc) override;
};
