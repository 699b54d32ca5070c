#include "CKivMenuBar.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivMenuBarLayout.h"
#include "CKivMenuBarPainter.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivWindowDC.h"
#include "CKivWindowHelper.h"
#include <cwctype>

namespace {

POINT PointFromLParam(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace

CKivMenuBar::CKivMenuBar() : m_loop(*this)
{
}

CKivMenuBar::~CKivMenuBar()
{
    RestoreMenu();
}

UINT CKivMenuBar::MouseMoveMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Kiv.MenuBar.MouseMove");
    return message;
}

UINT CKivMenuBar::LeftDownMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Kiv.MenuBar.LButtonDown");
    return message;
}

void CKivMenuBar::StripMnemonics(const wchar_t* text, wchar_t* out, size_t capacity)
{
    if (out == nullptr || capacity == 0)
        return;
    size_t n = 0;
    for (size_t i = 0; text != nullptr && text[i] != 0 && n + 1 < capacity; ++i)
    {
        if (text[i] != L'&')
            out[n++] = text[i];
        else if (text[i + 1] == L'&' && n + 2 < capacity)
        {
            // A doubled ampersand stays doubled: the drawing shows it as one.
            out[n++] = L'&';
            out[n++] = L'&';
            ++i;
        }
        else if (text[i + 1] == L'&')
            break;
    }
    out[n] = 0;
}

wchar_t CKivMenuBar::Mnemonic(const wchar_t* text)
{
    for (size_t i = 0; text != nullptr && text[i] != 0; ++i)
    {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] == L'&')
        {
            ++i;
            continue;
        }
        return static_cast<wchar_t>(towlower(text[i + 1]));
    }
    return 0;
}

// ---- messages ----------------------------------------------------------------

int CKivMenuBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The hook's numbers are the bar's own: they never reach the host.
    const UINT move = MouseMoveMessage(), leftDown = LeftDownMessage();
    if (move != 0 && message == move)
        return OnHookMouse(false, lParam);
    if (leftDown != 0 && message == leftDown)
        return OnHookMouse(true, lParam);
    if (m_hwnd == nullptr)
        return 1;
    if (message == WM_DESTROY)
    {
        m_loop.EndWithOwner();
        RestoreMenu();
        return 1;
    }
    if (BarMenu() == nullptr)
        return 1;
    switch (message)
    {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: return wParam == HTMENU ? OnBarClick(lParam) : 1;
    case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
    case WM_MENUSELECT: return OnMenuSelect(wParam, lParam);
    // The drop-down's own loop notifications: the host hears the bar's once.
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
    case WM_INITMENU: return m_loop.InsideTrack() ? 0 : 1;
    case WM_CANCELMODE: m_loop.OnCancelMode(); return 1;
    default: return 1;
    }
}

LPARAM CKivMenuBar::PopupPosition(WPARAM popup, LPARAM lParam) const
{
    return m_loop.PopupPosition(popup, lParam);
}

int CKivMenuBar::OnBarClick(LPARAM lParam)
{
    const int button = IsTracking() ? -1 : ButtonFromPoint(PointFromLParam(lParam));
    if (button >= 0)
    {
        // A copy: the layout is redone while the child's menu is open.
        const Button pressed = m_buttons[static_cast<size_t>(button)];
        PressButton(pressed);
        return 0;
    }
    const int item = ItemFromPoint(PointFromLParam(lParam));
    const Item* found = CKivMenuBarLayout::Find(m_items, item);
    if (found != nullptr && !IsTracking() && !found->grayed)
        m_loop.Run(item, true, false);
    // Never handed on: the system would start its own menu mode on a bar
    // whose layout is not the skin's.
    return 0;
}

int CKivMenuBar::OnHookMouse(bool leftDown, LPARAM lParam)
{
    if (IsTracking() && m_loop.InsideTrack())
        m_loop.OnHookMouse(leftDown, ItemFromPoint(PointFromLParam(lParam)));
    return 0;
}

int CKivMenuBar::OnSysCommand(WPARAM wParam, LPARAM lParam)
{
    switch (wParam & 0xFFF0)
    {
    case SC_MOUSEMENU: return 0;
    case SC_KEYMENU: break;
    default: return 1;
    }
    if (lParam == L' ')
        return 1;  // the system menu: the frame's
    if (IsTracking())
        return 0;
    if (lParam == 0)
    {
        // Alt or F10 alone: the bar is highlighted with its cues, the keys walk it.
        m_loop.Run(CKivMenuBarLayout::NextEnabled(m_items, -1, 1), false, true);
        return 0;
    }
    const int item = FindMnemonic(static_cast<wchar_t>(lParam));
    if (item >= 0)
        m_loop.Run(item, true, true);
    else
        OnMenuChar(static_cast<wchar_t>(lParam));
    return 0;
}

int CKivMenuBar::OnMenuSelect(WPARAM wParam, LPARAM lParam)
{
    m_loop.OnMenuSelect(wParam, lParam);
    return 1;
}

// No item has the letter: the host may pick one, as the system asks it.
void CKivMenuBar::OnMenuChar(wchar_t key)
{
    const HWND window = m_hwnd;
    const std::shared_ptr<bool> alive = m_loop.Alive();
    const LRESULT answer =
        SendMessageW(window, WM_MENUCHAR, MAKEWPARAM(key, 0), reinterpret_cast<LPARAM>(BarMenu()));
    if (!*alive || !IsWindow(window))
        return;
    const int item = LOWORD(answer);
    if ((HIWORD(answer) == MNC_EXECUTE || HIWORD(answer) == MNC_SELECT) && item < GetMenuItemCount(BarMenu()))
        m_loop.Run(item, true, true);
}

int CKivMenuBar::FindMnemonic(wchar_t key)
{
    RefreshLayout();
    return CKivMenuBarLayout::FindMnemonic(m_items, key);
}

// ---- layout and drawing -------------------------------------------------------

HMENU CKivMenuBar::BarMenu() const
{
    if (m_hwnd == nullptr || (GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_CHILD))
        return nullptr;
    HMENU menu = GetMenu(m_hwnd);
    return menu && IsMenu(menu) ? menu : nullptr;
}

int CKivMenuBar::WindowWidth() const
{
    RECT rect = {};
    GetWindowRect(m_hwnd, &rect);
    return rect.right - rect.left;
}

bool CKivMenuBar::BarRect(int windowWidth, RECT* bar) const
{
    if (m_hwnd == nullptr || m_metrics == nullptr || m_metrics->menuBarHeight <= 0)
        return false;
    const KivFrameMetrics& m = *m_metrics;
    RECT window = {};
    GetWindowRect(m_hwnd, &window);
    // Too small to show the bar (minimised): nothing is drawn or hit.
    if (m.captionHeight + m.borderTop + m.borderBottom >= window.bottom - window.top)
        return false;
    *bar = RECT{m.borderLeft, m.borderTop + m.captionHeight, windowWidth - m.borderRight,
                m.borderTop + m.captionHeight + m.menuBarHeight};
    return bar->right > bar->left;
}

int CKivMenuBar::LayoutItems(HDC dc, int windowWidth)
{
    m_items.clear();
    m_buttons.clear();
    RECT bar = {};
    const HMENU menu = BarMenu();
    if (dc == nullptr || menu == nullptr || !BarRect(windowWidth, &bar))
        return 0;
    return CKivMenuBarLayout(Scale()).Lay(dc, menu, bar, &m_items, &m_buttons);
}

HWND CKivMenuBar::ActiveMdiChild() const
{
    if (m_hwnd == nullptr)
        return nullptr;
    const HWND client = FindWindowExW(m_hwnd, nullptr, L"MDICLIENT", nullptr);
    if (client == nullptr)
        return nullptr;
    const HWND child = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
    return child && IsWindow(child) ? child : nullptr;
}

void CKivMenuBar::RefreshLayout()
{
    if (m_hwnd == nullptr)
        return;
    CKivWindowDC dc(m_hwnd);
    LayoutItems(dc, WindowWidth());
}

POINT CKivMenuBar::LayoutPoint(POINT screen)
{
    RefreshLayout();
    return CKivWindowHelper::ScreenToWindow(m_hwnd, screen);
}

RECT CKivMenuBar::ScreenRect(const RECT& r) const
{
    RECT frame = {};
    GetWindowRect(m_hwnd, &frame);
    return RECT{frame.left + r.left, frame.top + r.top, frame.left + r.right, frame.top + r.bottom};
}

int CKivMenuBar::ItemFromPoint(POINT screen)
{
    if (m_hwnd == nullptr)
        return -1;
    return CKivMenuBarLayout::ItemAt(m_items, LayoutPoint(screen));
}

int CKivMenuBar::ButtonFromPoint(POINT screen)
{
    if (m_hwnd == nullptr)
        return -1;
    return CKivMenuBarLayout::ButtonAt(m_buttons, LayoutPoint(screen));
}

// The child's commands go to the child, as the system's bar sends them:
// never to the frame, whose own close would end the application.
void CKivMenuBar::PressButton(const Button& button)
{
    const HWND child = ActiveMdiChild();
    if (child == nullptr || button.grayed)
        return;
    WPARAM command = 0;
    switch (button.kind)
    {
    case ChildMinimizeButton: command = SC_MINIMIZE; break;
    case ChildRestoreButton: command = SC_RESTORE; break;
    case ChildCloseButton: command = SC_CLOSE; break;
    case ChildMenuButton:
    {
        if (button.popup == nullptr || !IsMenu(button.popup))
            return;
        TPMPARAMS params = {};
        params.cbSize = sizeof(params);
        params.rcExclude = ScreenRect(button.rect);
        command = static_cast<WPARAM>(TrackPopupMenuEx(button.popup, TPM_LEFTBUTTON | TPM_VERTICAL | TPM_RETURNCMD,
                                                       params.rcExclude.left, params.rcExclude.bottom, m_hwnd, &params));
        if (!IsWindow(child))
            return;
        break;
    }
    default: break;
    }
    if (command != 0)
        SendMessageW(child, WM_SYSCOMMAND, command, 0);
}

void CKivMenuBar::Draw(HDC surface, int windowWidth)
{
    RECT bar = {};
    const HMENU menu = BarMenu();
    if (surface == nullptr || menu == nullptr || !BarRect(windowWidth, &bar))
        return;
    ConvertToOwnerDraw(menu);
    const int saved = SaveDC(surface);
    IntersectClipRect(surface, bar.left, bar.top, bar.right, bar.bottom);
    {
        CKivSelectObject font(surface, CKivGraphics::GetSkinFontForDpi(0, Scale().Dpi()));
        LayoutItems(surface, windowWidth);
        bool childMenu = false;
        for (const Button& button : m_buttons)
            childMenu = childMenu || button.kind == ChildMenuButton;
        CKivMenuBarPainter(m_hwnd, surface, Scale().Dpi())
            .Paint(bar, m_items, m_buttons, PushedItem(), KeyboardCues() != 0, childMenu ? ActiveMdiChild() : nullptr);
    }
    RestoreDC(surface, saved);
}

void CKivMenuBar::PaintBar()
{
    if (m_hwnd == nullptr || !IsWindowVisible(m_hwnd))
        return;
    const int width = WindowWidth();
    RECT bar = {};
    if (!BarRect(width, &bar))
        return;
    CKivWindowDC dc(m_hwnd);
    if (dc.Get() == nullptr)
        return;
    const int barWidth = bar.right - bar.left, barHeight = bar.bottom - bar.top;
    CKivHDCMemoryTemp memory(dc, barWidth, barHeight);
    if (!memory.IsValid())
        return;
    SetViewportOrgEx(memory.GetDC(), -bar.left, -bar.top, nullptr);
    Draw(memory.GetDC(), width);
    SetViewportOrgEx(memory.GetDC(), 0, 0, nullptr);
    BitBlt(dc, bar.left, bar.top, barWidth, barHeight, memory.GetDC(), 0, 0, SRCCOPY);
}

// ---- owner-draw mark ----------------------------------------------------------

void CKivMenuBar::ConvertToOwnerDraw(HMENU menu)
{
    if (menu == nullptr || !IsMenu(menu))
        return;
    const int count = GetMenuItemCount(menu);
    if (menu == m_convertedMenu && count == m_convertedCount)
        return;
    RestoreMenu();
    m_convertedMenu = menu;
    m_convertedCount = count;
    for (int i = 0; i < count; ++i)
    {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_BITMAP;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        // Items the host draws itself and picture items keep their kind.
        if ((info.fType & (MFT_OWNERDRAW | MFT_BITMAP | MFT_SEPARATOR)) || info.hbmpItem != nullptr)
            continue;
        info.fMask = MIIM_FTYPE;
        info.fType |= MFT_OWNERDRAW;
        if (SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            m_convertedPositions.push_back(i);
    }
}

void CKivMenuBar::RestoreMenu()
{
    if (m_convertedMenu != nullptr && IsMenu(m_convertedMenu))
    {
        for (int position : m_convertedPositions)
        {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE;
            if (!GetMenuItemInfoW(m_convertedMenu, static_cast<UINT>(position), TRUE, &info) ||
                !(info.fType & MFT_OWNERDRAW))
                continue;
            info.fType &= ~static_cast<UINT>(MFT_OWNERDRAW);
            SetMenuItemInfoW(m_convertedMenu, static_cast<UINT>(position), TRUE, &info);
        }
    }
    m_convertedMenu = nullptr;
    m_convertedCount = 0;
    m_convertedPositions.clear();
}
