#pragma once
#include "CKivWnd.h"

// Group box skin: a rounded frame line in the skin's colour and width with
// the caption set into a gap of the top line. It draws only the line and
// the caption; the inside belongs to the parent and to the sibling controls.
// Keys go on to the control: only its look is the skin's.
class CKivGroupBox : public CKivWnd
{
public:
    CKivGroupBox() = default;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;

    // Frame inset from the client edges, and where the caption starts.
    static const int kInsetLeft = 5;
    static const int kInsetTop = 7;
    static const int kInsetRight = 5;
    static const int kInsetBottom = 5;
    static const int kCaptionX = 13;
    // Room kept after the caption's advance width for its smoothed edge.
    static const int kCaptionOverhang = 2;

protected:
    // Composes frame and caption over what dc already shows, in one blit.
    virtual void Paint(HDC dc);

private:
    LRESULT OnGroupPaint(HDC dc);
    LRESULT OnGroupEnable(WPARAM enabled, LPARAM lParam);
    LRESULT OnGroupSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrintClient(HDC dc);
};
