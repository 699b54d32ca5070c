#include "CKivHostDrawnList.h"
#include "CKivGdiObject.h"
#include "CKivHostColours.h"
#include "CKivScrollBarPaint.h"
#include "CKivTextContrast.h"
#include "KivSkinSettings.h"

CKivHostDrawnList::~CKivHostDrawnList() = default;

bool CKivHostDrawnList::Takes(LONG_PTR style)
{
    return (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
}

BOOL CKivHostDrawnList::Attach(HWND window)
{
    if (window == nullptr || !Takes(GetWindowLongPtrW(window, GWL_STYLE)) || !CKivWnd::Attach(window))
        return FALSE;
    m_bars.Attach(window);
    return TRUE;
}

BOOL CKivHostDrawnList::Detach()
{
    const HWND window = Window();
    m_bars.Detach();
    const BOOL detached = CKivWnd::Detach();
    if (window != nullptr && IsWindow(window))
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    return detached;
}

bool CKivHostDrawnList::Setup(const KivSkinSettings& s)
{
    if (Window() == nullptr)
        return false;
    m_background = static_cast<COLORREF>(s.listBoxBackgroundColor) & 0x00FFFFFF;
    const CKivScrollBarPaint::Colours bar = CKivScrollBarPaint::FromKeys(
        s.listBoxSBarColor, s.listBoxSBarBorderColor, s.listBoxSBarSliderColor, s.listBoxSBarSliderBorderColor,
        s.listBoxSBarBackground);
    m_bars.SetColours(bar, bar);
    if (IsWindowVisible(Window()))
        RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    return true;
}

void CKivHostDrawnList::OnSkinChanged(const KivSkinSettings& settings)
{
    Setup(settings);
}

LRESULT CKivHostDrawnList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    return m_bars.Around(message, [&] { return Dispatch(message, wParam, lParam); });
}

LRESULT CKivHostDrawnList::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case KIV_WM_CTLCOLOREDIT: return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HBRUSH>(lParam));
    case WM_NCPAINT: return OnListNcPaint(wParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: return OnNcPress(message, wParam, lParam);
    case WM_PRINT: return OnPrint(wParam, lParam);
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivHostDrawnList::OnCtlColor(HDC dc, HBRUSH hostBrush)
{
    if (dc == nullptr || hostBrush != nullptr)
        return 0;
    const CKivHostColours host = CKivHostColours::Read(dc, 0, WM_CTLCOLORLISTBOX);
    SetTextColor(dc, host.TextOn(m_background));
    SetBkColor(dc, m_background);
    // Lines the host draws with the DC's default pen (tree lines, for one)
    // are black: on a dark background they take the white stock pen. A pen
    // the host selected itself stays.
    const bool darkGround = CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(m_background)) != RGB(0, 0, 0);
    if (darkGround && GetCurrentObject(dc, OBJ_PEN) == GetStockObject(BLACK_PEN))
        SelectObject(dc, GetStockObject(WHITE_PEN));
    return reinterpret_cast<LRESULT>(m_brush.Get(m_background));
}

LRESULT CKivHostDrawnList::OnListNcPaint(WPARAM region)
{
    const HWND window = Window();
    CKivRegion clip(m_bars.ClipRegion(region));
    const LRESULT answer = CallPrevious(WM_NCPAINT, clip ? reinterpret_cast<WPARAM>(clip.Get()) : region, 0);
    if (Window() == window)
        m_bars.Paint();
    return answer;
}

LRESULT CKivHostDrawnList::OnNcPress(UINT message, WPARAM hitTest, LPARAM lParam)
{
    return m_bars.Press(hitTest, [&] { return CKivWnd::WindowProc(message, hitTest, lParam); });
}

LRESULT CKivHostDrawnList::OnPrint(WPARAM dc, LPARAM flags)
{
    const HWND window = Window();
    const LRESULT answer = CKivWnd::WindowProc(WM_PRINT, dc, flags);
    if (Window() == window)
        m_bars.AfterPrint(dc, flags);
    return answer;
}
