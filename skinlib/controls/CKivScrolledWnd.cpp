#include "CKivScrolledWnd.h"
#include "CKivGdiObject.h"

CKivScrolledWnd::~CKivScrolledWnd() = default;

BOOL CKivScrolledWnd::Attach(HWND window)
{
    if (!CKivWnd::Attach(window))
        return FALSE;
    m_bars.Attach(window);
    return TRUE;
}

BOOL CKivScrolledWnd::Detach()
{
    const HWND window = Window();
    m_bars.Detach();
    const BOOL detached = CKivWnd::Detach();
    if (window != nullptr && IsWindow(window))
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    return detached;
}

LRESULT CKivScrolledWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    return m_bars.Around(message, wParam, lParam, [&] { return Dispatch(message, wParam, lParam); });
}

LRESULT CKivScrolledWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_NCPAINT: return OnScrolledNcPaint(wParam);
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivScrolledWnd::OnScrolledNcPaint(WPARAM region)
{
    const HWND window = Window();
    CKivRegion clip(m_bars.ClipRegion(region));
    CallPrevious(WM_NCPAINT, clip ? reinterpret_cast<WPARAM>(clip.Get()) : region, 0);
    if (Window() != window || window == nullptr)
        return 0;
    DecorateFrame();
    m_bars.Paint();
    AfterNcPaint();
    return 0;
}
