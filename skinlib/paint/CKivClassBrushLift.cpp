#include "CKivClassBrushLift.h"

CKivClassBrushLift::CKivClassBrushLift(HWND window)
    : m_window(window)
    , m_brush(window ? GetClassLongPtrW(window, GCLP_HBRBACKGROUND) : 0)
{
    if (m_brush)
        SetClassLongPtrW(m_window, GCLP_HBRBACKGROUND, 0);
}

CKivClassBrushLift::~CKivClassBrushLift()
{
    if (m_brush && IsWindow(m_window))
        SetClassLongPtrW(m_window, GCLP_HBRBACKGROUND, static_cast<LONG_PTR>(m_brush));
}
