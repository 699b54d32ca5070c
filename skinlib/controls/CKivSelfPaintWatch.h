#pragma once
#include <windows.h>

// Notes whether a control drew itself straight onto the screen while it
// handled a message its skin passed on. Such drawing is announced by the
// control's colour message, which reaches the skin with the DC: Mute empties
// that DC's clip region, so nothing of the system look shows, and the skin
// repaints once the message is done.
class CKivSelfPaintWatch
{
public:
    // Calls pass (the message on its way to the control); painted tells
    // whether Mute was called meanwhile.
    template <typename Pass>
    LRESULT Watch(Pass pass, bool* painted)
    {
        ++m_depth;
        const bool outer = m_painted;
        m_painted = false;
        const LRESULT answer = pass();
        --m_depth;
        if (painted != nullptr)
            *painted = m_painted;
        m_painted = outer;
        return answer;
    }
    // For a colour message's DC: muted only while a passed-on message runs.
    void Mute(HDC dc)
    {
        if (m_depth <= 0 || dc == nullptr)
            return;
        IntersectClipRect(dc, 0, 0, 0, 0);
        m_painted = true;
    }

private:
    int m_depth = 0;
    bool m_painted = false;
};
