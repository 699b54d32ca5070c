#include "CKivControlClip.h"

CKivControlClip::CKivControlClip(HDC dc, const RECT& area) : m_dc(dc)
{
    if (m_dc == nullptr)
        return;
    m_saved.Reset(CreateRectRgn(0, 0, 0, 0));
    // GetClipRgn answers 1 only for a clip region of the DC's own.
    if (m_saved && GetClipRgn(m_dc, m_saved) != 1)
        m_saved.Reset(nullptr);
    IntersectClipRect(m_dc, area.left, area.top, area.right, area.bottom);
}

CKivControlClip::~CKivControlClip()
{
    if (m_dc != nullptr)
        SelectClipRgn(m_dc, m_saved.Get());
}
