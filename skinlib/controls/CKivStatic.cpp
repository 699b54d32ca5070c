#include "CKivStatic.h"
#include "CKivClientDC.h"
#include "CKivControlClip.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivPaintEntry.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivPaintMute.h"
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
    case WM_PRINTCLIENT: return OnPaintMessage(reinterpret_cast<HDC>(wParam));
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
    if (!SkinPaints())
        return CallPrevious(dc != nullptr ? WM_PRINTCLIENT : WM_PAINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    CKivPaintEntry::Paint(Window(), dc, [this](HDC target) { Paint(target, true); });
    return 0;
}

void CKivStatic::OnPaint()
{
    CKivPaintEntry::Paint(Window(), nullptr, [this](HDC target) { Paint(target, true); });
}

LRESULT CKivStatic::RouteQuietly(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    bool painted = false;
    const LRESULT result = CKivPaintMute::Route(
        window, [&] { return CKivWnd::WindowProc(message, wParam, lParam); }, &painted);
    // The control may have been destroyed while it answered. Where it drew
    // the change at once, the skin does, without asking the parent again;
    // where it only invalidated, its WM_PAINT comes.
    if (Window() != window || !painted || !IsWindowVisible(window))
        return result;
    if (!SkinPaints())
    {
        // The control's own picture is the one to show.
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return result;
    }
    CKivClientDC dc(window);
    if (dc)
        Paint(dc, false, message == WM_SETTEXT);
    return result;
}

void CKivStatic::AskParent(HDC dc)
{
    const HWND window = Window();
    const HWND parent = GetParent(window);
    // The default answer sets the system's window text colour; a parent that
    // leaves it wants the default look, which on a skinned dialog is the
    // skin's readable text colour.
    const COLORREF preset = GetSysColor(COLOR_WINDOWTEXT);
    SetTextColor(dc, preset);
    const HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageW(
        parent ? parent : window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
    const COLORREF chosen = GetTextColor(dc);
    m_colours.text = chosen != preset && chosen != CLR_INVALID ? chosen : CLR_INVALID;
    m_colours.brush = brush != GetSysColorBrush(COLOR_BTNFACE) ? brush : nullptr;
}

bool CKivStatic::FillsBackground(bool afterChange) const
{
    const LONG style = static_cast<LONG>(GetWindowLongPtrW(Window(), GWL_STYLE));
    // The system's SS_SIMPLE static draws its text and nothing around it;
    // a new text still must not land on the old one.
    if ((style & SS_TYPEMASK) == SS_SIMPLE)
        return afterChange;
    return GetWindowTextLengthW(Window()) > 0 || afterChange;
}

bool CKivStatic::UsesParentBrush() const
{
    // The system's text statics fill with it, all but SS_SIMPLE.
    return (GetWindowLongPtrW(Window(), GWL_STYLE) & SS_TYPEMASK) != SS_SIMPLE;
}

void CKivStatic::Paint(HDC dc, bool askParent, bool afterChange)
{
    const HWND window = Window();
    RECT client = {};
    if (dc == nullptr || window == nullptr || !GetClientRect(window, &client))
        return;
    CKivControlClip clip(dc, client);
    if (askParent)
    {
        AskParent(dc);
        // The parent may have destroyed the control while it chose a colour.
        if (Window() != window)
            return;
    }
    if (client.right <= 0 || client.bottom <= 0)
        return;
    const HFONT own = reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0));
    CKivHDCMemory canvas(dc, client.right, client.bottom);
    if (!canvas.IsValid())
        return;
    const HDC memory = canvas.GetDC();
    // Start from what the window shows: where the skin fills nothing, the
    // parent's drawing stays.
    BitBlt(memory, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    if (FillsBackground(afterChange))
        CKivGraphics::FillParentBackground(memory, client.right, client.bottom, window);
    if (m_colours.brush != nullptr && UsesParentBrush())
        FillRect(memory, &client, m_colours.brush);
    {
        CKivSelectObject font(memory, own != nullptr ? own : CKivGraphics::GetSkinFontForDpi(0, CKivDpiScale::DpiOfWindow(Window())));
        Compose(memory, client);
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
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

std::wstring CKivStatic::Text() const
{
    const HWND window = Window();
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return std::wstring();
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(window, text.data(), length + 1);
    return read > 0 ? std::wstring(text.data(), static_cast<size_t>(read)) : std::wstring();
}

void CKivStatic::Compose(HDC dc, const RECT& client)
{
    const HWND window = Window();
    const std::wstring text = Text();
    if (text.empty())
        return;
    const CKivTextContrast::Colours& skin = CKivTextContrast::Current();
    COLORREF colour = m_colours.text != CLR_INVALID ? m_colours.text : skin.dialogText;
    if (!IsWindowEnabled(window))
        colour = skin.dialogGrayText;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    UINT format = TextFormat(static_cast<LONG>(GetWindowLongPtrW(window, GWL_STYLE)));
    if (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_RIGHT)
        format = DT_RIGHT | (format & ~(DT_LEFT | DT_CENTER));
    RECT area = client;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
}
