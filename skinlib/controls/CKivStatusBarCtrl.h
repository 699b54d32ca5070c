#pragma once
#include <string>
#include <vector>
#include "CKivCommonCtrl.h"

// Status bar skin: the bar picture behind the parts, the parts' borders in
// the skin's line colour, their icons and texts (tab-separated left, centre
// and right pieces, as the control lays them out) in the bar's text colour,
// and a drawn size grip. Parts the host draws itself (SBT_OWNERDRAW) keep
// what the host drew in answer to the control's own WM_DRAWITEM.
class CKivStatusBarCtrl : public CKivCommonCtrl
{
public:
    CKivStatusBarCtrl() = default;
    ~CKivStatusBarCtrl() override;

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
    void DrawGrip(HDC dc, const RECT& client) const;
    bool ShowsGrip() const;
};
