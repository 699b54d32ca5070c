#pragma once
#include <windows.h>

// GetDC / ReleaseDC.
class CKivClientDC
{
public:
    explicit CKivClientDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~CKivClientDC()
    {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    CKivClientDC(const CKivClientDC&) = delete;
    CKivClientDC& operator=(const CKivClientDC&) = delete;
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};
