#pragma once
#include "CKivDirectBase.h"

// The drawn progress element: the fill of a progress bar drawn from the
// skin, for the range and position the bar shows. The values are the
// control's, handed over before each paint.
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

    // The range and position to show, without painting.
    void Show(int minimum, int maximum, int position);
    int Pos() const { return m_pos; }
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    // An empty bar shows no fill whatever its position: a fresh bar and one
    // whose range just changed are empty until a position is set.
    void SetEmpty(bool empty) { m_empty = empty; }
    bool ShowsEmpty() const { return m_empty; }

    // Pixels of length filled for a position; 0 outside the range.
    static int FillLength(int minimum, int maximum, int position, int length);

    // Draws the element onto the host at its bounds through one memory bitmap.
    void Repaint();
    // Draws the element into dc, whose origin is the host's client origin.
    void Paint(HDC dc) const;

private:
    int m_horizontal = 0;
    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
    COLORREF m_progressColor = 0xF0A0A0;
    RECT m_progressPic = {};
    int m_enablePic = 0;
    bool m_empty = true;
};
