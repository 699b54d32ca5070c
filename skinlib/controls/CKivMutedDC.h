#pragma once
#include <windows.h>

// Keeps what a control draws into a DC from showing, for the time the skin
// passes a message on only for what the control sends on the way: the clip
// region is emptied, and restored with the DC's state afterwards.
class CKivMutedDC
{
public:
    explicit CKivMutedDC(HDC dc) : m_dc(dc), m_saved(dc ? SaveDC(dc) : 0)
    {
        if (m_saved)
            IntersectClipRect(dc, 0, 0, 0, 0);
    }
    ~CKivMutedDC()
    {
        if (m_saved)
            RestoreDC(m_dc, m_saved);
    }
    CKivMutedDC(const CKivMutedDC&) = delete;
    CKivMutedDC& operator=(const CKivMutedDC&) = delete;

private:
    HDC m_dc;
    int m_saved;
};
