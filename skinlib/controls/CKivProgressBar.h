#pragma once
#include "CKivWnd.h"
#include "CKivDirectProgress.h"

struct KivSkinSettings;

// Progress bar skin: the drawn progress element covers the client area and
// holds the range and position; the control's own procedure never sees the
// PBM_ messages the element answers. Marquee bars keep the system look.
class CKivProgressBar : public CKivWnd, public CKivDirectProgress
{
public:
    CKivProgressBar() = default;
    ~CKivProgressBar() override = default;

    BOOL Attach(HWND window) override;
    // Hands range, step and position back to the control, which shows them from then on.
    BOOL Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Copies the fill colour and picture of the skin; true.
    bool Setup(const KivSkinSettings& settings);

private:
    LRESULT OnPaintMessage(HDC dc);
    LRESULT OnSizeMessage(WPARAM type, LPARAM size);
    LRESULT OnGetRange(WPARAM minimum, LPARAM range);
    LRESULT OnStyleChanged(WPARAM which, LPARAM styles);
    // The element follows the client area.
    void FitToClient();
};
