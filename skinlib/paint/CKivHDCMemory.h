#pragma once
#include <windows.h>
#include "CKivGdiObject.h"

// One off-screen drawing surface compatible with a reference context. The
// memory context is deleted before the bitmap, so the bitmap is never deleted
// while it is still selected.
class CKivHDCMemory
{
public:
    CKivHDCMemory(HDC reference, int width, int height);
    virtual ~CKivHDCMemory();
    CKivHDCMemory(const CKivHDCMemory&) = delete;
    CKivHDCMemory& operator=(const CKivHDCMemory&) = delete;

    HDC GetDC() const { return m_memDC; }
    HBITMAP GetBitmap() const { return m_bitmap.Get(); }
    HDC ReferenceDC() const { return m_refDC; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsValid() const { return m_memDC != nullptr; }

    // Sizes above this are refused: a hostile skin must not make us ask for gigabytes.
    static const int kMaxSide = 16384;

private:
    CKivBitmap m_bitmap;
    HDC m_memDC = nullptr;
    HDC m_refDC = nullptr;
    HGDIOBJ m_previous = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// Function-local surface: released on every way out of the function.
class CKivHDCMemoryTemp : public CKivHDCMemory
{
public:
    using CKivHDCMemory::CKivHDCMemory;
};
