#include "CKivPaint.h"

CKivPaint::CKivPaint(HWND window, HDC given, ContextKind kind) : m_hdc(given), m_hwnd(window), m_kind(kind) {}

CKivPaint::~CKivPaint()
{
    ReleaseContext();
}

HDC CKivPaint::Context()
{
    if (m_hdc == nullptr && m_hwnd != nullptr && IsWindow(m_hwnd))
    {
        m_hdc = m_kind == WindowContext ? GetWindowDC(m_hwnd) : nullptr;
        if (m_hdc == nullptr)
            m_hdc = GetDC(m_hwnd);
        m_owned = m_hdc != nullptr;
    }
    return m_hdc;
}

void CKivPaint::ReleaseContext()
{
    if (m_owned && m_hdc && m_hwnd)
        ReleaseDC(m_hwnd, m_hdc);
    if (m_owned)
        m_hdc = nullptr;
    m_owned = false;
}
