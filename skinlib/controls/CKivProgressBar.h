#pragma once
#include "CKivWnd.h"
#include "CKivDirectProgress.h"

struct KivSkinSettings;

// Progress bar skin: the drawn progress element covers the client area and
// shows the range and position the control holds. Every PBM_ message goes on
// to the control, so its answers, its stepping (which wraps within the range)
// and its own invalidation and repaint are those of the real control; the
// element paints in the control's WM_PAINT. Marquee bars keep the system look.
class CKivProgressBar : public CKivWnd, public CKivDirectProgress
{
public:
    CKivProgressBar() = default;
    ~CKivProgressBar() override = default;

    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Copies the fill colour and picture of the skin; true.
    bool Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;

private:
    LRESULT OnPaintMessage(HDC dc);
    LRESULT OnPrintClient(HDC dc);
    LRESULT OnSizeMessage(WPARAM type, LPARAM size);
    LRESULT OnStyleChanged(WPARAM which, LPARAM styles);
    // A range change: the bar shows empty until a position is set.
    LRESULT OnRangeChange(UINT message, WPARAM wParam, LPARAM lParam);
    // A position change: the control repaints when the position moved.
    LRESULT OnPositionChange(UINT message, WPARAM wParam, LPARAM lParam);
    // Reads range and position back from the control into the element.
    void FollowControl();
    // The element follows the client area.
    void FitToClient();
};
