#include "CKivHDCMemory.h"

CKivHDCMemory::CKivHDCMemory(HDC reference, int width, int height) : m_refDC(reference)
{
    if (reference == nullptr || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return;
    m_bitmap.Reset(CreateCompatibleBitmap(reference, width, height));
    if (!m_bitmap)
        return;
    m_memDC = CreateCompatibleDC(reference);
    if (m_memDC == nullptr)
    {
        m_bitmap.Reset(nullptr);
        return;
    }
    m_previous = SelectObject(m_memDC, m_bitmap.Get());
    m_width = width;
    m_height = height;
}

CKivHDCMemory::~CKivHDCMemory()
{
    if (m_memDC)
    {
        if (m_previous && m_previous != HGDI_ERROR)
            SelectObject(m_memDC, m_previous);
        DeleteDC(m_memDC);
        m_memDC = nullptr;
    }
    m_bitmap.Reset(nullptr);
    m_refDC = nullptr;
}
