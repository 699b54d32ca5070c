#pragma once
#include <windows.h>

// Selects an object into a DC and puts the previous one back on scope exit, so
// an object is never deleted while it is still selected.
class CKivSelectObject
{
public:
    CKivSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~CKivSelectObject()
    {
        if (m_dc && m_previous && m_previous != HGDI_ERROR)
            SelectObject(m_dc, m_previous);
    }
    CKivSelectObject(const CKivSelectObject&) = delete;
    CKivSelectObject& operator=(const CKivSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
