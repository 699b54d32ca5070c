#include "CKivMenuBarLoop.h"
#include "CKivMenuBar.h"
#include "CKivMenuBarLayout.h"
#include "CKivWindowsHookMouseHook.h"

namespace {

// The loop whose drop-down is open; the message filter hook reports to it.
// One menu loop runs at a time on the thread.
CKivMenuBarLoop* g_trackingLoop = nullptr;

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
// touches the loop.
class CKivTrackingHooks
{
public:
    CKivTrackingHooks(CKivMenuBarLoop* loop, HOOKPROC filter) : m_previous(g_trackingLoop)
    {
        g_trackingLoop = loop;
        m_mouse = CKivWindowsHookMouseHook::Instance().Install(WH_MOUSE, &CKivWindowsHookMouseHook::MouseProc) != FALSE;
        m_filter = SetWindowsHookExW(WH_MSGFILTER, filter, nullptr, GetCurrentThreadId());
    }
    ~CKivTrackingHooks()
    {
        if (m_filter)
            UnhookWindowsHookEx(m_filter);
        if (m_mouse)
            CKivWindowsHookMouseHook::Instance().Uninstall();
        g_trackingLoop = m_previous;
    }
    CKivTrackingHooks(const CKivTrackingHooks&) = delete;
    CKivTrackingHooks& operator=(const CKivTrackingHooks&) = delete;

private:
    CKivMenuBarLoop* m_previous;
    bool m_mouse = false;
    HHOOK m_filter = nullptr;
};

}  // namespace

CKivMenuBarLoop::CKivMenuBarLoop(CKivMenuBar& bar) : m_bar(bar), m_alive(std::make_shared<bool>(true))
{
}

CKivMenuBarLoop::~CKivMenuBarLoop()
{
    *m_alive = false;
    if (g_trackingLoop == this)
        g_trackingLoop = nullptr;
}

LPARAM CKivMenuBarLoop::PopupPosition(WPARAM popup, LPARAM lParam) const
{
    if (m_insideTrack && m_openPopup != nullptr && reinterpret_cast<HMENU>(popup) == m_openPopup && HIWORD(lParam) == 0)
        return MAKELPARAM(m_openItem, 0);
    return lParam;
}

void CKivMenuBarLoop::EndWithOwner()
{
    // Wine's menu loop outlives its owner: ended here, and woken by a
    // thread message, since the cancel it posts to the owner is lost.
    if (!m_insideTrack)
        return;
    EndMenu();
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void CKivMenuBarLoop::OnHookMouse(bool leftDown, int item)
{
    const CKivMenuBar::Item* found = CKivMenuBarLayout::Find(m_bar.Items(), item);
    if (found == nullptr || found->grayed)
        return;
    if (item == m_openItem)
    {
        // A second click on the open item closes it, as on the system's bar.
        if (leftDown)
        {
            m_nextItem = -1;
            EndMenu();
        }
        return;
    }
    // The drop-down holds the mouse: it is ended here and the other item
    // opened once TrackPopupMenuEx has returned, never one over the other.
    m_nextItem = item;
    EndMenu();
}

void CKivMenuBarLoop::OnMenuSelect(WPARAM wParam, LPARAM lParam)
{
    if (!m_insideTrack)
        return;
    m_selectedMenu = reinterpret_cast<HMENU>(lParam);
    m_selectedHasPopup = HIWORD(wParam) != 0xFFFF && (HIWORD(wParam) & MF_POPUP) != 0;
}

void CKivMenuBarLoop::Run(int item, bool open, bool keyboard)
{
    if (m_tracking || item < 0)
        return;
    const HWND window = m_bar.Window();
    const std::shared_ptr<bool> alive = m_alive;
    const HMENU menu = m_bar.BarMenu();
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
    m_bar.PaintBar();
    SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    if (*alive && IsWindow(window))
        SendMessageW(window, WM_EXITMENULOOP, FALSE, 0);
}

int CKivMenuBarLoop::TrackItem(int index, bool keyboard)
{
    const HWND window = m_bar.Window();
    const std::shared_ptr<bool> alive = m_alive;
    m_bar.RefreshLayout();
    const CKivMenuBar::Item* found = CKivMenuBarLayout::Find(m_bar.Items(), index);
    if (found == nullptr)
        return -1;
    const CKivMenuBar::Item item = *found;
    if (item.grayed)
        return -1;
    m_openItem = m_pushedItem = index;
    m_nextItem = -1;
    m_bar.PaintBar();
    UINT flags = MF_HILITE | (item.popup ? MF_POPUP : 0) | (keyboard ? 0 : MF_MOUSESELECT);
    SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(item.popup ? static_cast<UINT>(index) : item.id, flags),
                 reinterpret_cast<LPARAM>(m_bar.BarMenu()));
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
    params.rcExclude = m_bar.ScreenRect(item.rect);
    m_openPopup = item.popup;
    m_selectedMenu = item.popup;
    m_selectedHasPopup = false;
    {
        CKivTrackingHooks hooks(this, &CKivMenuBarLoop::MessageFilter);
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
void CKivMenuBarLoop::DropClosingClick(int index)
{
    const HWND window = m_bar.Window();
    MSG message = {};
    if (m_nextItem >= 0 || !PeekMessageW(&message, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_NOREMOVE))
        return;
    if (message.wParam == HTMENU && m_bar.ItemFromPoint(PointFromLParam(message.lParam)) == index)
        PeekMessageW(&message, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE);
}

int CKivMenuBarLoop::WaitForBarKey(int item)
{
    const HWND window = m_bar.Window();
    const std::shared_ptr<bool> alive = m_alive;
    m_pushedItem = item;
    m_openItem = -1;
    m_keyboardCues = 1;
    m_bar.PaintBar();
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
                item = CKivMenuBarLayout::NextEnabled(m_bar.Items(), item, message.wParam == VK_LEFT ? -1 : 1);
                if (item < 0)
                    return -1;
                m_pushedItem = item;
                m_bar.PaintBar();
                continue;
            case VK_DOWN:
            case VK_UP:
            case VK_RETURN: return item;
            case VK_ESCAPE:
            case VK_MENU:
            case VK_F10: return -1;
            default: break;
            }
            const wchar_t key =
                static_cast<wchar_t>(MapVirtualKeyW(static_cast<UINT>(message.wParam), MAPVK_VK_TO_CHAR));
            const int found = key ? m_bar.FindMnemonic(key) : -1;
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

LRESULT CALLBACK CKivMenuBarLoop::MessageFilter(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_MENU && message != nullptr && g_trackingLoop != nullptr && g_trackingLoop->OnFilteredKey(*message))
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Left and Right inside a drop-down walk the bar, unless they open or close
// a submenu of the drop-down.
bool CKivMenuBarLoop::OnFilteredKey(const MSG& message)
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
    const int next = CKivMenuBarLayout::NextEnabled(m_bar.Items(), m_openItem, step);
    if (next < 0 || next == m_openItem)
        return false;
    m_nextItem = next;
    EndMenu();
    return true;
}
