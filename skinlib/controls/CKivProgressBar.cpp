#include "CKivProgressBar.h"
#include "CKivPaintEntry.h"
#include "KivSkinSettings.h"
#include <commctrl.h>

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

bool CKivProgressBar::Setup(const KivSkinSettings& settings)
{
    SetLook(static_cast<COLORREF>(settings.progressControlProgressColor), settings.progressControlProgressPic,
            settings.progressControlEnablePic);
    return true;
}

void CKivProgressBar::OnSkinChanged(const KivSkinSettings& settings)
{
    Setup(settings);
    if (Window() != nullptr)
        InvalidateRect(Window(), nullptr, FALSE);
}

LRESULT CKivProgressBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    switch (message)
    {
    case WM_PAINT: return OnPaintMessage(reinterpret_cast<HDC>(wParam));
    case WM_PRINTCLIENT: return OnPrintClient(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: return OnSizeMessage(wParam, lParam);
    case WM_STYLECHANGED: return OnStyleChanged(wParam, lParam);
    case PBM_SETRANGE:
    case PBM_SETRANGE32: return OnRangeChange(message, wParam, lParam);
    case PBM_SETPOS:
    case PBM_DELTAPOS:
    case PBM_STEPIT: return OnPositionChange(message, wParam, lParam);
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

void CKivProgressBar::FollowControl()
{
    PBRANGE range = {};
    CallPrevious(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    Show(range.iLow, range.iHigh, static_cast<int>(CallPrevious(PBM_GETPOS, 0, 0)));
}

LRESULT CKivProgressBar::OnPaintMessage(HDC dc)
{
    if (dc != nullptr)
        return OnPrintClient(dc);
    FollowControl();
    FitToClient();
    CKivPaintEntry::Paint(Window(), nullptr, [this](HDC target) { Paint(target); });
    return 0;
}

LRESULT CKivProgressBar::OnPrintClient(HDC dc)
{
    FollowControl();
    Paint(dc);
    return 0;
}

LRESULT CKivProgressBar::OnRangeChange(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    const LRESULT answer = CallPrevious(message, wParam, lParam);
    if (Window() != window)
        return answer;
    // Drawn at once: the control repaints only when the position moved.
    SetEmpty(true);
    FollowControl();
    Repaint();
    return answer;
}

LRESULT CKivProgressBar::OnPositionChange(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    const bool wasEmpty = ShowsEmpty();
    SetEmpty(false);
    const LRESULT answer = CallPrevious(message, wParam, lParam);
    if (Window() != window)
        return answer;
    // The control repaints itself for a new position; an empty bar that
    // keeps its position shows its fill now.
    FollowControl();
    if (wasEmpty)
        Repaint();
    return answer;
}

LRESULT CKivProgressBar::OnSizeMessage(WPARAM type, LPARAM size)
{
    const LRESULT result = CallPrevious(WM_SIZE, type, size);
    // The control adds its edge after we attached: the client area shrinks.
    FollowControl();
    FitToClient();
    return result;
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
