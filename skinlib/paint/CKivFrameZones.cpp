#include "CKivFrameZones.h"
#include "CKivGraphics.h"

BOOL CKivFrameZones::ZoneRect(const KivFrameMetrics& m, int zone, RECT* out)
{
    if (out == nullptr || zone < 1 || zone > kZoneCount)
        return FALSE;
    const int L = m.borderLeft, T = m.borderTop, R = m.borderRight, B = m.borderBottom;
    const int C = m.captionHeight, M = m.menuBarHeight;
    const int W = m.rightBorderRect.right, H = m.leftBorderRect.bottom, X = W - R;
    const int boxes[kZoneCount][4] = {
        {0, C + T, L, H - 2 * C - B - T},  {C + L, 0, X - 2 * C - L, T},     {X, C + T, R, H - 2 * C - B - T},
        {C + L, H - B, X - 2 * C - L, B},  {0, 0, L, C + T},                 {L, 0, C, T},
        {0, H - C - B, L, C + B},          {L, H - B, C, B},                 {X - C, 0, C, T},
        {X, 0, R, C + T},                  {X, H - C - B, R, C + B},         {X - C, H - B, C, B},
        {L, T, X - L, C},                  {L, T + C + M, X - L, H - B - (T + C + M)}, {L, T + C, X - L, M},
    };
    const int* box = boxes[zone - 1];
    *out = RECT{box[0], box[1], box[0] + box[2], box[1] + box[3]};
    return TRUE;
}

LRESULT CKivFrameZones::HitTest(const KivFrameMetrics& metrics, POINT p, bool canSize, int* zone)
{
    static const LRESULT codes[kZoneCount] = {HTLEFT,     HTTOP,         HTRIGHT,       HTBOTTOM,      HTTOPLEFT,
                                              HTTOPLEFT,  HTBOTTOMLEFT,  HTBOTTOMLEFT,  HTTOPRIGHT,    HTTOPRIGHT,
                                              HTBOTTOMRIGHT, HTBOTTOMRIGHT, HTCAPTION,  HTCLIENT,      HTMENU};
    for (int index = 1; index <= kZoneCount; ++index)
    {
        RECT r = {};
        ZoneRect(metrics, index, &r);
        if (r.right < r.left || r.bottom < r.top)
            continue;
        if (CKivGraphics::PtInRectInclusive(p.x, p.y, r.left, r.top, r.right, r.bottom))
        {
            if (zone)
                *zone = index;
            return canSize || index >= 13 ? codes[index - 1] : HTNOWHERE;
        }
    }
    if (zone)
        *zone = 0;
    return -1;
}
