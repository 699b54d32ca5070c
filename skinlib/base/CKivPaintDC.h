#pragma once
#include <windows.h>

// BeginPaint / EndPaint.
class CKivPaintDC
{
public:
    explicit CKivPaintDC(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    ~CKivPaintDC()
    {
        if (m_dc)
            EndPaint(m_window, &m_paint);
    }
    CKivPaintDC(const CKivPaintDC&) = delete;
    CKivPaintDC& operator=(const CKivPaintDC&) = delete;
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    const PAINTSTRUCT& Paint() const { return m_paint; }

private:
    HWND m_window;
    HDC m_dc = nullptr;
    PAINTSTRUCT m_paint = {};
};
