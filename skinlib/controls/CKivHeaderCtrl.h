#pragma once
#include "CKivCommonCtrl.h"

// Header skin (a header control of its own, or the one of every list view):
// each item drawn as the skin's push button picture (hot and pressed as the
// button's), its image, bitmap, sort arrow and text laid out as the control
// lays them out, the text in the colour that reads on that picture; the bar
// behind and beside the items. The control keeps its layout, hit tests,
// tracking, drag and drop, filters and notifications; its custom draw reaches
// the host in the control's own order. Items the host draws itself (owner
// draw, or custom draw that changes the item) keep the host's drawing. Where
// the parent has no skin to hand custom draw over, the skin paints its items
// over the control's as long as the host leaves all drawing to the control.
class CKivHeaderCtrl : public CKivCommonCtrl
{
public:
    CKivHeaderCtrl() = default;
    ~CKivHeaderCtrl() override;

protected:
    bool ExpectsCustomDraw() override { return true; }
    LRESULT PrepaintFlags() const override { return CDRF_NOTIFYITEMDRAW; }
    void PaintBackground(HDC dc, const RECT& client) override;
    void PaintOver(HDC dc, const RECT& client) override;
    void BeforeItem(NMCUSTOMDRAW& draw) override;
    LRESULT ItemAnswer(NMCUSTOMDRAW& draw, LRESULT hostAnswer, bool hostAsked) override;
    Unfiltered PaintUnfiltered(HDC dc, const RECT& client, const CKivCustomDrawWatch& heard) override;
    bool PaintsWithoutHandover() const override { return true; }

private:
    enum class State
    {
        Normal,
        Hot,
        Pressed
    };
    State ItemState(const NMCUSTOMDRAW& draw);
    State ItemStateAt(int index, bool mayBePressed);
    void DrawItem(HDC dc, int index, const RECT& bounds, State state);
    void DrawContent(HDC dc, int index, RECT bounds, COLORREF text, COLORREF grayText);
    // Right edge of the rightmost item (the control fills the rest itself).
    int ItemsRight();

    // DC colours set before the host's item stage, to see whether it changed them.
    COLORREF m_offeredText = 0;
    COLORREF m_offeredBack = 0;
};
