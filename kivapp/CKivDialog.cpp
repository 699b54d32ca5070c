#include "CKivDialog.h"
#include "CKivMessageLoop.h"
#include "CKivResources.h"
#include <windowsx.h>

CKivDialog::CKivDialog(UINT templateId, HINSTANCE module)
    : m_template(MAKEINTRESOURCEW(templateId)), m_templateData(nullptr), m_module(CKivResources::Module(module))
{
}

CKivDialog::CKivDialog(const DLGTEMPLATE* templateData, HINSTANCE module)
    : m_template(nullptr), m_templateData(templateData), m_module(CKivResources::Module(module))
{
}

CKivDialog::~CKivDialog()
{
    // A modeless window must not call back into a dead object.
    if (m_hwnd && IsWindow(m_hwnd))
    {
        SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
        CKivMessageLoop::Current().RemoveModeless(m_hwnd);
        DestroyWindow(m_hwnd);
    }
}

CKivDialog* CKivDialog::FromHandle(HWND window)
{
    return reinterpret_cast<CKivDialog*>(GetWindowLongPtrW(window, DWLP_USER));
}

INT_PTR CKivDialog::DoModal(HWND parent)
{
    if (m_hwnd)
        return -1;
    m_modal = true;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    const INT_PTR result = m_templateData
        ? DialogBoxIndirectParamW(m_module, m_templateData, parent, &CKivDialog::DialogProc, self)
        : DialogBoxParamW(m_module, m_template, parent, &CKivDialog::DialogProc, self);
    m_modal = false;
    return result;
}

bool CKivDialog::Create(HWND parent)
{
    if (m_hwnd)
        return false;
    m_modal = false;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    HWND window = m_templateData
        ? CreateDialogIndirectParamW(m_module, m_templateData, parent, &CKivDialog::DialogProc, self)
        : CreateDialogParamW(m_module, m_template, parent, &CKivDialog::DialogProc, self);
    if (window == nullptr)
        return false;
    // Child dialogs are reached through their parent's dialog manager.
    if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
        CKivMessageLoop::Current().AddModeless(window);
    return true;
}

void CKivDialog::EndDialog(INT_PTR result)
{
    if (m_hwnd == nullptr)
        return;
    if (m_modal)
        ::EndDialog(m_hwnd, result);
    else
        DestroyWindow(m_hwnd);
}

std::wstring CKivDialog::ItemText(int id) const
{
    HWND item = Item(id);
    const int length = item ? GetWindowTextLengthW(item) : 0;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    if (length > 0)
        GetWindowTextW(item, &text[0], length + 1);
    text.resize(wcslen(text.c_str()));
    return text;
}

INT_PTR CALLBACK CKivDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try
    {
        if (message == WM_INITDIALOG)
        {
            auto* dialog = reinterpret_cast<CKivDialog*>(lParam);
            dialog->m_hwnd = window;
            SetWindowLongPtrW(window, DWLP_USER, lParam);
        }
        CKivDialog* dialog = FromHandle(window);
        if (dialog == nullptr)
            return FALSE;
        const INT_PTR result = dialog->Dispatch(message, wParam, lParam);
        if (message == WM_NCDESTROY)
            dialog->OnFinalDestroy();
        return result;
    }
    catch (...)
    {
        // An exception must not unwind through the system's dialog manager.
        return FALSE;
    }
}

INT_PTR CKivDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_INITDIALOG:
        return OnInitDialog(reinterpret_cast<HWND>(wParam));
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        return OnNotify(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam));
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<UINT>(wParam), lParam);
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
    case WM_HSCROLL:
        return OnHScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
    case WM_VSCROLL:
        return OnVScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
    case WM_SHOWWINDOW:
        return OnShowWindow(wParam != FALSE);
    case WM_SIZE:
        return OnSize(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    case WM_DESTROY:
        return OnDestroy();
    default:
        return OnMessage(message, wParam, lParam);
    }
}

void CKivDialog::OnFinalDestroy()
{
    CKivMessageLoop::Current().RemoveModeless(m_hwnd);
    SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
    m_hwnd = nullptr;
}

BOOL CKivDialog::OnInitDialog(HWND)
{
    return TRUE;
}

bool CKivDialog::OnCommand(UINT id, UINT, HWND)
{
    if (m_commands.Dispatch(id))
        return true;
    if (id == IDOK)
        return OnOK(), true;
    if (id == IDCANCEL)
        return OnCancel(), true;
    return false;
}

bool CKivDialog::OnNotify(int, NMHDR*)
{
    return false;
}

bool CKivDialog::OnSysCommand(UINT, LPARAM)
{
    return false;
}

bool CKivDialog::OnHScroll(HWND, UINT, int)
{
    return false;
}

bool CKivDialog::OnVScroll(HWND, UINT, int)
{
    return false;
}

bool CKivDialog::OnShowWindow(bool)
{
    return false;
}

bool CKivDialog::OnSize(UINT, int, int)
{
    return false;
}

INT_PTR CKivDialog::OnMessage(UINT, WPARAM, LPARAM)
{
    return FALSE;
}
