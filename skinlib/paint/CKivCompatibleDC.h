#pragma once
#include <windows.h>

// CreateCompatibleDC / DeleteDC.
class CKivCompatibleDC
{
public:
    explicit CKivCompatibleDC(HDC reference) : m_dc(CreateCompatibleDC(reference)) {}
    ~CKivCompatibleDC()
    {
        if (m_dc)
            DeleteDC(m_dc);
    }
    CKivCompatibleDC(const CKivCompatibleDC&) = delete;
    CKivCompatibleDC& operator=(const CKivCompatibleDC&) = delete;
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    HDC m_dc;
};
