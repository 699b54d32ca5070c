#include "CKivHostColours.h"
#include "CKivTextContrast.h"
#include "CKivWnd.h"

HBRUSH CKivHostColours::DefaultBrush(UINT message)
{
    return GetSysColorBrush(message == WM_CTLCOLORSTATIC ? COLOR_3DFACE : COLOR_WINDOW);
}

COLORREF CKivHostColours::SolidColour(HBRUSH brush)
{
    LOGBRUSH info = {};
    if (brush == nullptr || GetObjectW(brush, sizeof(info), &info) != sizeof(info) || info.lbStyle != BS_SOLID)
        return CLR_INVALID;
    return info.lbColor & 0x00FFFFFF;
}

CKivHostColours CKivHostColours::Read(HDC dc, LRESULT answer, UINT message)
{
    CKivHostColours colours;
    const COLORREF text = dc != nullptr ? GetTextColor(dc) : CLR_INVALID;
    if (text != CLR_INVALID && text != GetSysColor(COLOR_WINDOWTEXT))
        colours.text = text;
    const HBRUSH brush = reinterpret_cast<HBRUSH>(answer);
    const COLORREF solid = SolidColour(brush);
    // A hollow brush shows what lies under the control: nothing of the host's.
    if (brush != nullptr && brush != DefaultBrush(message) && solid != CLR_INVALID)
    {
        colours.brush = brush;
        colours.brushColour = solid;
    }
    return colours;
}

CKivHostColours CKivHostColours::Ask(HWND parent, UINT message, HDC dc, HWND control)
{
    if (dc == nullptr || parent == nullptr)
        return CKivHostColours();
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const LRESULT answer = CKivWnd::AskHostColours(parent, message, dc, control);
    return Read(dc, answer, message);
}

COLORREF CKivHostColours::TextOn(COLORREF background) const
{
    if (text != CLR_INVALID)
        return text;
    return CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(background));
}
