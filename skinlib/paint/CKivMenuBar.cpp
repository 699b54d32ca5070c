#include "CKivMenuBar.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivMenuBarPainter.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivWindowDC.h"
#include "CKivWindowsHookMouseHook.h"
#include <cwctype>

namespace {

// The bar whose drop-down is open; the message filter hook reports to it.
// One menu loop runs at a time on the thread.
CKivMenuBar* g_trackingBar = nullptr;

POINT PointFromLParam(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

bool IsButtonDown(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_NCLBUTTONDOWN || message == WM_NCRBUTTONDOWN || message == WM_NCMBUTTONDOWN;
}

// The hooks that serve one open drop-down. Removed on every way out of the
// drop-down, also when the frame was destroyed meanwhile: nothing here
// touches the bar.
class CKivTrackingHooks
{
public:
    CKivTrackingHooks(CKivMenuBar* bar, HOOKPROC filter) : m_previous(g_trackingBar)
    {
        g_trackingBar = bar;
        m_mouse = CKivWindowsHookMouseHook::Instance().Install(WH_MOUSE, &CKivWindowsHookMouseHook::MouseProc) != FALSE;
        m_filter = SetWindowsHookExW(WH_MSGFILTER, filter, nullptr, GetCurrentThreadId());
    }
    ~CKivTrackingHooks()
    {
        if (m_filter)
            UnhookWindowsHookEx(m_filter);
        if (m_mouse)
            CKivWindowsHookMouseHook::Instance().Uninstall();
        g_trackingBar = m_previous;
    }
    CKivTrackingHooks(const CKivTrackingHooks&) = delete;
    CKivTrackingHooks& operator=(const CKivTrackingHooks&) = delete;

private:
    CKivMenuBar* m_previous;
    bool m_mouse = false;
    HHOOK m_filter = nullptr;
};

}  // namespace

CKivMenuBar::CKivMenuBar() : m_alive(std::make_shared<bool>(true))
{
}

CKivMenuBar::~CKivMenuBar()
{
    *m_alive = false;
    if (g_trackingBar == this)
        g_trackingBar = nullptr;
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
        // Wine's menu loop outlives its owner: ended here, and woken by a
        // thread message, since the cancel it posts to the owner is lost.
        if (m_insideTrack)
        {
            EndMenu();
            PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
        }
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
    case WM_INITMENU: return m_insideTrack ? 0 : 1;
    case WM_CANCELMODE: m_cancelBar = m_tracking; return 1;
    default: return 1;
    }
}

LPARAM CKivMenuBar::PopupPosition(WPARAM popup, LPARAM lParam) const
{
    if (m_insideTrack && m_openPopup != nullptr && reinterpret_cast<HMENU>(popup) == m_openPopup && HIWORD(lParam) == 0)
        return MAKELPARAM(m_openItem, 0);
    return lParam;
}

int CKivMenuBar::OnBarClick(LPARAM lParam)
{
    const int button = m_tracking ? -1 : ButtonFromPoint(PointFromLParam(lParam));
    if (button >= 0)
    {
        // A copy: the layout is redone while the child's menu is open.
        const Button pressed = m_buttons[static_cast<size_t>(button)];
        PressButton(pressed);
        return 0;
    }
    const int item = ItemFromPoint(PointFromLParam(lParam));
    if (item >= 0 && !m_tracking && !m_items[static_cast<size_t>(item)].grayed)
        RunMenuLoop(item, true, false);
    // Never handed on: the system would start its own menu mode on a bar
    // whose layout is not the skin's.
    return 0;
}

int CKivMenuBar::OnHookMouse(bool leftDown, LPARAM lParam)
{
    if (!m_tracking || !m_insideTrack)
        return 0;
    const int item = ItemFromPoint(PointFromLParam(lParam));
    if (item < 0 || m_items[static_cast<size_t>(item)].grayed)
        return 0;
    if (item == m_openItem)
    {
        // A second click on the open item closes it, as on the system's bar.
        if (leftDown)
        {
            m_nextItem = -1;
            EndMenu();
        }
        return 0;
    }
    // The drop-down holds the mouse: it is ended here and the other item
    // opened once TrackPopupMenuEx has returned, never one over the other.
    m_nextItem = item;
    EndMenu();
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
    if (m_tracking)
        return 0;
    if (lParam == 0)
    {
        // Alt or F10 alone: the bar is highlighted with its cues, the keys walk it.
        RunMenuLoop(NextEnabled(-1, 1), false, true);
        return 0;
    }
    const int item = FindMnemonic(static_cast<wchar_t>(lParam));
    if (item >= 0)
        RunMenuLoop(item, true, true);
    else
        OnMenuChar(static_cast<wchar_t>(lParam));
    return 0;
}

int CKivMenuBar::OnMenuSelect(WPARAM wParam, LPARAM lParam)
{
    if (m_insideTrack)
    {
        m_selectedMenu = reinterpret_cast<HMENU>(lParam);
        m_selectedHasPopup = HIWORD(wParam) != 0xFFFF && (HIWORD(wParam) & MF_POPUP) != 0;
    }
    return 1;
}

// No item has the letter: the host may pick one, as the system asks it.
void CKivMenuBar::OnMenuChar(wchar_t key)
{
    const HWND window = m_hwnd;
    const std::shared_ptr<bool> alive = m_alive;
    const LRESULT answer =
        SendMessageW(window, WM_MENUCHAR, MAKEWPARAM(key, 0), reinterpret_cast<LPARAM>(BarMenu()));
    if (!*alive || !IsWindow(window))
        return;
    const int item = LOWORD(answer);
    if ((HIWORD(answer) == MNC_EXECUTE || HIWORD(answer) == MNC_SELECT) && item < GetMenuItemCount(BarMenu()))
        RunMenuLoop(item, true, true);
}

// ---- the menu loop -----------------------------------------------------------

void CKivMenuBar::RunMenuLoop(int item, bool open, bool keyboard)
{
    if (m_tracking || item < 0)
        return;
    const HWND window = m_hwnd;
    const std::shared_ptr<bool> alive = m_alive;
    const HMENU menu = BarMenu();
    m_tracking = true;
    m_cancelBar = false;
    if (keyboard)
        m_keyboardCues = 1;
    SendMessageW(window, WM_ENTERMENULOOP, FALSE, 0);
    if (*alive && IsWindow(window))
        SendMessageW(window, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    while (item >= 0 && *alive && IsWindow(window))
    {
        if (open)
            item = TrackItem(item, keyboard);
        else
            item = WaitForBarKey(item);
        open = true;
    }
    if (!*alive)
        return;
    m_tracking = false;
    m_openItem = m_pushedItem = -1;
    m_openPopup = nullptr;
    m_keyboardCues = 0;
    if (!IsWindow(window))
        return;
    PaintBar();
    SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    if (*alive && IsWindow(window))
        SendMessageW(window, WM_EXITMENULOOP, FALSE, 0);
}

int CKivMenuBar::TrackItem(int index, bool keyboard)
{
    const HWND window = m_hwnd;
    const std::shared_ptr<bool> alive = m_alive;
    RefreshLayout();
    if (index < 0 || static_cast<size_t>(index) >= m_items.size())
        return -1;
    const Item item = m_items[static_cast<size_t>(index)];
    if (item.grayed)
        return -1;
    m_openItem = m_pushedItem = index;
    m_nextItem = -1;
    PaintBar();
    UINT flags = MF_HILITE | (item.popup ? MF_POPUP : 0) | (keyboard ? 0 : MF_MOUSESELECT);
    SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(item.popup ? static_cast<UINT>(index) : item.id, flags),
                 reinterpret_cast<LPARAM>(BarMenu()));
    if (!*alive || !IsWindow(window))
        return -1;
    if (item.popup == nullptr)
    {
        // A command placed on the bar itself.
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(item.id, 0), 0);
        return -1;
    }
    TPMPARAMS params = {};
    params.cbSize = sizeof(params);
    params.rcExclude = ScreenRect(item.rect);
    m_openPopup = item.popup;
    m_selectedMenu = item.popup;
    m_selectedHasPopup = false;
    {
        CKivTrackingHooks hooks(this, &CKivMenuBar::MessageFilter);
        m_insideTrack = true;
        TrackPopupMenuEx(item.popup, TPM_LEFTBUTTON | TPM_VERTICAL, params.rcExclude.left, params.rcExclude.bottom,
                         window, &params);
    }
    if (!*alive)
        return -1;
    m_insideTrack = false;
    m_openPopup = nullptr;
    DropClosingClick(index);
    return m_nextItem;
}

// A click that closed the drop-down stays queued for the window under it; on
// the open item itself it would open the drop-down straight again.
void CKivMenuBar::DropClosingClick(int index)
{
    MSG message = {};
    if (m_nextItem >= 0 || !PeekMessageW(&message, m_hwnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_NOREMOVE))
        return;
    if (message.wParam == HTMENU && ItemFromPoint(PointFromLParam(message.lParam)) == index)
        PeekMessageW(&message, m_hwnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE);
}

int CKivMenuBar::WaitForBarKey(int item)
{
    const HWND window = m_hwnd;
    const std::shared_ptr<bool> alive = m_alive;
    m_pushedItem = item;
    m_openItem = -1;
    m_keyboardCues = 1;
    PaintBar();
    bool idleSent = false;
    for (;;)
    {
        if (!*alive || !IsWindow(window) || m_cancelBar)
            return -1;
        MSG message = {};
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
        {
            if (!idleSent)
                SendMessageW(window, WM_ENTERIDLE, MSGF_MENU, 0);
            else
                WaitMessage();
            idleSent = true;
            continue;
        }
        idleSent = false;
        // A quit or a click elsewhere ends the mode and stays queued for its window.
        if (message.message == WM_QUIT || IsButtonDown(message.message))
            return -1;
        PeekMessageW(&message, nullptr, message.message, message.message, PM_REMOVE);
        const bool keyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
        if (keyDown)
        {
            switch (message.wParam)
            {
            case VK_LEFT:
            case VK_RIGHT:
                item = NextEnabled(item, message.wParam == VK_LEFT ? -1 : 1);
                if (item < 0)
                    return -1;
                m_pushedItem = item;
                PaintBar();
                continue;
            case VK_DOWN:
            case VK_UP:
            case VK_RETURN: return item;
            case VK_ESCAPE:
            case VK_MENU:
            case VK_F10: return -1;
            default: break;
            }
            const wchar_t key = static_cast<wchar_t>(MapVirtualKeyW(static_cast<UINT>(message.wParam), MAPVK_VK_TO_CHAR));
            const int found = key ? FindMnemonic(key) : -1;
            if (found >= 0)
                return found;
            continue;
        }
        // The keys belong to the bar while it is highlighted.
        if (message.message == WM_KEYUP || message.message == WM_SYSKEYUP || message.message == WM_CHAR ||
            message.message == WM_SYSCHAR)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK CKivMenuBar::MessageFilter(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_MENU && message != nullptr && g_trackingBar != nullptr && g_trackingBar->OnFilteredKey(*message))
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Left and Right inside a drop-down walk the bar, unless they open or close
// a submenu of the drop-down.
bool CKivMenuBar::OnFilteredKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN || !m_insideTrack || m_openItem < 0)
        return false;
    int step = 0;
    if (message.wParam == VK_LEFT && m_selectedMenu == m_openPopup)
        step = -1;
    else if (message.wParam == VK_RIGHT && !m_selectedHasPopup)
        step = 1;
    if (step == 0)
        return false;
    const int next = NextEnabled(m_openItem, step);
    if (next < 0 || next == m_openItem)
        return false;
    m_nextItem = next;
    EndMenu();
    return true;
}

int CKivMenuBar::NextEnabled(int from, int step) const
{
    const int count = static_cast<int>(m_items.size());
    for (int n = 1; n <= count; ++n)
    {
        const int i = ((from + step * n) % count + count) % count;
        if (!m_items[static_cast<size_t>(i)].grayed)
            return i;
    }
    return -1;
}

int CKivMenuBar::FindMnemonic(wchar_t key)
{
    RefreshLayout();
    const wchar_t wanted = static_cast<wchar_t>(towlower(key));
    for (const Item& item : m_items)
        if (!item.grayed && Mnemonic(item.text) == wanted)
            return item.index;
    return -1;
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
    // Measured with the font the items are drawn with.
    const CKivDpiScale scale = Scale();
    CKivSelectObject font(dc, CKivGraphics::GetSkinFontForDpi(0, scale.Dpi()));
    const int count = GetMenuItemCount(menu);
    std::vector<Item> texts;
    for (int i = 0; i < count; ++i)
    {
        Item item = {};
        item.index = i;
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE | MIIM_BITMAP | MIIM_STRING;
        info.dwTypeData = item.text;
        info.cch = 260;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            break;
        item.text[259] = 0;
        // Picture items are the child buttons or nothing the bar draws;
        // separators are never drawn.
        if ((info.fType & (MFT_BITMAP | MFT_SEPARATOR)) || info.hbmpItem != nullptr)
        {
            if (!(info.fType & MFT_SEPARATOR))
                AddButton(i, info);
            continue;
        }
        item.id = info.wID;
        item.popup = info.hSubMenu;
        item.grayed = (info.fState & MFS_GRAYED) != 0;
        texts.push_back(item);
    }
    int left = bar.left + scale.Scale(kFirstInset), limit = bar.right;
    LayoutButtons(bar, &left, &limit);
    for (Item& item : texts)
    {
        if (left >= limit)
            break;
        RECT measure = {0, 0, 0, 0};
        if (item.text[0] != 0)
            DrawTextW(dc, item.text, -1, &measure, DT_SINGLELINE | DT_CALCRECT);
        const int right =
            left + (measure.right - measure.left) + scale.Scale(kItemSlack) + 2 * scale.Scale(kTextPadding);
        item.rect = RECT{left, bar.top, right < limit ? right : limit, bar.bottom};
        m_items.push_back(item);
        left = right + scale.Scale(kItemGap);
    }
    return static_cast<int>(m_items.size());
}

bool CKivMenuBar::AddButton(int index, const MENUITEMINFOW& info)
{
    Button button = {};
    button.index = index;
    button.popup = info.hSubMenu;
    button.grayed = (info.fState & MFS_GRAYED) != 0 || info.hbmpItem == HBMMENU_MBAR_CLOSE_D ||
                    info.hbmpItem == HBMMENU_MBAR_MINIMIZE_D;
    // The window-menu item carries the child's system menu (its picture is
    // HBMMENU_SYSTEM or the child's icon); the others are known by their command.
    if (info.hSubMenu != nullptr)
        button.kind = ChildMenuButton;
    else if (info.wID == SC_MINIMIZE)
        button.kind = ChildMinimizeButton;
    else if (info.wID == SC_RESTORE)
        button.kind = ChildRestoreButton;
    else if (info.wID == SC_CLOSE)
        button.kind = ChildCloseButton;
    else
        return false;
    m_buttons.push_back(button);
    return true;
}

// The window-menu icon takes the bar's left end, the three buttons line up
// at its right end in the system's order; the text items share what is left.
void CKivMenuBar::LayoutButtons(const RECT& bar, int* textLeft, int* textRight)
{
    const int height = bar.bottom - bar.top;
    const int side = height > 2 ? height - 2 : height;
    int right = bar.right - 1;
    for (int kind = ChildCloseButton; kind >= ChildMinimizeButton; --kind)
        for (Button& button : m_buttons)
            if (button.kind == kind && right - side > bar.left)
            {
                button.rect = RECT{right - side, bar.top + 1, right, bar.top + 1 + side};
                right -= side + (kind == ChildCloseButton ? 2 : 0);
            }
    const CKivDpiScale scale = Scale();
    const int inset = scale.Scale(kFirstInset);
    for (Button& button : m_buttons)
        if (button.kind == ChildMenuButton && bar.left + inset + height <= right)
        {
            button.rect = RECT{bar.left + inset, bar.top, bar.left + inset + height, bar.bottom};
            *textLeft = button.rect.right + scale.Scale(kItemGap);
            break;
        }
    *textRight = right;
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
    RECT window = {};
    GetWindowRect(m_hwnd, &window);
    return POINT{screen.x - window.left, screen.y - window.top};
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
    const POINT p = LayoutPoint(screen);
    for (const Item& item : m_items)
        if (CKivGraphics::PtInRectInclusive(p.x, p.y, item.rect.left, item.rect.top, item.rect.right, item.rect.bottom))
            return item.index;
    return -1;
}

int CKivMenuBar::ButtonFromPoint(POINT screen)
{
    if (m_hwnd == nullptr)
        return -1;
    const POINT p = LayoutPoint(screen);
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (!IsRectEmpty(&m_buttons[i].rect) && PtInRect(&m_buttons[i].rect, p))
            return static_cast<int>(i);
    return -1;
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
            .Paint(bar, m_items, m_buttons, m_pushedItem, m_keyboardCues != 0, childMenu ? ActiveMdiChild() : nullptr);
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
