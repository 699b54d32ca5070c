#pragma once
#include <windows.h>
#include "CKivGdiObject.h"

// One solid brush kept for a colour that rarely changes: made on first use
// and again only when the colour differs, so answering colour messages holds
// exactly one brush.
class CKivSolidBrush
{
public:
    HBRUSH Get(COLORREF colour)
    {
        if (!m_brush || m_colour != colour)
        {
            m_brush.Reset(CreateSolidBrush(colour));
            m_colour = colour;
        }
        return m_brush.Get();
    }

private:
    CKivBrush m_brush;
    COLORREF m_colour = 0;
};
