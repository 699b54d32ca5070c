#pragma once
#include <windows.h>

// What a host chose in answer to a control's colour message (WM_CTLCOLOR*):
// a text colour it set on the DC, and a brush of its own. A skin keeps every
// colour the host chose and fills in only what it left at the default,
// picking the text colour by contrast with the background actually shown.
class CKivHostColours
{
public:
    COLORREF text = CLR_INVALID;         // CLR_INVALID: the host kept the default
    HBRUSH brush = nullptr;              // null: the default, a hollow brush or none
    COLORREF brushColour = CLR_INVALID;  // the brush's colour when it is a solid one

    // Reads the answer: dc was preset with the system's window text colour
    // before the host saw it; answer is the brush the host returned.
    static CKivHostColours Read(HDC dc, LRESULT answer, UINT message);
    // Asks the host what it answers for the control (see CKivWnd::AskHostColours).
    static CKivHostColours Ask(HWND parent, UINT message, HDC dc, HWND control);
    // The system's default answer to a colour message.
    static HBRUSH DefaultBrush(UINT message);
    // The colour of a solid brush; CLR_INVALID for any other kind.
    static COLORREF SolidColour(HBRUSH brush);

    // The host's text colour, else black or white, whichever reads on background.
    COLORREF TextOn(COLORREF background) const;
};
