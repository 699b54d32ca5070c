#include "CKivProgressBar.h"
#include "CKivPaintDC.h"
#include "KivSkinSettings.h"
#include <commctrl.h>

namespace {
// PBM_GETSTEP, declared by the headers only for newer targets.
const UINT kGetStep = WM_USER + 13;
}  // namespace

BOOL CKivProgressBar::Attach(HWND window)
{
    if (window == nullptr || (GetWindowLongPtrW(window, GWL_STYLE) & PBS_MARQUEE) != 0)
        return FALSE;
    if (!CKivWnd::Attach(window))
        return FALSE;
    RECT client = {};
    GetClientRect(window, &client);
    Init6(0, 0, client.right, client.bottom, window, (GetWindowLongPtrW(window, GWL_STYLE) & PBS_VERTICAL) ? 0 : 1);
    return TRUE;
}

BOOL CKivProgressBar::Detach()
{
    if (Window() != nullptr)
    {
        CallPrevious(PBM_SETRANGE32, static_cast<WPARAM>(Min()), Max());
        CallPrevious(PBM_SETSTEP, static_cast<WPARAM>(Step()), 0);
        CallPrevious(PBM_SETPOS, static_cast<WPARAM>(Pos()), 0);
    }
    return CKivWnd::Detach();
}

bool CKivProgressBar::Setup(const KivSkinSettings& settings)
{
    SetLook(static_cast<COLORREF>(settings.progressControlProgressColor), settings.progressControlProgressPic,
            settings.progressControlEnablePic);
    return true;
}

LRESULT CKivProgressBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    switch (message)
    {
    case WM_PAINT: return OnPaintMessage(reinterpret_cast<HDC>(wParam));
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: return OnSizeMessage(wParam, lParam);
    case WM_STYLECHANGED: return OnStyleChanged(wParam, lParam);
    case PBM_SETRANGE: return SetRange(LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32: return SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_SETPOS: return SetPos(static_cast<int>(wParam));
    case PBM_DELTAPOS: return DeltaPos(static_cast<int>(wParam));
    case PBM_SETSTEP: return SetStep(static_cast<int>(wParam));
    case PBM_STEPIT: return StepIt();
    case PBM_GETPOS: return Pos();
    case kGetStep: return Step();
    case PBM_GETRANGE: return OnGetRange(wParam, lParam);
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivProgressBar::OnPaintMessage(HDC dc)
{
    // A DC in wParam means "draw here", outside any paint cycle.
    if (dc != nullptr)
    {
        Paint(dc);
        return 0;
    }
    FitToClient();
    CKivPaintDC paint(Window());
    if (paint)
        Paint(paint);
    return 0;
}

LRESULT CKivProgressBar::OnSizeMessage(WPARAM type, LPARAM size)
{
    const LRESULT result = CallPrevious(WM_SIZE, type, size);
    // The control adds its edge after we attached: the client area shrinks.
    FitToClient();
    return result;
}

LRESULT CKivProgressBar::OnGetRange(WPARAM minimum, LPARAM range)
{
    if (range != 0)
    {
        PBRANGE* out = reinterpret_cast<PBRANGE*>(range);
        out->iLow = Min();
        out->iHigh = Max();
    }
    return minimum ? Min() : Max();
}

LRESULT CKivProgressBar::OnStyleChanged(WPARAM which, LPARAM styles)
{
    const LRESULT result = CallPrevious(WM_STYLECHANGED, which, styles);
    if (which == static_cast<WPARAM>(GWL_STYLE) && styles != 0)
    {
        SetHorizontal((reinterpret_cast<const STYLESTRUCT*>(styles)->styleNew & PBS_VERTICAL) ? 0 : 1);
        InvalidateRect(Window(), nullptr, FALSE);
    }
    return result;
}

void CKivProgressBar::FitToClient()
{
    const HWND window = Window();
    RECT client = {};
    if (window == nullptr || !GetClientRect(window, &client))
        return;
    const RECT bounds = Bounds();
    if (bounds.right != client.right || bounds.bottom != client.bottom || bounds.left != 0 || bounds.top != 0)
        CKivDirectProgress::SetBounds(0, 0, client.right, client.bottom);
}
