#pragma once
#include <windows.h>

// A drawn sub-element: not a window but a rectangle of a host window's
// client area. The host's skin object feeds it every message of the host
// and the element draws itself onto the host and tracks the mouse there.
class CKivDirectBase
{
public:
    CKivDirectBase() = default;
    virtual ~CKivDirectBase() = default;
    CKivDirectBase(const CKivDirectBase&) = delete;
    CKivDirectBase& operator=(const CKivDirectBase&) = delete;

    // Stores the bounds (host client coordinates) and the host; returns 1.
    virtual int Init(int x, int y, int width, int height, HWND host);
    // Called by the owner for every message of the host before it handles
    // the message itself. The base captures the mouse on the host for a
    // left press inside the element and releases it at the left release.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Makes point element-local; when isScreen the point is first taken
    // from screen to host client coordinates. 0 for a null point or a
    // failed conversion.
    virtual int ToLocal(POINT* point, int isScreen) const;
    // 1 when the local point lies inside (right and bottom exclusive).
    virtual int HitTest(POINT local) const;
    // Moves the element; 0 when nothing changed. The old rectangle of the
    // host is invalidated.
    virtual int SetBounds(int x, int y, int width, int height);
    // Whether the mouse of this message lies over the element: the point
    // of mouse and button messages, the cursor for KIV_WM_DRAWNBUTTONCLICK;
    // other messages answer 1 untested.
    virtual int IsMouseOver(UINT message, WPARAM wParam, LPARAM lParam) const;

    HWND Host() const { return m_host; }
    RECT Bounds() const { return RECT{m_x, m_y, m_x + m_width, m_y + m_height}; }
    int ElementId() const { return m_elementId; }
    void SetElementId(int id) { m_elementId = id; }
    bool Captured() const { return m_captured != 0; }

protected:
    // Client coordinates of a mouse message's lParam.
    static POINT PointFromLParam(LPARAM lParam);

    int m_elementId = 0;
    HWND m_host = nullptr;
    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
    int m_captured = 0;
};
