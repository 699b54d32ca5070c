#pragma once
#include <windows.h>

// The vertical scroll bar of a builder pane. Today a standard SCROLLBAR
// child (the engine skins it like any other); the pane only talks to it
// through this class, so a drawn bar can take its place without touching
// the panes. It reports to the pane through WM_VSCROLL.
class CKivPaneScrollBar
{
public:
    CKivPaneScrollBar() = default;
    ~CKivPaneScrollBar();
    CKivPaneScrollBar(const CKivPaneScrollBar&) = delete;
    CKivPaneScrollBar& operator=(const CKivPaneScrollBar&) = delete;

    bool Create(HWND pane, int x, int y, int width, int height);
    void Move(int x, int y, int width, int height);
    // Range minimum..maximum, page and position, as the pane counts rows.
    void Set(int minimum, int maximum, int page, int position);
    int Position() const;
    HWND Handle() const { return m_hwnd; }

    // The row a WM_VSCROLL asks for, from the current position and the
    // pane's visible row count; -1 when the code moves nothing.
    int TargetRow(UINT code, int trackPosition, int visible) const;

private:
    HWND m_hwnd = nullptr;
};
