#include "CKivWindow.h"
#include "KivCommandIds.h"
#include <windowsx.h>

CKivWindow::~CKivWindow()
{
    if (m_hwnd && IsWindow(m_hwnd))
    {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

bool CKivWindow::RegisterClass(const wchar_t* className, HICON icon, HICON smallIcon, HBRUSH background, UINT style)
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    HINSTANCE module = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(module, className, &existing))
        return existing.lpfnWndProc == &CKivWindow::WindowProc;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = &CKivWindow::WindowProc;
    windowClass.hInstance = module;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    return RegisterClassExW(&windowClass) != 0;
}

HWND CKivWindow::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                        const RECT* rect, HWND parent, HMENU menuOrId)
{
    if (m_hwnd)
        return nullptr;
    const int x = rect ? rect->left : CW_USEDEFAULT;
    const int y = rect ? rect->top : CW_USEDEFAULT;
    const int width = rect ? rect->right - rect->left : CW_USEDEFAULT;
    const int height = rect ? rect->bottom - rect->top : CW_USEDEFAULT;
    return CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                           GetModuleHandleW(nullptr), this);
}

CKivWindow* CKivWindow::FromHandle(HWND window)
{
    if (window == nullptr)
        return nullptr;
    WNDPROC procedure = reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC));
    if (procedure != &CKivWindow::WindowProc)
        return nullptr;
    return reinterpret_cast<CKivWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK CKivWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try
    {
        if (message == WM_NCCREATE)
        {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            void* param = create->lpCreateParams;
            // MDI children carry our pointer one level deeper.
            if ((create->dwExStyle & WS_EX_MDICHILD) && param)
                param = reinterpret_cast<void*>(static_cast<MDICREATESTRUCTW*>(param)->lParam);
            if (param)
            {
                static_cast<CKivWindow*>(param)->m_hwnd = window;
                SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(param));
            }
        }
        CKivWindow* object = reinterpret_cast<CKivWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (object == nullptr)
            return DefWindowProcW(window, message, wParam, lParam);
        const Current saved = object->m_current;
        object->m_current = Current{message, wParam, lParam};
        const LRESULT result = object->Dispatch(message, wParam, lParam);
        object->m_current = saved;
        if (message == WM_NCDESTROY)
        {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            object->m_hwnd = nullptr;
            object->OnFinalMessage();
        }
        return result;
    }
    catch (...)
    {
        // Never unwind through the system's message dispatch.
        return 0;
    }
}

LRESULT CKivWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        return OnNotify(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam));
    case WM_SIZE:
        return OnSize(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    case WM_PAINT:
        return OnPaint();
    case WM_SETFOCUS:
        return OnSetFocus(reinterpret_cast<HWND>(wParam));
    case WM_CLOSE:
        return OnClose();
    case WM_DESTROY:
        return OnDestroy();
    case WM_INITMENUPOPUP:
        return OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam) != 0);
    case WM_MDIACTIVATE:
        return OnMdiActivate(reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam));
    default:
        return OnMessage(message, wParam, lParam);
    }
}

LRESULT CKivWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CKivWindow::Default()
{
    return DefaultProc(m_current.message, m_current.wParam, m_current.lParam);
}

bool CKivWindow::RouteCommand(UINT id)
{
    return m_commands.Dispatch(id);
}

bool CKivWindow::QueryCommand(UINT id, bool& enabled, bool& checked) const
{
    return m_commands.QueryState(id, enabled, checked);
}

void CKivWindow::UpdateMenuItems(HMENU menu) const
{
    const int count = GetMenuItemCount(menu);
    for (int index = 0; index < count; ++index)
    {
        const UINT id = GetMenuItemID(menu, index);
        // Separators, submenus, system commands and the MDI window list are not ours.
        if (id == 0 || id == static_cast<UINT>(-1) || id >= ID_MDI_FIRSTCHILD || (id >= 0xF000 && id < 0xF200))
            continue;
        bool enabled = false;
        bool checked = false;
        if (!QueryCommand(id, enabled, checked))
            enabled = checked = false;
        EnableMenuItem(menu, static_cast<UINT>(index), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(menu, static_cast<UINT>(index), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

LRESULT CKivWindow::OnCreate(CREATESTRUCTW*)
{
    return 0;
}

LRESULT CKivWindow::OnCommand(UINT id, UINT, HWND)
{
    return RouteCommand(id) ? 0 : Default();
}

LRESULT CKivWindow::OnNotify(int, NMHDR*)
{
    return Default();
}

LRESULT CKivWindow::OnSize(UINT, int, int)
{
    return Default();
}

LRESULT CKivWindow::OnPaint()
{
    return Default();
}

LRESULT CKivWindow::OnSetFocus(HWND)
{
    return Default();
}

LRESULT CKivWindow::OnClose()
{
    return Default();
}

LRESULT CKivWindow::OnDestroy()
{
    return Default();
}

LRESULT CKivWindow::OnInitMenuPopup(HMENU, UINT, bool)
{
    return Default();
}

LRESULT CKivWindow::OnMdiActivate(HWND, HWND)
{
    return Default();
}

LRESULT CKivWindow::OnMessage(UINT, WPARAM, LPARAM)
{
    return Default();
}
