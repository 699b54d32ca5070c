#include "CKivFrameSystemMenu.h"

void CKivFrameSystemMenu::States(LONG_PTR style, UINT states[5])
{
    const UINT off = MF_GRAYED | MF_DISABLED;
    UINT move = 0, size = 0, maximize = 0, minimize = 0, restore = off;
    if (style & WS_MAXIMIZE)
    {
        move = size = maximize = off;
        restore = 0;
    }
    else if (style & WS_MINIMIZE)
    {
        move = size = minimize = off;
        restore = 0;
    }
    if (!(style & WS_MAXIMIZEBOX))
        maximize = restore = off;
    if (!(style & WS_MINIMIZEBOX))
        minimize = off;
    states[0] = move;
    states[1] = size;
    states[2] = maximize;
    states[3] = minimize;
    states[4] = restore;
}

HMENU CKivFrameSystemMenu::Prepare(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr)
        return nullptr;
    UINT states[5];
    States(GetWindowLongPtrW(window, GWL_STYLE), states);
    const UINT commands[5] = {SC_MOVE, SC_SIZE, SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE};
    for (int i = 0; i < 5; ++i)
        EnableMenuItem(menu, commands[i], MF_BYCOMMAND | states[i]);
    return menu;
}

void CKivFrameSystemMenu::Track(HWND window, HMENU menu, POINT at)
{
    const UINT command = static_cast<UINT>(TrackPopupMenu(menu, TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, window, nullptr));
    if (command != 0 && IsWindow(window))
        PostMessageW(window, WM_SYSCOMMAND, command, 0);
}
