#include "CWaitScreenDlg.h"
#include "KivBuilderRes.h"

CWaitScreenDlg::CWaitScreenDlg(const std::wstring& clipPath) : CKivDialog(IDD_WAITSCREEN), m_clipPath(clipPath)
{
}

BOOL CWaitScreenDlg::OnInitDialog(HWND)
{
    SetWindowPos(Handle(), nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client = {};
    GetClientRect(Handle(), &client);
    m_animation = CreateWindowExW(0, ANIMATE_CLASSW, L"", WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT,
                                  (client.right - kClipSide) / 2, (client.bottom - kClipSide) / 2, kClipSide,
                                  kClipSide, Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    // A clip built into the program wins over the file beside it.
    HMODULE self = GetModuleHandleW(nullptr);
    if (FindResourceW(self, L"WAIT", L"AVI") != nullptr)
        m_clipOpened = SendMessageW(m_animation, ACM_OPENW, reinterpret_cast<WPARAM>(self),
                                    reinterpret_cast<LPARAM>(L"WAIT")) != FALSE;
    else
        m_clipOpened = SendMessageW(m_animation, ACM_OPENW, 0, reinterpret_cast<LPARAM>(m_clipPath.c_str())) != FALSE;
    return TRUE;
}

void CWaitScreenDlg::ShowOver(HWND owner)
{
    if (Handle() == nullptr && !Create(owner))
        return;
    RECT client = {};
    GetClientRect(owner, &client);
    POINT centre = {(client.right - kWidth) / 2, (client.bottom - kHeight) / 2};
    ClientToScreen(owner, &centre);
    SetWindowPos(Handle(), HWND_TOP, centre.x, centre.y, kWidth, kHeight, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SendMessageW(m_animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF));
}

void CWaitScreenDlg::Hide()
{
    if (Handle() == nullptr)
        return;
    SendMessageW(m_animation, ACM_STOP, 0, 0);
    ShowWindow(Handle(), SW_HIDE);
}
