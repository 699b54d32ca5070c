#pragma once
#include "CKivDirectBase.h"

// The drawn progress element: range, position and step of a progress bar,
// and its fill drawn from the skin. The model answers as the common control
// does (previous values from the setters, the position always inside the
// range); 64-bit arithmetic keeps ranges up to INT_MIN..INT_MAX exact.
class CKivDirectProgress : public CKivDirectBase
{
public:
    CKivDirectProgress() = default;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Base handling, then a repaint whether or not the bounds changed.
    int SetBounds(int x, int y, int width, int height) override;
    // Init with the orientation: horizontal 1 fills left to right, 0 bottom to top.
    virtual int Init6(int x, int y, int width, int height, HWND host, int horizontal);

    // Fill colour, fill picture (atlas rectangle) and whether the picture is used.
    void SetLook(COLORREF colour, const RECT& picture, int enablePicture);
    void SetHorizontal(int horizontal) { m_horizontal = horizontal ? 1 : 0; }
    int Horizontal() const { return m_horizontal; }

    // Each returns what the matching PBM_ message answers.
    LRESULT SetRange(int minimum, int maximum);
    LRESULT SetPos(int position);
    LRESULT DeltaPos(int delta);
    LRESULT SetStep(int step);
    LRESULT StepIt();
    int Pos() const { return m_pos; }
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Step() const { return m_step; }
    // True while no position was set since creation or the last range change.
    bool ShowsEmpty() const { return m_empty; }

    // Pixels of length filled for a position; 0 outside the range.
    static int FillLength(int minimum, int maximum, int position, int length);

    // Draws the element onto the host at its bounds through one memory bitmap.
    void Repaint();
    // Draws the element into dc, whose origin is the host's client origin.
    void Paint(HDC dc) const;

private:
    // Takes a new position, clamped to the range; answers the previous one.
    LRESULT MoveTo(long long position);

    int m_horizontal = 0;
    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
    int m_step = 10;
    COLORREF m_progressColor = 0xF0A0A0;
    RECT m_progressPic = {};
    int m_enablePic = 0;
    // The bar shows no fill until a position is set: a fresh bar and one
    // whose range just changed are empty, whatever the position reads.
    bool m_empty = true;
};
