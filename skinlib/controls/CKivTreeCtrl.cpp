#include "CKivTreeCtrl.h"
#include <commctrl.h>
#include "CKivTextContrast.h"
#include "KivSkinSettings.h"

CKivTreeCtrl::~CKivTreeCtrl() = default;

int CKivTreeCtrl::Setup(const KivSkinSettings& settings)
{
    SetBorderColor(static_cast<COLORREF>(settings.treeControlBorderColor));
    m_backColor = static_cast<COLORREF>(settings.treeControlBackColor) & 0x00FFFFFF;
    TakeScrollBarColours(settings);
    if (Window() == nullptr)
        return 0;
    RedrawAll();
    return 1;
}

void CKivTreeCtrl::OnSkinChanged(const KivSkinSettings& settings)
{
    Setup(settings);
    // The control takes the new colours now, so that they are part of the
    // one repaint to come; at the next frame paint they would bring a
    // second one, in the old colours first.
    if (m_changedBackColor && Window() != nullptr)
        AfterNcPaint();
}

LRESULT CKivTreeCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case TVM_GETBKCOLOR:
    case TVM_SETBKCOLOR:
    case TVM_GETTEXTCOLOR:
    case TVM_SETTEXTCOLOR: return OnHostColour(message, wParam, lParam);
    default: return CKivViewCtrl::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivTreeCtrl::OnHostColour(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    const bool back = message == TVM_GETBKCOLOR || message == TVM_SETBKCOLOR;
    if (message == TVM_GETBKCOLOR || message == TVM_GETTEXTCOLOR)
    {
        // While the skin's colour stands, the host reads its own.
        const bool skins = back ? (m_changedBackColor && !m_hostBackColor) : (m_changedTextColor && !m_hostTextColor);
        if (skins)
            return back ? m_originalBackColor : m_originalTextColor;
        return CKivViewCtrl::WindowProc(message, wParam, lParam);
    }
    // The previous colour as the host would see it unskinned.
    const LRESULT previous = OnHostColour(back ? TVM_GETBKCOLOR : TVM_GETTEXTCOLOR, 0, 0);
    const LRESULT answer = CKivViewCtrl::WindowProc(message, wParam, lParam);
    if (Window() != window)
        return answer;
    (back ? m_hostBackColor : m_hostTextColor) = true;
    // A new background wants a text colour that reads on it.
    if (back && !m_hostTextColor)
        ApplyColours();
    return previous;
}

void CKivTreeCtrl::ApplyColours()
{
    // The skin attaches before the control has made its own data, so the
    // colours to give back are read at the first change.
    if (!m_changedBackColor && !m_changedTextColor)
    {
        m_originalBackColor = CallPrevious(TVM_GETBKCOLOR, 0, 0);
        m_originalTextColor = CallPrevious(TVM_GETTEXTCOLOR, 0, 0);
    }
    COLORREF back = m_backColor;
    if (m_hostBackColor)
    {
        const LRESULT host = CallPrevious(TVM_GETBKCOLOR, 0, 0);
        back = host == -1 ? GetSysColor(COLOR_WINDOW) : static_cast<COLORREF>(host);
    }
    else if (static_cast<COLORREF>(CallPrevious(TVM_GETBKCOLOR, 0, 0)) != m_backColor)
    {
        // Setting a colour repaints the items: only when it differs.
        m_changedBackColor = true;
        CallPrevious(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(m_backColor));
    }
    if (m_hostTextColor)
        return;
    const COLORREF text = CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(back));
    if (static_cast<COLORREF>(CallPrevious(TVM_GETTEXTCOLOR, 0, 0)) != text)
    {
        m_changedTextColor = true;
        CallPrevious(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    }
}

void CKivTreeCtrl::AfterNcPaint()
{
    ApplyColours();
}

bool CKivTreeCtrl::TakesItemStages()
{
    // Only a selection lies on another colour than the body: the system's
    // highlight with the focus, its face colour without.
    const HWND window = Window();
    return GetFocus() == window || (GetWindowLongPtrW(window, GWL_STYLE) & TVS_SHOWSELALWAYS) != 0;
}

std::pair<COLORREF, COLORREF> CKivTreeCtrl::ItemColours(const NMCUSTOMDRAW* draw) const
{
    const NMTVCUSTOMDRAW* item = reinterpret_cast<const NMTVCUSTOMDRAW*>(draw);
    return {item->clrText, item->clrTextBk};
}

void CKivTreeCtrl::ColourItem(NMCUSTOMDRAW* draw)
{
    NMTVCUSTOMDRAW* item = reinterpret_cast<NMTVCUSTOMDRAW*>(draw);
    const double back = CKivTextContrast::RelativeLuminance(item->clrTextBk);
    if (CKivTextContrast::ContrastRatio(CKivTextContrast::RelativeLuminance(item->clrText), back) < 4.5)
        item->clrText = CKivTextContrast::ReadableOn(back);
}

void CKivTreeCtrl::RestoreControl()
{
    if (m_changedBackColor && !m_hostBackColor)
        CallPrevious(TVM_SETBKCOLOR, 0, m_originalBackColor);
    if (m_changedTextColor && !m_hostTextColor)
        CallPrevious(TVM_SETTEXTCOLOR, 0, m_originalTextColor);
    m_changedBackColor = false;
    m_changedTextColor = false;
}
