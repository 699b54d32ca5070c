#include "CKivWndImpl.h"

namespace {

// The module this code lives in (KivAPI.dll, or the program that links the
// library): our class belongs to it, not to the host, whose instance would
// keep the class registered after the DLL is gone.
HINSTANCE OwnModule()
{
    static const int anchor = 0;
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&anchor), &module))
        return GetModuleHandleW(nullptr);
    return module;
}

}  // namespace

CKivWndImpl::CKivWndImpl() : m_className(DefaultClassName()), m_instance(OwnModule())
{
}

CKivWndImpl::~CKivWndImpl()
{
    Destroy();
}

std::map<HWND, CKivWndImpl*>& CKivWndImpl::OwnWindowMap()
{
    static std::map<HWND, CKivWndImpl*> map;
    return map;
}

CKivWndImpl* CKivWndImpl::FromHandle(HWND window)
{
    auto& map = OwnWindowMap();
    auto found = map.find(window);
    return found == map.end() ? nullptr : found->second;
}

LRESULT CALLBACK CKivWndImpl::OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try
    {
        CKivWndImpl* object = FromHandle(window);
        if (object != nullptr)
            return object->WindowProc(message, wParam, lParam);
    }
    catch (...)
    {
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

BOOL CKivWndImpl::RegisterWindowClass()
{
    WNDCLASSW windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &CKivWndImpl::OwnWindowProc;
    windowClass.hInstance = m_instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = m_className;
    return RegisterClassW(&windowClass) != 0;
}

BOOL CKivWndImpl::Create(const wchar_t* windowName, DWORD style, int x, int y, int width, int height, HWND parent,
                         HMENU menu, void* param, BOOL subclass)
{
    return CreateEx(windowName, style, 0, x, y, width, height, parent, menu, param, subclass);
}

BOOL CKivWndImpl::CreateEx(const wchar_t* windowName, DWORD style, DWORD exStyle, int x, int y, int width,
                           int height, HWND parent, HMENU menu, void* param, BOOL subclass)
{
    if (!subclass)
        RegisterWindowClass();
    m_hwnd = CreateWindowExW(exStyle, m_className, windowName, style, x, y, width, height, parent, menu,
                             m_instance, param);
    if (m_untracked)
        return TRUE;
    if (m_hwnd == nullptr)
        return FALSE;
    m_subclass = subclass;
    m_left = x;
    m_top = y;
    m_right = x + width;
    m_bottom = y + height;
    m_width = width;
    m_height = height;
    OwnWindowMap()[m_hwnd] = this;
    if (subclass)
    {
        m_charset = CKivWndCharset::Of(m_hwnd);
        m_previousProc = m_charset.GetProc(m_hwnd);
        m_charset.SetProc(m_hwnd, &CKivWndImpl::OwnWindowProc);
    }
    return TRUE;
}

void CKivWndImpl::Forget()
{
    const HWND window = m_hwnd;
    if (window == nullptr)
        return;
    m_hwnd = nullptr;
    auto& map = OwnWindowMap();
    auto found = map.find(window);
    if (found != map.end() && found->second == this)
        map.erase(found);
    if (m_subclass && m_previousProc && m_charset.GetProc(window) == &CKivWndImpl::OwnWindowProc)
        m_charset.SetProc(window, m_previousProc);
}

void CKivWndImpl::Destroy()
{
    // Forgetting first: the messages DestroyWindow sends must not reach an
    // object that is being destroyed, nor run Destroy again from WM_DESTROY.
    const HWND window = m_hwnd;
    Forget();
    if (window != nullptr)
        DestroyWindow(window);
}

LRESULT CKivWndImpl::CallDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_subclass && m_previousProc)
        return m_charset.CallProc(m_previousProc, window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CKivWndImpl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = m_hwnd;
    switch (message)
    {
    case WM_DESTROY: return OnDestroyMessage(window);
    case WM_CLOSE: return OnCloseMessage();
    case WM_MOVE:
    case WM_SIZE:
    case WM_WINDOWPOSCHANGING: return OnGeometry(window, message, wParam, lParam);
    case WM_VSCROLL: return OnVScroll(window, wParam, lParam);
    default: return CallDefault(window, message, wParam, lParam);
    }
}

LRESULT CKivWndImpl::OnDestroyMessage(HWND window)
{
    // The window is already on its way out; destroying it again from here
    // would recurse.
    Forget();
    return CallDefault(window, WM_DESTROY, 0, 0);
}

LRESULT CKivWndImpl::OnCloseMessage()
{
    Destroy();
    return 0;
}

LRESULT CKivWndImpl::OnGeometry(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RECT rect;
    if (GetWindowRect(window, &rect))
    {
        m_left = rect.left;
        m_top = rect.top;
        m_right = rect.right;
        m_bottom = rect.bottom;
        m_width = rect.right > rect.left ? rect.right - rect.left : 0;
        m_height = rect.bottom > rect.top ? rect.bottom - rect.top : 0;
    }
    return CallDefault(window, message, wParam, lParam);
}

LRESULT CKivWndImpl::OnVScroll(HWND window, WPARAM wParam, LPARAM lParam)
{
    const HWND parent = GetParent(window);
    if (parent != nullptr)
        return SendMessageW(parent, WM_VSCROLL, wParam, lParam);
    return CallDefault(window, WM_VSCROLL, wParam, lParam);
}
