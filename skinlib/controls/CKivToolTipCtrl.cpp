#include "CKivToolTipCtrl.h"
#include "CKivCommonLook.h"
#include "CKivGdiObject.h"
#include "CKivWindowDC.h"

CKivToolTipCtrl::~CKivToolTipCtrl() = default;

void CKivToolTipCtrl::PaintBackground(HDC dc, const RECT& client)
{
    // The tip fills its whole client area (or balloon) itself.
    CKivCommonLook::Fill(dc, client, CKivCommonLook::Current().tip);
}

bool CKivToolTipCtrl::HostColoursAreDefault()
{
    m_hostBack = static_cast<COLORREF>(CallPrevious(TTM_GETTIPBKCOLOR, 0, 0));
    m_hostText = static_cast<COLORREF>(CallPrevious(TTM_GETTIPTEXTCOLOR, 0, 0));
    return m_hostBack == GetSysColor(COLOR_INFOBK) && m_hostText == GetSysColor(COLOR_INFOTEXT);
}

void CKivToolTipCtrl::PrepareControl()
{
    m_lent = HostColoursAreDefault();
    if (!m_lent)
        return;
    const CKivCommonLook::Surface& tip = CKivCommonLook::Current().tip;
    CallPrevious(TTM_SETTIPBKCOLOR, tip.colour, 0);
    CallPrevious(TTM_SETTIPTEXTCOLOR, tip.text, 0);
}

void CKivToolTipCtrl::RestoreControl()
{
    if (!m_lent)
        return;
    m_lent = false;
    CallPrevious(TTM_SETTIPBKCOLOR, m_hostBack, 0);
    CallPrevious(TTM_SETTIPTEXTCOLOR, m_hostText, 0);
}

void CKivToolTipCtrl::OnNcPaint()
{
    const HWND window = Window();
    CKivCommonCtrl::OnNcPaint();
    if (Window() != window || window == nullptr || !(GetWindowLongPtrW(window, GWL_STYLE) & WS_BORDER) ||
        !HostColoursAreDefault())
        return;
    // The one-pixel frame round the tip, in the list's border colour.
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    CKivWindowDC dc(window);
    if (dc)
        CKivCommonLook::FrameColour(dc, bounds, CKivCommonLook::Current().tipBorder);
}
