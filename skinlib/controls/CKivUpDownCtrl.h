#pragma once
#include "CKivWnd.h"

// Up-down skin: the two buttons drawn flat in the skin's scroll bar colours
// (the pressed one in its slider colours), each with an arrow in the colour
// that reads on it, and the strip the control keeps beside an edit buddy in
// the same colours. Buttons are laid out as the control lays them out. The
// control keeps its behaviour: values, acceleration, buddy updates, arrow
// keys, capture and timers, and every notification.
class CKivUpDownCtrl : public CKivWnd
{
public:
    CKivUpDownCtrl() = default;
    ~CKivUpDownCtrl() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The two button rectangles in client coordinates, as the control has them.
    void ButtonRects(RECT* increment, RECT* decrement);

private:
    enum Arrow
    {
        None = 0,
        Increment = 1,
        Decrement = 2
    };
    LRESULT OnPaintMessage(UINT message, HDC dc);
    LRESULT OnEraseMessage(WPARAM dc, LPARAM lParam);
    LRESULT OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC target);
    Arrow ArrowAt(POINT point);
    // The arrow the control shows pressed now.
    Arrow PressedArrow();
    bool HasBuddyBorder(HWND buddy) const;

    Arrow m_mouseArrow = None;
};
