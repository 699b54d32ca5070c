#include "CKivListBox.h"
#include "CKivDpiScale.h"
#include <algorithm>
#include <commctrl.h>
#include <vector>
#include "CKivHDCMemory.h"
#include "CKivHostColours.h"
#include "CKivPaintEntry.h"
#include "CKivPaintMute.h"
#include "CKivTextContrast.h"
#include "CKivSelectObject.h"
#include "CKivWindowDC.h"
#include "KivSkinSettings.h"

namespace {

const LONG_PTR kSystemDrawn = LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE | LBS_NODATA | LBS_MULTICOLUMN;
const int kTextIndent = 2;

}  // namespace

bool CKivListBox::Skinnable(LONG_PTR style)
{
    return (style & kSystemDrawn) == 0;
}

BOOL CKivListBox::Attach(HWND window)
{
    if (window == nullptr || !Skinnable(GetWindowLongPtrW(window, GWL_STYLE)))
        return FALSE;
    if (!CKivWnd::Attach(window))
        return FALSE;
    m_bar.Init(0, 0, 0, 0, window);
    m_horizontal.Attach(window);
    m_horizontal.Handle(false, true);
    m_bar.SetUseCapture(!IsDropDown());
    m_bar.SetNotify([this](int code, int position) { OnBarRequest(code, position); });
    PlaceBar();
    SyncBar();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    return TRUE;
}

bool CKivListBox::Setup(const KivSkinSettings& settings)
{
    if (Window() == nullptr)
        return false;
    Look look;
    look.border = static_cast<COLORREF>(settings.listBoxBorderColor);
    look.background = static_cast<COLORREF>(settings.listBoxBackgroundColor);
    look.select = static_cast<COLORREF>(settings.listBoxSelectItemColor);
    look.bar.bar = static_cast<COLORREF>(settings.listBoxSBarColor);
    look.bar.barBorder = static_cast<COLORREF>(settings.listBoxSBarBorderColor);
    look.bar.slider = static_cast<COLORREF>(settings.listBoxSBarSliderColor);
    look.bar.sliderBorder = static_cast<COLORREF>(settings.listBoxSBarSliderBorderColor);
    look.bar.background = static_cast<COLORREF>(settings.listBoxSBarBackground);
    look.barWidth = settings.listBoxVScrollSize;
    SetLook(look);
    return true;
}

void CKivListBox::OnSkinChanged(const KivSkinSettings& settings)
{
    Setup(settings);
}

void CKivListBox::SetLook(const Look& look)
{
    m_look = look;
    m_bar.SetColours(look.bar);
    m_horizontal.SetColours(look.bar, look.bar);
    if (Window() != nullptr)
    {
        PlaceBar();
        RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    }
}

HBRUSH CKivListBox::BackgroundBrush()
{
    return m_brush.Get(m_look.background);
}

LRESULT CKivListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    if (message == CKivWindowScrollBars::RepaintMessage())
    {
        m_horizontal.Paint();
        return 0;
    }
    switch (message)
    {
    case KIV_WM_CTLCOLOR: return OnCtlColor(reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
    case WM_PRINTCLIENT: return OnListPaint(reinterpret_cast<HDC>(wParam));
    case WM_PRINT: return OnPrint(wParam, lParam);
    case WM_ERASEBKGND: return 1;
    case WM_NCPAINT: return OnListNcPaint(wParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: return OnNcPress(message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnClientPress(message, wParam, lParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_TIMER:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE: return OnBarMouse(message, wParam, lParam);
    case WM_WINDOWPOSCHANGING: return OnPosChanging(wParam, lParam);
    case WM_NCCALCSIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_STYLECHANGED: return OnLayoutChange(message, wParam, lParam);
    default: return Forward(message, wParam, lParam);
    }
}

bool CKivListBox::ChangesLook(UINT message)
{
    // Messages after which the control may have drawn a row itself; the skin
    // draws it again. Those it invalidates for are left to its WM_PAINT.
    switch (message)
    {
    case LB_SETSEL:
    case LB_SETCURSEL:
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX:
    case LB_SELECTSTRING:
    case LB_SETCARETINDEX:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_ENABLE:
    case WM_SETFONT: return true;
    default: return false;
    }
}

LRESULT CKivListBox::Forward(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    bool painted = false;
    const LRESULT answer = CKivPaintMute::Route(
        window, [&] { return CKivWnd::WindowProc(message, wParam, lParam); }, &painted, CKivPaintMute::Heard::BySkin);
    if (Window() != window)
        return answer;
    if (painted || ChangesLook(message) || (message == WM_MOUSEMOVE && GetCapture() == window))
        InvalidateRect(window, nullptr, FALSE);
    SyncBar();
    // The control may have drawn its own bars over the skin's meanwhile.
    if (!m_bar.InfoChanged())
        RepaintBar();
    m_horizontal.AfterMessage(message);
    return answer;
}

LRESULT CKivListBox::OnCtlColor(HDC dc)
{
    // Asked while the control handles a message: it is about to draw rows
    // straight onto the screen. Nothing of that may show; the skin repaints.
    CKivPaintMute::Silence(Window(), dc);
    return reinterpret_cast<LRESULT>(BackgroundBrush());
}

LRESULT CKivListBox::OnPosChanging(WPARAM wParam, LPARAM lParam)
{
    // Only a drop-down is held to twenty rows, or to the visible items its
    // combo box was asked for when that is more; a stand-alone list keeps the
    // height its host gives it.
    WINDOWPOS* position = reinterpret_cast<WINDOWPOS*>(lParam);
    if (IsDropDown() && position != nullptr && !(position->flags & SWP_NOSIZE))
    {
        RECT window{};
        RECT client{};
        GetWindowRect(Window(), &window);
        GetClientRect(Window(), &client);
        const LRESULT height = CallPrevious(LB_GETITEMHEIGHT, 0, 0);
        const int frame = (window.bottom - window.top) - client.bottom;
        const LRESULT asked = SendMessageW(m_combo, CB_GETMINVISIBLE, 0, 0);
        const int rows = (asked > kMaxDropDownRows && asked < 0x10000) ? static_cast<int>(asked) : kMaxDropDownRows;
        if (height > 0 && frame >= 0)
        {
            const int most = rows * static_cast<int>(height) + frame;
            if (position->cy > most)
                position->cy = most;
        }
    }
    return CKivWnd::WindowProc(WM_WINDOWPOSCHANGING, wParam, lParam);
}

LRESULT CKivListBox::OnLayoutChange(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    const LRESULT answer = CKivWnd::WindowProc(message, wParam, lParam);
    if (Window() == window && message != WM_NCCALCSIZE)
    {
        PlaceBar();
        SyncBar();
    }
    return answer;
}

bool CKivListBox::SystemBarRect(RECT* client) const
{
    const HWND window = Window();
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    POINT origin{0, 0};
    if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_VSCROLL) || !GetScrollBarInfo(window, OBJID_VSCROLL, &info) ||
        (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) || !ClientToScreen(window, &origin))
        return false;
    *client = info.rcScrollBar;
    OffsetRect(client, -origin.x, -origin.y);
    return client->right > client->left && client->bottom > client->top;
}

void CKivListBox::PlaceBar()
{
    RECT system{};
    m_bar.SetSelfPainting(false);
    if (SystemBarRect(&system))
    {
        // The skin's width, from the right edge of the system's strip; a
        // wider bar reaches into the client area, never past its left edge.
        const int skinWidth = CKivDpiScale::OfWindow(Window()).Scale(m_look.barWidth);
        const int width = skinWidth > 0 ? std::min<int>(skinWidth, system.right) : system.right - system.left;
        m_bar.SetBounds(system.right - width, system.top, width, system.bottom - system.top);
    }
    else
        m_bar.SetBounds(0, 0, 0, 0);
    m_bar.SetSelfPainting(true);
}

void CKivListBox::RepaintBar()
{
    const HWND window = Window();
    RECT outer{};
    POINT origin{0, 0};
    if (!IsWindowVisible(window) || !GetWindowRect(window, &outer) || !ClientToScreen(window, &origin))
        return;
    CKivWindowDC dc(window);
    if (dc)
        PaintBarStrip(dc, POINT{origin.x - outer.left, origin.y - outer.top});
}

void CKivListBox::PaintBarStrip(HDC windowDc, POINT clientOrigin)
{
    RECT system{};
    if (windowDc == nullptr || !SystemBarRect(&system))
        return;
    const RECT bar = m_bar.Bounds();
    if (bar.left > system.left)
    {
        // A narrower bar leaves part of the strip: it takes the list's background.
        RECT rest{system.left, system.top, bar.left, system.bottom};
        OffsetRect(&rest, clientOrigin.x, clientOrigin.y);
        FillRect(windowDc, &rest, BackgroundBrush());
    }
    m_bar.Draw(windowDc, bar.left + clientOrigin.x, bar.top + clientOrigin.y);
}

HWND CKivListBox::HostParent() const
{
    // A drop-down's colour messages reach the host through its combo box.
    return GetParent(m_combo != nullptr ? m_combo : Window());
}

void CKivListBox::SyncBar()
{
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(Window(), SB_VERT, &info))
        return;
    // The control has just drawn its own bar for the change: ours goes over it.
    m_bar.SetInfo(info.nMin, info.nMax, info.nPage, info.nPos);
}

LRESULT CKivListBox::OnNcPress(UINT message, WPARAM hitTest, LPARAM lParam)
{
    if (hitTest == HTHSCROLL)
        return m_horizontal.Track([&] { return Forward(message, hitTest, lParam); });
    if (hitTest != HTVSCROLL)
        return Forward(message, hitTest, lParam);
    // The control's own tracking loop would draw the system bar: the drawn
    // bar takes the press.
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(Window(), &point);
    m_bar.OnMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    return 0;
}

LRESULT CKivListBox::OnBarMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool dragging = m_bar.Dragging();
    const LRESULT taken = m_bar.OnMessage(message, wParam, lParam);
    if (dragging && (message == WM_MOUSEMOVE || message == WM_LBUTTONUP))
        return 0;
    if (taken && message == WM_TIMER)
        return 0;
    return Forward(message, wParam, lParam);
}

LRESULT CKivListBox::OnClientPress(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Where a wide drawn bar reaches into the client area, a press is the bar's.
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (!m_bar.ToLocal(&point, 0) || !m_bar.HitTest(point))
        return Forward(message, wParam, lParam);
    m_bar.OnMessage(WM_LBUTTONDOWN, wParam, lParam);
    return 0;
}

LRESULT CKivListBox::OnPrint(WPARAM dc, LPARAM flags)
{
    const HWND window = Window();
    const LRESULT answer = CKivWnd::WindowProc(WM_PRINT, dc, flags);
    if (Window() != window || dc == 0 || !(flags & PRF_NONCLIENT))
        return answer;
    RECT outer{};
    POINT origin{0, 0};
    GetWindowRect(window, &outer);
    ClientToScreen(window, &origin);
    PaintBarStrip(reinterpret_cast<HDC>(dc), POINT{origin.x - outer.left, origin.y - outer.top});
    m_horizontal.PaintTo(reinterpret_cast<HDC>(dc));
    return answer;
}

void CKivListBox::OnBarRequest(int code, int position)
{
    const HWND window = Window();
    switch (code)
    {
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        // The full position, not the 16 bits WM_VSCROLL has room for.
        CallPrevious(LB_SETTOPINDEX, static_cast<WPARAM>(position), 0);
        break;
    case SB_ENDSCROLL: break;
    default: CallPrevious(WM_VSCROLL, MAKEWPARAM(code, 0), 0); break;
    }
    if (Window() == window)
        SyncBar();
}

LRESULT CKivListBox::OnListPaint(HDC dc)
{
    CKivPaintEntry::PaintArea(Window(), dc, [this](HDC target, const RECT& area) { Paint(target, area); });
    return 0;
}

void CKivListBox::OnPaint()
{
    OnListPaint(nullptr);
}

LRESULT CKivListBox::OnEraseBkgnd(HDC)
{
    return 1;
}

std::wstring CKivListBox::ItemText(int index)
{
    const LRESULT length = CallPrevious(LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0)
        return std::wstring();
    // LB_GETTEXTLEN may overstate (ANSI double-byte texts), never understate.
    const size_t room = static_cast<size_t>(length);
    if (Charset().IsUnicode())
    {
        std::vector<wchar_t> text(room + 1, L'\0');
        const LRESULT copied = CallPrevious(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        return copied > 0 ? std::wstring(text.data()) : std::wstring();
    }
    std::vector<char> text(room + 1, '\0');
    const LRESULT copied = CallPrevious(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    if (copied <= 0)
        return std::wstring();
    std::vector<wchar_t> wide(room + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), -1, wide.data(), static_cast<int>(wide.size()));
    return std::wstring(wide.data());
}

CKivListBox::RowColours CKivListBox::ColoursFor(HDC dc)
{
    RowColours colours;
    const CKivHostColours host = CKivHostColours::Ask(HostParent(), WM_CTLCOLORLISTBOX, dc, Window());
    colours.hostBrush = host.brush;
    colours.background = host.brush != nullptr ? host.brushColour : (m_look.background & 0x00FFFFFF);
    colours.text = host.TextOn(colours.background);
    colours.grayText = CKivTextContrast::GrayOn(CKivTextContrast::RelativeLuminance(colours.background));
    // The system shows a selection in its own colours whatever the host
    // chose: the skin shows it in the skin's, with the text that reads there.
    colours.select = m_look.select & 0x00FFFFFF;
    colours.selectText = CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(colours.select));
    return colours;
}

void CKivListBox::Paint(HDC dc, const RECT& area)
{
    const HWND window = Window();
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (dc == nullptr || width <= 0 || height <= 0)
        return;
    CKivHDCMemory canvas(dc, width, height);
    if (!canvas.IsValid())
        return;
    const HDC memory = canvas.GetDC();
    const RowColours colours = ColoursFor(memory);
    // The host may have destroyed the list while it chose its colours.
    if (Window() != window)
        return;
    FillRect(memory, &client, colours.hostBrush != nullptr ? colours.hostBrush : BackgroundBrush());
    const HFONT font = reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0));
    CKivSelectObject selectFont(memory, font);
    SetBkMode(memory, TRANSPARENT);
    const bool enabled = IsWindowEnabled(window) != FALSE;
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | ((style & LBS_USETABSTOPS) ? DT_EXPANDTABS : 0);
    const LRESULT count = CallPrevious(LB_GETCOUNT, 0, 0);
    const LRESULT top = CallPrevious(LB_GETTOPINDEX, 0, 0);
    const LRESULT caret = CallPrevious(LB_GETCARETINDEX, 0, 0);
    const bool focused = GetFocus() == window;
    // A drawn bar wider than the system's reaches into the rows.
    const RECT bar = m_bar.Bounds();
    const int rowRight = (bar.right > bar.left && bar.left < width) ? bar.left : width;
    CKivBrush select(CreateSolidBrush(colours.select));
    for (LRESULT index = top < 0 ? 0 : top; index < count; ++index)
    {
        RECT row{};
        if (CallPrevious(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row)) == LB_ERR ||
            row.top >= height)
            break;
        if (row.bottom <= area.top || row.top >= area.bottom)
            continue;
        row.right = std::min<LONG>(row.right, rowRight);
        const bool selected = CallPrevious(LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
        if (selected)
            FillRect(memory, &row, select);
        const std::wstring text = ItemText(static_cast<int>(index));
        RECT textArea = row;
        textArea.left += kTextIndent;
        SetTextColor(memory, !enabled ? colours.grayText : selected ? colours.selectText : colours.text);
        DrawTextW(memory, text.c_str(), static_cast<int>(text.size()), &textArea, format);
        if (focused && index == caret)
            DrawFocusRect(memory, &row);
    }
    // The part of a wide bar inside the client area is drawn with the rows.
    if (rowRight < width)
        m_bar.Draw(memory, bar.left, bar.top);
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, area.left, area.top,
           SRCCOPY);
}

bool CKivListBox::FrameIsOurs() const
{
    // Our one-pixel line covers a plain border and a sunken edge; any other
    // frame stays the system's to draw, and so does the corner between two bars.
    const LONG_PTR style = GetWindowLongPtrW(Window(), GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(Window(), GWL_EXSTYLE);
    return !(style & (WS_HSCROLL | WS_DLGFRAME | WS_THICKFRAME)) &&
           !(exStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
}

LRESULT CKivListBox::OnListNcPaint(WPARAM region)
{
    const HWND window = Window();
    LRESULT answer = 0;
    if (!FrameIsOurs())
    {
        // The control paints its frame but none of the bars the skin draws.
        RECT outer{};
        GetWindowRect(window, &outer);
        CKivRegion clip(m_horizontal.ClipRegion(region));
        if (!clip)
        {
            clip.Reset(CreateRectRgnIndirect(&outer));
            if (clip && region > 1)
                CombineRgn(clip, clip, reinterpret_cast<HRGN>(region), RGN_AND);
        }
        RECT strip{};
        POINT origin{0, 0};
        if (clip && SystemBarRect(&strip) && ClientToScreen(window, &origin))
        {
            OffsetRect(&strip, origin.x, origin.y);
            CKivRegion hole(CreateRectRgnIndirect(&strip));
            CombineRgn(clip, clip, hole, RGN_DIFF);
        }
        answer = CallPrevious(WM_NCPAINT, clip ? reinterpret_cast<WPARAM>(clip.Get()) : region, 0);
        if (Window() != window)
            return answer;
    }
    DrawBorder();
    RepaintBar();
    m_horizontal.Paint();
    return answer;
}

void CKivListBox::DrawBorder()
{
    const HWND window = Window();
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (!(style & WS_BORDER) && !(exStyle & WS_EX_CLIENTEDGE))
        return;
    RECT outer{};
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    CKivWindowDC dc(window);
    if (!dc)
        return;
    CKivSelectObject brush(dc, GetStockObject(NULL_BRUSH));
    CKivPen border(CreatePen(PS_SOLID, 1, m_look.border));
    {
        CKivSelectObject pen(dc, border);
        Rectangle(dc, 0, 0, width, height);
    }
    if (exStyle & WS_EX_CLIENTEDGE)
    {
        // The inner ring of the sunken edge takes the list's background.
        CKivPen inner(CreatePen(PS_SOLID, 1, m_look.background));
        CKivSelectObject pen(dc, inner);
        Rectangle(dc, 1, 1, width - 1, height - 1);
    }
}
