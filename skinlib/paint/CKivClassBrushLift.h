#pragma once
#include <windows.h>

// While one of these lives, the window's class has no background brush, so
// the system's default WM_ERASEBKGND handling erases nothing and answers 0.
// The brush is put back when it goes, also when the host's handler throws
// through it. Classes without a brush are left untouched.
class CKivClassBrushLift
{
public:
    explicit CKivClassBrushLift(HWND window);
    ~CKivClassBrushLift();
    CKivClassBrushLift(const CKivClassBrushLift&) = delete;
    CKivClassBrushLift& operator=(const CKivClassBrushLift&) = delete;
    // The class's brush (or a system colour index + 1), null when it has none.
    HBRUSH Brush() const { return reinterpret_cast<HBRUSH>(m_brush); }

private:
    HWND m_window = nullptr;
    ULONG_PTR m_brush = 0;
};
