#pragma once
#include <string>
#include <vector>
#include "CKivCommonCtrl.h"
#include "CKivCommonLook.h"

// Status bar skin: the bar picture behind the parts, the parts' borders in
// the skin's line colour, their icons and texts (tab-separated left, centre
// and right pieces, as the control lays them out) in the bar's text colour,
// and a drawn size grip. Parts the host draws itself (SBT_OWNERDRAW) keep
// what the host drew in answer to the control's own WM_DRAWITEM, and a
// background colour the host set (SB_SETBKCOLOR) stays, with texts that read
// on it.
class CKivStatusBarCtrl : public CKivCommonCtrl
{
public:
    CKivStatusBarCtrl() = default;
    ~CKivStatusBarCtrl() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void PaintBackground(HDC dc, const RECT& client) override;
    void PaintOver(HDC dc, const RECT& client) override;

private:
    struct Part
    {
        RECT bound;
        UINT style;
        HICON icon;
        std::wstring text;
    };
    // The parts as the control holds them now: one in simple mode.
    std::vector<Part> ReadParts();
    void DrawPart(HDC dc, const Part& part) const;
    void DrawGrip(HDC dc, const RECT& client, COLORREF colour) const;
    bool ShowsGrip() const;
    // The surface behind the parts: the bar, or the host's own colour.
    CKivCommonLook::Surface Ground() const;

    COLORREF m_hostBack = CLR_DEFAULT;
};
