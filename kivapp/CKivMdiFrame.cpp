#include "CKivMdiFrame.h"
#include "CKivMdiChild.h"
#include "KivCommandIds.h"
#include <vector>

HWND CKivMdiFrame::CreateFrame(const wchar_t* className, const wchar_t* title, DWORD style, HMENU menu,
                               HMENU windowMenu)
{
    m_menu = menu;
    m_windowMenu = windowMenu;
    return Create(className, title, style | WS_CLIPCHILDREN, 0, nullptr, nullptr, menu);
}

LRESULT CKivMdiFrame::OnCreate(CREATESTRUCTW*)
{
    CLIENTCREATESTRUCT clientCreate = {m_windowMenu, ID_MDI_FIRSTCHILD};
    m_client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                               WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 0, 0, 0, Handle(),
                               nullptr, GetModuleHandleW(nullptr), &clientCreate);
    return m_client ? 0 : -1;
}

LRESULT CKivMdiFrame::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefFrameProcW(Handle(), m_client, message, wParam, lParam);
}

CKivMdiChild* CKivMdiFrame::ActiveChild() const
{
    if (m_client == nullptr)
        return nullptr;
    HWND active = reinterpret_cast<HWND>(SendMessageW(m_client, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<CKivMdiChild*>(CKivWindow::FromHandle(active));
}

int CKivMdiFrame::ChildCount() const
{
    int count = 0;
    for (HWND child = m_client ? GetWindow(m_client, GW_CHILD) : nullptr; child; child = GetWindow(child, GW_HWNDNEXT))
    {
        if (GetWindow(child, GW_OWNER) == nullptr)  // icon titles of minimised children are owned windows
            ++count;
    }
    return count;
}

void CKivMdiFrame::ShowBar(HWND bar, bool show)
{
    if (bar == nullptr)
        return;
    ShowWindow(bar, show ? SW_SHOWNOACTIVATE : SW_HIDE);
    RecalcLayout();
}

void CKivMdiFrame::RecalcLayout()
{
    if (Handle() == nullptr || m_client == nullptr)
        return;
    RECT area;
    GetClientRect(Handle(), &area);
    if (IsBarVisible(m_toolBar))
    {
        SendMessageW(m_toolBar, TB_AUTOSIZE, 0, 0);
        RECT bar;
        GetWindowRect(m_toolBar, &bar);
        area.top += bar.bottom - bar.top;
    }
    if (IsBarVisible(m_statusBar))
    {
        SendMessageW(m_statusBar, WM_SIZE, 0, 0);
        RECT bar;
        GetWindowRect(m_statusBar, &bar);
        area.bottom -= bar.bottom - bar.top;
    }
    if (area.bottom < area.top)
        area.bottom = area.top;
    MoveWindow(m_client, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

LRESULT CKivMdiFrame::OnSize(UINT type, int, int)
{
    // Not DefFrameProc: it would stretch the MDI client over the bars.
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
    return 0;
}

void CKivMdiFrame::ShowMenuFor(CKivMdiChild* child)
{
    if (m_client == nullptr)
        return;
    HMENU menu = child && child->Menu() ? child->Menu() : m_menu;
    HMENU windowMenu = child && child->Menu() ? child->WindowMenu() : m_windowMenu;
    if (menu == nullptr || GetMenu(Handle()) == menu)
        return;
    SendMessageW(m_client, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu), reinterpret_cast<LPARAM>(windowMenu));
    DrawMenuBar(Handle());
}

bool CKivMdiFrame::RouteCommand(UINT id)
{
    CKivMdiChild* child = ActiveChild();
    if (child && child->RouteCommand(id))
        return true;
    return CKivWindow::RouteCommand(id);
}

bool CKivMdiFrame::QueryCommand(UINT id, bool& enabled, bool& checked) const
{
    CKivMdiChild* child = ActiveChild();
    if (child && child->QueryCommand(id, enabled, checked))
        return true;
    return CKivWindow::QueryCommand(id, enabled, checked);
}

LRESULT CKivMdiFrame::OnCommand(UINT id, UINT, HWND control)
{
    // Notifications of the frame's own controls are not commands.
    if (control != nullptr && control != m_toolBar)
        return Default();
    const bool handled = RouteCommand(id);
    // The handler may have closed the frame.
    if (Handle())
        UpdateToolBar();
    return handled ? 0 : Default();
}

// Wine's MDI client frees its list of children at its own WM_DESTROY, and a
// window's children get theirs only after it: a child still open then reads
// the freed list (the Window menu refresh of its WM_DESTROY runs past a freed
// buffer). Destroying the children while the client is whole avoids that.
LRESULT CKivMdiFrame::OnDestroy()
{
    if (m_client != nullptr)
    {
        std::vector<HWND> children;
        for (HWND child = GetWindow(m_client, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetWindow(child, GW_OWNER) == nullptr)
                children.push_back(child);
        for (HWND child : children)
            if (IsWindow(child))
                SendMessageW(m_client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
    }
    return Default();
}

LRESULT CKivMdiFrame::OnInitMenuPopup(HMENU menu, UINT, bool systemMenu)
{
    if (!systemMenu)
        UpdateMenuItems(menu);
    return Default();
}

void CKivMdiFrame::UpdateToolBar()
{
    if (m_toolBar == nullptr)
        return;
    const int count = static_cast<int>(SendMessageW(m_toolBar, TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
    {
        TBBUTTON button = {};
        if (!SendMessageW(m_toolBar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button)) ||
            (button.fsStyle & BTNS_SEP))
            continue;
        bool enabled = false;
        bool checked = false;
        if (!QueryCommand(static_cast<UINT>(button.idCommand), enabled, checked))
            enabled = false;
        SendMessageW(m_toolBar, TB_ENABLEBUTTON, static_cast<WPARAM>(button.idCommand), MAKELPARAM(enabled, 0));
    }
}
