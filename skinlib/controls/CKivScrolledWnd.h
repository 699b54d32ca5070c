#pragma once
#include "CKivWindowScrollBars.h"
#include "CKivWnd.h"

// Base of a control skin that leaves the control's own painting in place
// and draws its window scroll bars (WS_VSCROLL, WS_HSCROLL) in the skin's
// colours: the system keeps all of the scrolling (see
// CKivWindowScrollBars). Every message passes the bars on its way (which
// track a press on a bar and print themselves after WM_PRINT); the
// non-client paint is handled here, the rest goes to Dispatch.
class CKivScrolledWnd : public CKivWnd
{
public:
    CKivScrolledWnd() = default;
    ~CKivScrolledWnd() override;

    BOOL Attach(HWND window) override;
    // Lets the bars go and has the window drawn whole again, by the system.
    BOOL Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    const CKivWindowScrollBars& ScrollBars() const { return m_bars; }

protected:
    CKivWindowScrollBars& Bars() { return m_bars; }
    // A skin's own messages; what it does not take goes here.
    virtual LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // After the system's non-client paint, before the bars: a border, say.
    virtual void DecorateFrame() {}
    // After the bars.
    virtual void AfterNcPaint() {}

private:
    LRESULT OnScrolledNcPaint(WPARAM region);

    CKivWindowScrollBars m_bars;
};
