#pragma once
#include "CKivWnd.h"

class IKivWindowPaint;

// Skin of a dialog without caption bits: the system keeps its frame, the
// window paint strategy paints the dialog background.
class CKivWndNoCaptionBar : public CKivWnd
{
public:
    CKivWndNoCaptionBar() = default;
    ~CKivWndNoCaptionBar() override;

    BOOL Attach(HWND window) override;
    LRESULT OnEraseBkgnd(HDC dc) override;

    IKivWindowPaint* WindowPaint() const { return m_paint; }

private:
    // Owned; made at the first Attach and kept when that attach fails.
    IKivWindowPaint* m_paint = nullptr;
};
