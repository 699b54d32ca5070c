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
