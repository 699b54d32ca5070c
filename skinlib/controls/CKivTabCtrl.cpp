#include "CKivTabCtrl.h"
#include "CKivDpiScale.h"
#include <commctrl.h>
#include <cwchar>
#include <string>
#include <vector>
#include "CKivGdiObject.h"
#include "KivSkinSettings.h"

namespace {

const int kMaxCaption = 260;

}  // namespace

CKivTabCtrl::~CKivTabCtrl() = default;

BOOL CKivTabCtrl::Attach(HWND window)
{
    // A tab control its host draws itself keeps the host's drawing: the
    // strip would take the WM_DRAWITEM the host waits for.
    if (window == nullptr || (GetWindowLongPtrW(window, GWL_STYLE) & TCS_OWNERDRAWFIXED))
        return FALSE;
    if (!CKivWnd::Attach(window))
        return FALSE;
    // The control keeps the style its host gave it: the strip is drawn in
    // WM_PAINT, which never reaches the control.
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    RECT client = {};
    GetClientRect(window, &client);
    m_strip.SetDpi(CKivDpiScale::DpiOfWindow(window));
    m_strip.Init7(0, 0, client.right, client.bottom, window, (style & TCS_VERTICAL) ? 0 : 1);
    m_strip.SetBackgroundAtPosition(1);
    // The control's background is erased in WM_ERASEBKGND.
    m_strip.SetNoBackground(1);
    RebuildButtons();
    return TRUE;
}

BOOL CKivTabCtrl::Detach()
{
    const HWND window = Window();
    const BOOL detached = CKivWnd::Detach();
    if (window != nullptr && IsWindow(window))
        InvalidateRect(window, nullptr, TRUE);
    return detached;
}

int CKivTabCtrl::Setup(const KivSkinSettings& settings)
{
    m_strip.ApplySettings(settings);
    if (Window() == nullptr)
        return 0;
    InvalidateRect(Window(), nullptr, TRUE);
    return 1;
}

void CKivTabCtrl::OnSkinChanged(const KivSkinSettings& settings)
{
    Setup(settings);
}

LRESULT CKivTabCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr)
        return 0;
    switch (message)
    {
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_NCHITTEST:
    case WM_SIZE: return CKivWnd::WindowProc(message, wParam, lParam);
    case WM_NOTIFY: return OnNotify(wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: return OnMouseButton(message, wParam, lParam);
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_TIMER: return OnHotTrack(message, wParam, lParam);
    case WM_PARENTNOTIFY: return OnParentNotify(wParam, lParam);
    case KIV_WM_DRAWNBUTTONCLICK: return OnStripClick(wParam, lParam);
    case KIV_WM_TABSELECT: return OnTabSelect(static_cast<int>(static_cast<INT_PTR>(wParam)));
    case WM_KEYDOWN:
    case TCM_SETCURSEL:
    case TCM_SETCURFOCUS:
    case TCM_SETITEMSIZE:
    case TCM_SETPADDING:
    case TCM_SETMINTABWIDTH:
    case TCM_SETEXTENDEDSTYLE:
    case WM_STYLECHANGED: return PassAndFollow(message, wParam, lParam);
    case TCM_INSERTITEMA:
    case TCM_INSERTITEMW:
    case TCM_SETITEMA:
    case TCM_SETITEMW:
    case TCM_DELETEITEM:
    case TCM_DELETEALLITEMS:
    case WM_SETFONT: return OnItemsChanged(message, wParam, lParam);
    default:
        m_strip.OnMessage(message, wParam, lParam);
        return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

void CKivTabCtrl::OnPaint()
{
    // The control's own procedure never paints: the default procedure
    // validates (erasing through WM_ERASEBKGND), then the strip draws where
    // the control has its items now.
    CallDefault(WM_PAINT, 0, 0);
    Relayout();
    m_strip.OnMessage(WM_PAINT, 0, 0);
}

LRESULT CKivTabCtrl::OnEraseBkgnd(HDC dc)
{
    // The skin's tab background: its colour, or the dialog's when transparent.
    m_strip.PaintBackgroundTo(dc);
    return 1;
}

LRESULT CKivTabCtrl::OnNcHitTest(LPARAM lParam)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(Window(), &point);
    const RECT band = m_strip.StripBand();
    return PtInRect(&band, point) ? HTCLIENT : HTTRANSPARENT;
}

void CKivTabCtrl::OnSize(UINT sizeType, int width, int height)
{
    CKivWnd::OnSize(sizeType, width, height);
    if (Window() == nullptr)
        return;
    RECT client = {};
    GetClientRect(Window(), &client);
    m_strip.SetBounds(0, 0, client.right, client.bottom);
    Relayout();
}

LRESULT CKivTabCtrl::OnNotify(WPARAM wParam, LPARAM lParam)
{
    // Our own notifications, handed back by the parent's skin, are for the
    // parent; everything else (tooltips) belongs to the control.
    if (IsOwnNotification(lParam))
        return 0;
    return CKivWnd::WindowProc(WM_NOTIFY, wParam, lParam);
}

LRESULT CKivTabCtrl::OnMouseButton(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The control would select by its own rectangles and notify a second
    // time: strip clicks stay with the strip.
    const UINT asStrip = message == WM_LBUTTONDBLCLK ? WM_LBUTTONDOWN : message;
    if (asStrip == WM_LBUTTONDOWN && !(GetWindowLongPtrW(Window(), GWL_STYLE) & TCS_FOCUSNEVER))
        SetFocus(Window());
    if (Window() != nullptr)
        m_strip.OnMessage(asStrip, wParam, lParam);
    return 0;
}

LRESULT CKivTabCtrl::OnStripClick(WPARAM elementId, LPARAM lParam)
{
    // Posted by the strip's own buttons: nothing for the control.
    m_strip.OnMessage(KIV_WM_DRAWNBUTTONCLICK, elementId, lParam);
    return 0;
}

LRESULT CKivTabCtrl::OnParentNotify(WPARAM wParam, LPARAM lParam)
{
    // A single-line control with more tabs than fit makes an up-down child
    // at its right end, over the strip's overflow button. The strip offers
    // every tab itself: the arrows get an empty region, so they neither show
    // nor take the mouse, and the control keeps its child.
    const HWND child = reinterpret_cast<HWND>(lParam);
    if (LOWORD(wParam) == WM_CREATE && child != nullptr && GetParent(child) == Window())
    {
        wchar_t name[32] = {};
        if (GetClassNameW(child, name, 32) && lstrcmpiW(name, UPDOWN_CLASSW) == 0)
        {
            // The window owns the region once it took it.
            CKivRegion empty(CreateRectRgn(0, 0, 0, 0));
            if (empty && SetWindowRgn(child, empty, FALSE))
                empty.Release();
        }
    }
    return CKivWnd::WindowProc(WM_PARENTNOTIFY, wParam, lParam);
}

LRESULT CKivTabCtrl::OnHotTrack(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    m_strip.OnMessage(message, wParam, lParam);
    const LRESULT result = CKivWnd::WindowProc(message, wParam, lParam);
    // A hot-tracking control draws the tab under the mouse straight onto the
    // screen: the strip goes over it at once.
    if (Window() == window && (GetWindowLongPtrW(window, GWL_STYLE) & TCS_HOTTRACK))
    {
        const RECT band = m_strip.StripBand();
        RedrawWindow(window, &band, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return result;
}

LRESULT CKivTabCtrl::PassAndFollow(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    const LRESULT result = CallPrevious(message, wParam, lParam);
    if (Window() == window)
        FollowSelection();
    return result;
}

LRESULT CKivTabCtrl::OnItemsChanged(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    const LRESULT result = CallPrevious(message, wParam, lParam);
    if (Window() != window)
        return result;
    RebuildButtons();
    InvalidateRect(window, nullptr, TRUE);
    return result;
}

LRESULT CKivTabCtrl::OnTabSelect(int index)
{
    if (index >= 0 && index < ItemCount())
        ChangeSelection(index);
    else
        FollowSelection();
    return 0;
}

void CKivTabCtrl::ChangeSelection(int index)
{
    const HWND window = Window();
    if (index == CurrentSelection())
    {
        FollowSelection();
        return;
    }
    const bool refused = NotifyParent(TCN_SELCHANGING) != 0;
    if (Window() != window)
        return;
    if (!refused)
        CallPrevious(TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    // A refusal puts the pressed button back on the old tab.
    FollowSelection();
    if (!refused)
        NotifyParent(TCN_SELCHANGE);
}

LRESULT CKivTabCtrl::NotifyParent(UINT code)
{
    const HWND window = Window();
    NMHDR header = {};
    header.hwndFrom = window;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
    header.code = code;
    const HWND parent = GetParent(window);
    if (parent == nullptr)
        return 0;
    return SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

int CKivTabCtrl::ItemCount()
{
    return static_cast<int>(CallPrevious(TCM_GETITEMCOUNT, 0, 0));
}

int CKivTabCtrl::CurrentSelection()
{
    return static_cast<int>(CallPrevious(TCM_GETCURSEL, 0, 0));
}

void CKivTabCtrl::RebuildButtons()
{
    std::vector<std::wstring> captions;
    const int count = ItemCount();
    for (int i = 0; i < count; ++i)
    {
        wchar_t text[kMaxCaption + 1] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = kMaxCaption;
        CallPrevious(TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        // The control may answer with its own buffer instead of ours.
        const wchar_t* answer = item.pszText != nullptr ? item.pszText : text;
        captions.emplace_back(answer, wcsnlen(answer, kMaxCaption));
    }
    m_strip.SetTabs(captions);
    m_laidOut.clear();
    Relayout();
    m_strip.SelectTab(CurrentSelection(), false);
}

std::vector<RECT> CKivTabCtrl::ItemRects()
{
    std::vector<RECT> rects;
    const int count = ItemCount();
    for (int i = 0; i < count; ++i)
    {
        RECT item = {};
        // An item the control has scrolled out of view has no rectangle.
        if (!CallPrevious(TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)))
            item = RECT{};
        rects.push_back(item);
    }
    return rects;
}

void CKivTabCtrl::Relayout()
{
    m_strip.SetFont(reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0)));
    const std::vector<RECT> rects = ItemRects();
    bool same = rects.size() == m_laidOut.size();
    for (size_t i = 0; same && i < rects.size(); ++i)
        same = EqualRect(&rects[i], &m_laidOut[i]) != FALSE;
    if (same)
        return;
    m_laidOut = rects;
    m_strip.SetItemRects(rects);
    // Buttons moved or left view: the strip is drawn again where they were.
    InvalidateRect(Window(), nullptr, TRUE);
}

void CKivTabCtrl::FollowSelection()
{
    // A new selection may scroll the items or move their rows.
    Relayout();
    const int current = CurrentSelection();
    if (m_strip.SelectedTab() != current)
        m_strip.SelectTab(current, false);
}
