#pragma once
#include <windows.h>
#include <vector>
#include "CKivGdiObject.h"

// While one of these lives, the system draws nothing into the window:
// messages whose default handling paints the non-client area directly
// (WM_SETTEXT, WM_SETICON) then leave a skinned frame alone. Drawing is turned
// off the way WM_SETREDRAW does it, without messages to the window, and the
// paint that was pending for the window and its children is kept: Wine's
// WM_SETREDRAW(FALSE) validates it.
class CKivHiddenRedraw
{
public:
    explicit CKivHiddenRedraw(HWND window);
    ~CKivHiddenRedraw();
    CKivHiddenRedraw(const CKivHiddenRedraw&) = delete;
    CKivHiddenRedraw& operator=(const CKivHiddenRedraw&) = delete;

private:
    struct Pending
    {
        HWND window;
        CKivRegion region;
    };
    void Keep(HWND window);
    static BOOL CALLBACK KeepChild(HWND child, LPARAM self);

    HWND m_window = nullptr;
    std::vector<Pending> m_pending;
};
