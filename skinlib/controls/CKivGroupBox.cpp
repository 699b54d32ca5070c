#include "CKivGroupBox.h"
#include "CKivClientDC.h"
#include "CKivControlClass.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivPaintEntry.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivPaintMute.h"

LRESULT CKivGroupBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    switch (message)
    {
    case WM_NOTIFY: return 0;
    case WM_UPDATEUISTATE: return 0;
    case WM_PAINT: return OnGroupPaint(reinterpret_cast<HDC>(wParam));
    case WM_ENABLE: return OnGroupEnable(wParam, lParam);
    case WM_SETTEXT: return OnGroupSetText(wParam, lParam);
    case WM_PRINTCLIENT: return OnPrintClient(reinterpret_cast<HDC>(wParam));
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivGroupBox::OnGroupPaint(HDC dc)
{
    CKivPaintEntry::Paint(Window(), dc, [this](HDC target) { Paint(target); });
    return 0;
}

void CKivGroupBox::OnPaint()
{
    OnGroupPaint(nullptr);
}

LRESULT CKivGroupBox::OnGroupEnable(WPARAM enabled, LPARAM lParam)
{
    // The control's own procedure would draw its system frame over ours; it
    // repaints the way the control would: a themed common control through a
    // WM_PAINT forced at once, the others straight onto the window.
    CallDefault(WM_ENABLE, enabled, lParam);
    const HWND window = Window();
    if (CKivControlClass::IsThemed(window))
    {
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    }
    else if (IsWindowVisible(window))
    {
        CKivClientDC dc(window);
        if (dc)
            Paint(dc);
    }
    return 0;
}

LRESULT CKivGroupBox::OnGroupSetText(WPARAM wParam, LPARAM lParam)
{
    // The control clears its old caption on screen with the parent's brush
    // before it takes the new one, then invalidates itself; only that
    // repaint, ours, may show.
    return CKivPaintMute::Route(
        Window(), [&] { return CKivWnd::WindowProc(WM_SETTEXT, wParam, lParam); }, nullptr);
}

LRESULT CKivGroupBox::OnPrintClient(HDC dc)
{
    Paint(dc);
    return 0;
}

void CKivGroupBox::Paint(HDC dc)
{
    const HWND window = Window();
    if (dc == nullptr || window == nullptr)
        return;
    RECT client = {};
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    // The control's own font, left selected in dc as the control leaves it.
    const HFONT own = reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0));
    if (own != nullptr)
        SelectObject(dc, own);
    CKivHDCMemory canvas(dc, width, height);
    if (!canvas.IsValid())
        return;
    const HDC memory = canvas.GetDC();
    // The colour message every paint of the control sends first.
    const HWND parent = GetParent(window);
    SendMessageW(parent ? parent : window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(memory),
                 reinterpret_cast<LPARAM>(window));
    if (Window() != window)
        return;
    // Start from what is already there: the inside belongs to the parent and
    // to the controls grouped in the box.
    BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);

    const KivSkinSettings& skin = CKivSkinStore::Settings();
    // Line, corners, insets and caption place at the window's scale.
    const CKivDpiScale scale = CKivDpiScale::OfWindow(window);
    const int lineWidth = skin.groupBoxSize > 0 ? scale.Scale(skin.groupBoxSize) : 0;
    const int insetLeft = scale.Scale(kInsetLeft), insetTop = scale.Scale(kInsetTop);
    const int insetRight = scale.Scale(kInsetRight), insetBottom = scale.Scale(kInsetBottom);
    const int captionX = scale.Scale(kCaptionX), round = scale.Scale(skin.groupBoxRound);
    wchar_t text[261] = {};
    const int length = GetWindowTextW(window, text, 261);
    CKivSelectObject font(memory, own != nullptr ? own : CKivGraphics::GetSkinFontForDpi(0, scale.Dpi()));
    SetBkMode(memory, TRANSPARENT);
    SIZE extent = {};
    if (length > 0)
        GetTextExtentPoint32W(memory, text, length, &extent);
    // Smoothed glyphs may reach a pixel or two past the advance width: the
    // caption's room includes them, or they would be drawn again over
    // themselves (and darken) at every repaint.
    const int captionWidth = extent.cx > 0 ? extent.cx + scale.Scale(kCaptionOverhang) : 0;

    {
        // The caption gap: the top line is never drawn where the text goes,
        // down to the line's lower edge (eight rows for a hairline).
        const int gapBottom = lineWidth > 0 ? insetTop + lineWidth : insetTop + 1;
        if (captionWidth > 0)
            ExcludeClipRect(memory, captionX, 0, captionX + captionWidth, gapBottom);
        CKivPen pen(CreatePen(PS_SOLID, lineWidth, static_cast<COLORREF>(skin.groupBoxColor)));
        CKivSelectObject selectPen(memory, pen);
        CKivSelectObject selectBrush(memory, GetStockObject(NULL_BRUSH));
        RoundRect(memory, client.left + insetLeft, client.top + insetTop, client.right - insetRight,
                  client.bottom - insetBottom, round, round);
        SelectClipRgn(memory, nullptr);
    }
    if (length > 0)
    {
        // The caption sits on the dialog background, as the system's group
        // box fills its label: smoothed text drawn again over itself would
        // grow darker with every repaint.
        CKivHDCMemory backdrop(dc, width, height);
        if (backdrop.IsValid())
        {
            CKivGraphics::FillParentBackground(backdrop.GetDC(), width, height, window);
            BitBlt(memory, captionX, 0, captionWidth, extent.cy, backdrop.GetDC(), captionX, 0, SRCCOPY);
        }
        SetTextColor(memory, static_cast<COLORREF>(skin.groupBoxTextColor));
        TextOutW(memory, captionX, 0, text, length);
    }
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
}
