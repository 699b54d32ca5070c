#pragma once
#include "CKivWindow.h"

class CKivMdiFrame;

// A document window inside a CKivMdiFrame. It brings its own menu, which the
// frame shows while the child is active. Children are created with new and
// delete themselves when their window is destroyed.
class CKivMdiChild : public CKivWindow
{
public:
    // menu and windowMenu are shared by all children of one kind and stay owned by the caller.
    HWND CreateChild(CKivMdiFrame& frame, const wchar_t* className, const wchar_t* title, HMENU menu,
                     HMENU windowMenu, DWORD style = 0);

    CKivMdiFrame* Frame() const { return m_frame; }
    HMENU Menu() const { return m_menu; }
    HMENU WindowMenu() const { return m_windowMenu; }

protected:
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMdiActivate(HWND deactivated, HWND activated) override;
    void OnFinalMessage() override;

private:
    CKivMdiFrame* m_frame = nullptr;
    HMENU m_menu = nullptr;
    HMENU m_windowMenu = nullptr;
};
