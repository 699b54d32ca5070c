#include "CKivTreeCtrl.h"
#include <commctrl.h>
#include "CKivTextContrast.h"
#include "KivSkinSettings.h"

CKivTreeCtrl::~CKivTreeCtrl() = default;

int CKivTreeCtrl::Setup(const KivSkinSettings& settings)
{
    SetBorderColor(static_cast<COLORREF>(settings.treeControlBorderColor));
    m_backColor = static_cast<COLORREF>(settings.treeControlBackColor);
    if (Window() == nullptr)
        return 0;
    RedrawAll();
    return 1;
}

LRESULT CKivTreeCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_changedBackColor)
        return CKivViewCtrl::WindowProc(message, wParam, lParam);
    switch (message)
    {
    case TVM_GETBKCOLOR:
    case TVM_SETBKCOLOR: return HostColor(m_originalBackColor, message, lParam);
    case TVM_GETTEXTCOLOR:
    case TVM_SETTEXTCOLOR: return HostColor(m_originalTextColor, message, lParam);
    default: return CKivViewCtrl::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivTreeCtrl::HostColor(LRESULT& kept, UINT message, LPARAM lParam)
{
    const LRESULT previous = kept;
    // The control keeps showing the skin's colours; detach gives it the host's.
    if (message == TVM_SETBKCOLOR || message == TVM_SETTEXTCOLOR)
        kept = static_cast<LRESULT>(static_cast<COLORREF>(lParam));
    return previous;
}

void CKivTreeCtrl::AfterNcPaint()
{
    // Setting the colour repaints the items: only when it differs.
    const LRESULT current = CallPrevious(TVM_GETBKCOLOR, 0, 0);
    if (static_cast<COLORREF>(current) == m_backColor)
        return;
    // The skin attaches before the control has made its own data, so the
    // colour to give back is read at the first change.
    if (!m_changedBackColor)
    {
        m_originalBackColor = current;
        m_originalTextColor = CallPrevious(TVM_GETTEXTCOLOR, 0, 0);
    }
    m_changedBackColor = true;
    CallPrevious(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(m_backColor));
    // Item texts stay readable on a dark skin colour.
    CallPrevious(TVM_SETTEXTCOLOR, 0,
                 static_cast<LPARAM>(CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(m_backColor))));
}

void CKivTreeCtrl::RestoreControl()
{
    if (m_changedBackColor)
    {
        CallPrevious(TVM_SETBKCOLOR, 0, m_originalBackColor);
        CallPrevious(TVM_SETTEXTCOLOR, 0, m_originalTextColor);
    }
    m_changedBackColor = false;
}
