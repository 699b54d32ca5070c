#pragma once
#include <windows.h>

// A DC that goes back with ReleaseDC(window, dc): the ways of getting one
// differ only in the call that gets it (Traits::Acquire), each its own type.
template <typename Traits>
class CKivReleasedDC
{
public:
    explicit CKivReleasedDC(HWND window) : m_window(window), m_dc(Traits::Acquire(window)) {}
    ~CKivReleasedDC()
    {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    CKivReleasedDC(const CKivReleasedDC&) = delete;
    CKivReleasedDC& operator=(const CKivReleasedDC&) = delete;
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};
