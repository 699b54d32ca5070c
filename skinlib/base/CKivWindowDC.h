#pragma once
#include <windows.h>

// GetWindowDC / ReleaseDC: the whole window including the frame.
class CKivWindowDC
{
public:
    explicit CKivWindowDC(HWND window) : m_window(window), m_dc(GetWindowDC(window)) {}
    ~CKivWindowDC()
    {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    CKivWindowDC(const CKivWindowDC&) = delete;
    CKivWindowDC& operator=(const CKivWindowDC&) = delete;
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};
