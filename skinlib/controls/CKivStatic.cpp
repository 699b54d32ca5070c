#include "CKivStatic.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivPaintDC.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivSystemPaintMute.h"
#include "CKivTextContrast.h"
#include <vector>

BOOL CKivStatic::Attach(HWND window)
{
    if (window == nullptr || !TakesType(static_cast<LONG>(GetWindowLongPtrW(window, GWL_STYLE)) & SS_TYPEMASK))
        return FALSE;
    return CKivWnd::Attach(window);
}

bool CKivStatic::TakesType(LONG type) const
{
    switch (type)
    {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP: return true;
    default: return false;
    }
}

bool CKivStatic::Transparent() const
{
    return CKivSkinStore::Settings().staticTextTransparent != 0;
}

LRESULT CKivStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    // With the skin's switch off the control paints itself, as if unskinned.
    if (!Transparent())
        return CallPrevious(message, wParam, lParam);
    switch (message)
    {
    case WM_PAINT: return OnPaintMessage(reinterpret_cast<HDC>(wParam));
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT:
    case WM_ENABLE:
    case STM_SETIMAGE:
    case STM_SETICON: return RouteQuietly(message, wParam, lParam);
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivStatic::OnPaintMessage(HDC dc)
{
    // A DC in wParam means "draw here", outside any paint cycle.
    if (dc != nullptr)
        Paint(dc);
    else
        OnPaint();
    return 0;
}

void CKivStatic::OnPaint()
{
    const HWND window = Window();
    if (window == nullptr)
        return;
    CKivPaintDC dc(window);
    if (dc)
        Paint(dc);
}

LRESULT CKivStatic::RouteQuietly(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    LRESULT result = 0;
    {
        CKivSystemPaintMute mute(window);
        result = CKivWnd::WindowProc(message, wParam, lParam);
    }
    // The control may have been destroyed while it answered.
    if (Window() == window)
        RedrawNow();
    return result;
}

void CKivStatic::Paint(HDC dc)
{
    const HWND window = Window();
    RECT client = {};
    if (dc == nullptr || window == nullptr || !GetClientRect(window, &client) || client.right <= 0 ||
        client.bottom <= 0)
        return;
    CKivHDCMemory canvas(dc, client.right, client.bottom);
    if (!canvas.IsValid())
        return;
    CKivGraphics::FillParentBackground(canvas.GetDC(), client.right, client.bottom, window);
    Compose(canvas.GetDC(), client);
    // The parent may have destroyed the control while it chose a colour.
    if (Window() == window)
        BitBlt(dc, 0, 0, client.right, client.bottom, canvas.GetDC(), 0, 0, SRCCOPY);
}

UINT CKivStatic::TextFormat(LONG style)
{
    UINT format = 0;
    switch (style & SS_TYPEMASK)
    {
    case SS_CENTER: format = DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK; break;
    case SS_RIGHT: format = DT_RIGHT | DT_EXPANDTABS | DT_WORDBREAK; break;
    case SS_SIMPLE: format = DT_LEFT | DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: format = DT_LEFT | DT_EXPANDTABS; break;
    default: format = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK; break;
    }
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if ((style & SS_TYPEMASK) != SS_SIMPLE)
    {
        if (style & SS_CENTERIMAGE)
            format |= DT_SINGLELINE | DT_VCENTER;
        if (style & SS_EDITCONTROL)
            format |= DT_EDITCONTROL;
        switch (style & SS_ELLIPSISMASK)
        {
        case SS_ENDELLIPSIS: format |= DT_SINGLELINE | DT_END_ELLIPSIS; break;
        case SS_PATHELLIPSIS: format |= DT_SINGLELINE | DT_PATH_ELLIPSIS; break;
        case SS_WORDELLIPSIS: format |= DT_SINGLELINE | DT_WORD_ELLIPSIS; break;
        default: break;
        }
    }
    return format;
}

COLORREF CKivStatic::TextColour(HDC dc) const
{
    const HWND window = Window();
    const CKivTextContrast::Colours& skin = CKivTextContrast::Current();
    // The skin's grey may equal its normal colour on light skins (the
    // button labels keep black there); disabled text is grey all the same.
    if (!IsWindowEnabled(window))
        return skin.dialogGrayText != skin.dialogText ? skin.dialogGrayText : GetSysColor(COLOR_GRAYTEXT);
    const HWND parent = GetParent(window);
    if (parent == nullptr)
        return skin.dialogText;
    // The system's answer sets COLOR_WINDOWTEXT; a parent that leaves the
    // DC at that colour wants the default look, which on a skinned dialog is
    // the skin's readable text colour.
    const COLORREF system = GetSysColor(COLOR_WINDOWTEXT);
    SetTextColor(dc, system);
    SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
    const COLORREF chosen = GetTextColor(dc);
    return chosen == system || chosen == CLR_INVALID ? skin.dialogText : chosen;
}

void CKivStatic::Compose(HDC dc, const RECT& client)
{
    const HWND window = Window();
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return;
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(window, text.data(), length + 1);
    if (read <= 0)
        return;
    const COLORREF colour = TextColour(dc);
    if (Window() != window)
        return;
    CKivSelectObject font(dc, CKivGraphics::GetSkinFont(0));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    RECT area = client;
    DrawTextW(dc, text.data(), read, &area, TextFormat(static_cast<LONG>(GetWindowLongPtrW(window, GWL_STYLE))));
}
