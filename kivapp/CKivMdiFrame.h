#pragma once
#include "CKivWindow.h"

class CKivMdiChild;

// The frame of a multi-document program: an MDI client between an optional
// toolbar on top and an optional status bar at the bottom. Commands go to the
// active child first, then to the frame's own table.
class CKivMdiFrame : public CKivWindow
{
public:
    // menu: the frame's menu while no child is open; windowMenu: its popup that
    // lists the children (may be null).
    HWND CreateFrame(const wchar_t* className, const wchar_t* title, DWORD style, HMENU menu, HMENU windowMenu);

    HWND MdiClient() const { return m_client; }
    CKivMdiChild* ActiveChild() const;
    int ChildCount() const;

    void SetToolBar(HWND toolBar) { m_toolBar = toolBar; }
    void SetStatusBar(HWND statusBar) { m_statusBar = statusBar; }
    HWND ToolBar() const { return m_toolBar; }
    HWND StatusBar() const { return m_statusBar; }
    // Shows or hides a bar and lays the frame out again.
    void ShowBar(HWND bar, bool show);
    bool IsBarVisible(HWND bar) const { return bar && (GetWindowLongPtrW(bar, GWL_STYLE) & WS_VISIBLE); }
    void RecalcLayout();

    // Puts the menu of the active child, or the frame's own when none is active.
    void ShowMenuFor(CKivMdiChild* child);
    // Greys the toolbar buttons whose commands nobody handles now.
    void UpdateToolBar();

    bool RouteCommand(UINT id) override;
    bool QueryCommand(UINT id, bool& enabled, bool& checked) const override;

protected:
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(CREATESTRUCTW* create) override;
    LRESULT OnSize(UINT type, int width, int height) override;
    LRESULT OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT OnInitMenuPopup(HMENU menu, UINT index, bool systemMenu) override;
    // Destroys the children first, while the MDI client still keeps their list.
    LRESULT OnDestroy() override;

private:
    HWND m_client = nullptr;
    HWND m_toolBar = nullptr;
    HWND m_statusBar = nullptr;
    HMENU m_menu = nullptr;
    HMENU m_windowMenu = nullptr;
};
