#include "CKivHiddenRedraw.h"
#include <utility>

CKivHiddenRedraw::CKivHiddenRedraw(HWND window)
{
    if (window == nullptr || !IsWindowVisible(window))
        return;
    Keep(window);
    EnumChildWindows(window, &CKivHiddenRedraw::KeepChild, reinterpret_cast<LPARAM>(this));
    m_window = window;
    DefWindowProcW(window, WM_SETREDRAW, FALSE, 0);
}

CKivHiddenRedraw::~CKivHiddenRedraw()
{
    // The window may have been destroyed, or hidden on purpose, meanwhile.
    if (m_window == nullptr || !IsWindow(m_window) || IsWindowVisible(m_window))
        return;
    DefWindowProcW(m_window, WM_SETREDRAW, TRUE, 0);
    for (Pending& pending : m_pending)
        if (IsWindow(pending.window))
            InvalidateRgn(pending.window, pending.region, TRUE);
}

void CKivHiddenRedraw::Keep(HWND window)
{
    CKivRegion region(CreateRectRgn(0, 0, 0, 0));
    if (region && GetUpdateRgn(window, region, FALSE) > NULLREGION)
        m_pending.push_back(Pending{window, std::move(region)});
}

BOOL CALLBACK CKivHiddenRedraw::KeepChild(HWND child, LPARAM self)
{
    reinterpret_cast<CKivHiddenRedraw*>(self)->Keep(child);
    return TRUE;
}
