#include "CKivMdiChild.h"
#include "CKivMdiFrame.h"

HWND CKivMdiChild::CreateChild(CKivMdiFrame& frame, const wchar_t* className, const wchar_t* title, HMENU menu,
                               HMENU windowMenu, DWORD style)
{
    if (Handle() || frame.MdiClient() == nullptr)
        return nullptr;
    m_frame = &frame;
    m_menu = menu;
    m_windowMenu = windowMenu;
    MDICREATESTRUCTW create = {};
    create.szClass = className;
    create.szTitle = title;
    create.hOwner = GetModuleHandleW(nullptr);
    create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
    create.style = style;
    create.lParam = reinterpret_cast<LPARAM>(this);
    return reinterpret_cast<HWND>(SendMessageW(frame.MdiClient(), WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
}

LRESULT CKivMdiChild::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefMDIChildProcW(Handle(), message, wParam, lParam);
}

LRESULT CKivMdiChild::OnMdiActivate(HWND, HWND activated)
{
    // The child being activated brings its menu; the last one leaving hands
    // the frame its own menu back.
    if (m_frame && activated == Handle())
        m_frame->ShowMenuFor(this);
    else if (m_frame && activated == nullptr)
        m_frame->ShowMenuFor(nullptr);
    if (m_frame)
        m_frame->UpdateToolBar();
    return Default();
}

void CKivMdiChild::OnFinalMessage()
{
    CKivMdiFrame* frame = m_frame;
    delete this;
    if (frame && frame->ActiveChild() == nullptr)
    {
        frame->ShowMenuFor(nullptr);
        frame->UpdateToolBar();
    }
}
