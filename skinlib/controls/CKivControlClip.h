#pragma once
#include <windows.h>
#include "CKivGdiObject.h"

// Clips a DC to a control's client area for the length of one paint, as the
// system's controls clip before they ask their parent for colours, and puts
// the DC's own clip region (or none) back afterwards.
class CKivControlClip
{
public:
    CKivControlClip(HDC dc, const RECT& area);
    ~CKivControlClip();
    CKivControlClip(const CKivControlClip&) = delete;
    CKivControlClip& operator=(const CKivControlClip&) = delete;

private:
    HDC m_dc;
    CKivRegion m_saved;
};
