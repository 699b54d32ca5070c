#include "CKivHostDrawnList.h"
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
    if (window == nullptr || !Takes(GetWindowLongPtrW(window, GWL_STYLE)))
        return FALSE;
    return CKivScrolledWnd::Attach(window);
}

bool CKivHostDrawnList::Setup(const KivSkinSettings& s)
{
    if (Window() == nullptr)
        return false;
    m_background = static_cast<COLORREF>(s.listBoxBackgroundColor) & 0x00FFFFFF;
    const CKivScrollBarPaint::Colours bar = CKivScrollBarPaint::FromKeys(
        s.listBoxSBarColor, s.listBoxSBarBorderColor, s.listBoxSBarSliderColor, s.listBoxSBarSliderBorderColor,
        s.listBoxSBarBackground);
    Bars().SetColours(bar, bar);
    if (IsWindowVisible(Window()))
        RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    return true;
}

void CKivHostDrawnList::OnSkinChanged(const KivSkinSettings& settings)
{
    Setup(settings);
}

LRESULT CKivHostDrawnList::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case KIV_WM_CTLCOLOREDIT: return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HBRUSH>(lParam));
    default: return CKivScrolledWnd::Dispatch(message, wParam, lParam);
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
    const double luminance = CKivTextContrast::RelativeLuminance(m_background);
    const bool darkGround = CKivTextContrast::ReadableOn(luminance) != RGB(0, 0, 0);
    if (darkGround && GetCurrentObject(dc, OBJ_PEN) == GetStockObject(BLACK_PEN))
        SelectObject(dc, GetStockObject(WHITE_PEN));
    return reinterpret_cast<LRESULT>(m_brush.Get(m_background));
}
