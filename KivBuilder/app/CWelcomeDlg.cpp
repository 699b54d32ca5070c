#include "CWelcomeDlg.h"
#include "CKivCompatibleDC.h"
#include "CKivPaintDC.h"
#include "CKivSelectObject.h"
#include "KivBuilderRes.h"

CWelcomeDlg::CWelcomeDlg() : CKivDialog(IDD_WELCOME)
{
}

void CWelcomeDlg::AttachGlow()
{
    m_glow.CreateGlow(Handle(), kGlowColour, FALSE);
}

BOOL CWelcomeDlg::OnInitDialog(HWND)
{
    m_picture.Reset(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_WELCOME), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP size = {};
    if (m_picture && GetObjectW(m_picture, sizeof(size), &size))
        SetWindowPos(Handle(), nullptr, 0, 0, size.bmWidth, size.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
    // Centred on the screen, then one pixel further, as the glow expects a move.
    RECT rect = {};
    GetWindowRect(Handle(), &rect);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2 + 1;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2 + 1;
    SetWindowPos(Handle(), HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
    AttachGlow();
    AnimateWindow(Handle(), kFadeMilliseconds, AW_BLEND);
    SetTimer(Handle(), kTimer, kShowMilliseconds, nullptr);
    return TRUE;
}

bool CWelcomeDlg::OnPaint()
{
    CKivPaintDC paint(Handle());
    if (paint.Get() == nullptr || !m_picture)
        return true;
    BITMAP size = {};
    GetObjectW(m_picture, sizeof(size), &size);
    CKivCompatibleDC memory(paint);
    CKivSelectObject select(memory, m_picture);
    BitBlt(paint, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
    return true;
}

INT_PTR CWelcomeDlg::OnTimer(UINT_PTR id)
{
    if (id != kTimer)
        return FALSE;
    KillTimer(Handle(), kTimer);
    EndDialog(IDOK);
    return TRUE;
}

INT_PTR CWelcomeDlg::OnMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message)
    {
    case WM_TIMER: return OnTimer(wParam);
    default: return FALSE;
    }
}
