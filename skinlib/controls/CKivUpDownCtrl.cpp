#include "CKivUpDownCtrl.h"
#include <algorithm>
#include <commctrl.h>
#include <uxtheme.h>
#include <windowsx.h>
#include "CKivCommonLook.h"
#include "CKivGdiObject.h"
#include "CKivHDCMemory.h"
#include "CKivPaintMute.h"
#include "CKivPaintEntry.h"
#include "CKivSelectObject.h"

namespace {

// The control's own margins beside a buddy.
const int kBuddyBorder = 2;
const int kBuddySpacer = 2;
const int kBuddyBorderThemed = 1;
const int kBuddySpacerThemed = 0;

// A filled triangle pointing up, down, left or right, centred in the box.
void DrawArrow(HDC dc, const RECT& box, bool horizontal, bool forward, COLORREF colour)
{
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const int across = horizontal ? height : width;
    const int along = horizontal ? width : height;
    int base = (std::min(across, along * 2) - 4) | 1;  // odd, so the tip is one pixel
    if (base > 9)
        base = 9;
    if (base < 3)
        return;
    const int depth = (base + 1) / 2;
    const int cx = box.left + width / 2;
    const int cy = box.top + height / 2;
    CKivBrush brush(CreateSolidBrush(colour));
    if (!brush)
        return;
    for (int i = 0; i < depth; ++i)
    {
        const int half = i;  // the row i steps from the tip is 2i+1 wide
        RECT row = {};
        if (!horizontal)
        {
            const int y = forward ? cy - depth / 2 + i : cy + depth / 2 - i;
            row = RECT{cx - half, y, cx + half + 1, y + 1};
        }
        else
        {
            const int x = forward ? cx + depth / 2 - i : cx - depth / 2 + i;
            row = RECT{x, cy - half, x + 1, cy + half + 1};
        }
        FillRect(dc, &row, brush);
    }
}

}  // namespace

CKivUpDownCtrl::~CKivUpDownCtrl() = default;

LRESULT CKivUpDownCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    switch (message)
    {
    case WM_PAINT:
    case WM_PRINTCLIENT: return OnPaintMessage(message, reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return OnEraseMessage(wParam, lParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_MOUSELEAVE: return OnMouseMessage(message, wParam, lParam);
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivUpDownCtrl::OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The control keeps its own record of the arrow under the mouse and
    // repaints when it changes; the skin keeps the same record to draw it.
    if (message == WM_MOUSELEAVE)
        m_mouseArrow = None;
    else
        m_mouseArrow = ArrowAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return CKivWnd::WindowProc(message, wParam, lParam);
}

LRESULT CKivUpDownCtrl::OnEraseMessage(WPARAM dc, LPARAM lParam)
{
    // Everything is painted in WM_PAINT; the class brush never shows.
    return CKivPaintMute::RouteOn(reinterpret_cast<HDC>(dc),
                                  [&] { return CallPrevious(WM_ERASEBKGND, dc, lParam); });
}

LRESULT CKivUpDownCtrl::OnPaintMessage(UINT message, HDC dc)
{
    (void)message;
    CKivPaintEntry::Paint(Window(), dc, [this](HDC target) { Paint(target); });
    return 0;
}

bool CKivUpDownCtrl::HasBuddyBorder(HWND buddy) const
{
    if (!(GetWindowLongPtrW(Window(), GWL_STYLE) & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)) || buddy == nullptr)
        return false;
    wchar_t name[16] = {};
    return GetClassNameW(buddy, name, 16) != 0 && lstrcmpiW(name, WC_EDITW) == 0;
}

void CKivUpDownCtrl::ButtonRects(RECT* increment, RECT* decrement)
{
    const HWND window = Window();
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const HWND buddy = reinterpret_cast<HWND>(CallPrevious(UDM_GETBUDDY, 0, 0));
    const bool themed = GetWindowTheme(window) != nullptr;
    const int border = themed ? kBuddyBorderThemed : kBuddyBorder;
    const int spacer = themed ? kBuddySpacerThemed : kBuddySpacer;
    RECT rect = {};
    GetClientRect(window, &rect);
    if (HasBuddyBorder(buddy))
    {
        if (style & UDS_ALIGNLEFT)
            rect.left += border;
        else
            rect.right -= border;
        InflateRect(&rect, 0, -border);
    }
    if (buddy != nullptr && IsWindow(buddy))
    {
        if (style & UDS_ALIGNLEFT)
            rect.right -= spacer;
        else if (style & UDS_ALIGNRIGHT)
            rect.left += spacer;
    }
    RECT up = rect;
    RECT down = rect;
    if (style & UDS_HORZ)
    {
        const int size = (rect.right - rect.left) / 2;
        up.left = rect.right - size;
        down.right = rect.left + size;
    }
    else
    {
        const int size = (rect.bottom - rect.top) / 2;
        up.bottom = rect.top + size;
        down.top = rect.bottom - size;
    }
    if (increment)
        *increment = up;
    if (decrement)
        *decrement = down;
}

CKivUpDownCtrl::Arrow CKivUpDownCtrl::ArrowAt(POINT point)
{
    RECT up = {}, down = {};
    ButtonRects(&up, &down);
    if (PtInRect(&up, point))
        return Increment;
    if (PtInRect(&down, point))
        return Decrement;
    return None;
}

CKivUpDownCtrl::Arrow CKivUpDownCtrl::PressedArrow()
{
    const HWND window = Window();
    if (GetCapture() == window)
        return m_mouseArrow;
    // Arrow keys in the buddy press the buttons for as long as they are down.
    const HWND buddy = reinterpret_cast<HWND>(CallPrevious(UDM_GETBUDDY, 0, 0));
    if (!(GetWindowLongPtrW(window, GWL_STYLE) & UDS_ARROWKEYS) || buddy == nullptr || GetFocus() != buddy)
        return None;
    if (GetKeyState(VK_UP) & 0x8000)
        return Increment;
    if (GetKeyState(VK_DOWN) & 0x8000)
        return Decrement;
    return None;
}

void CKivUpDownCtrl::Paint(HDC target)
{
    const HWND window = Window();
    RECT client = {};
    GetClientRect(window, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    CKivHDCMemory canvas(target, client.right, client.bottom);
    if (!canvas.IsValid())
        return;
    const HDC dc = canvas.GetDC();
    const CKivCommonLook& look = CKivCommonLook::Current();
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const bool horizontal = (style & UDS_HORZ) != 0;
    const bool enabled = IsWindowEnabled(window) != FALSE;
    // Where the control leaves a strip for the buddy's frame, the strip
    // carries the buttons' colours with a border round it.
    CKivCommonLook::FillColour(dc, client, look.spin.colour);
    if (HasBuddyBorder(reinterpret_cast<HWND>(CallPrevious(UDM_GETBUDDY, 0, 0))))
        CKivCommonLook::FrameColour(dc, client, look.spinBorder);
    RECT buttons[2] = {};
    ButtonRects(&buttons[0], &buttons[1]);
    const Arrow pressed = enabled ? PressedArrow() : None;
    for (int i = 0; i < 2; ++i)
    {
        const Arrow arrow = i == 0 ? Increment : Decrement;
        const bool down = pressed == arrow;
        const bool hot = enabled && !down && m_mouseArrow == arrow && GetCapture() == nullptr;
        // Pressed: the slider's colours; under the mouse: the slider's border only.
        const CKivCommonLook::Surface& face = down ? look.spinPressed : look.spin;
        const RECT& box = buttons[i];
        if (box.right <= box.left || box.bottom <= box.top)
            continue;
        CKivCommonLook::FillColour(dc, box, face.colour);
        CKivCommonLook::FrameColour(dc, box, down || hot ? look.spinPressedBorder : look.spinBorder);
        DrawArrow(dc, box, horizontal, arrow == Increment, enabled ? face.text : face.grayText);
    }
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}
