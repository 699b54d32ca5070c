#pragma once
#include "CKivCommonCtrl.h"

// Rebar skin: one bar picture across the whole rebar (the tool bars in its
// bands continue it), band borders in the skin's line colour, and each
// band's gripper, image, title and chevron drawn in the bar's colours. A band
// the host draws itself (its custom draw answered anything) keeps the host's
// drawing; a band with a colour of its own keeps that colour. Band layout,
// dragging, sizing, chevrons and every notification stay the control's.
// Where the parent has no skin to hand the bands' custom draw over, the skin
// paints its band headers over the control's as long as the host leaves all
// drawing to the control.
class CKivReBarCtrl : public CKivCommonCtrl
{
public:
    CKivReBarCtrl() = default;
    ~CKivReBarCtrl() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnNcPaint() override;

protected:
    bool ExpectsCustomDraw() override;
    void PaintBackground(HDC dc, const RECT& client) override;
    bool TakeCustomDraw(NMCUSTOMDRAW& draw, LRESULT* answer) override;
    Unfiltered PaintUnfiltered(HDC dc, const RECT& client, const CKivCustomDrawWatch& heard) override;
    bool PaintsWithoutHandover() const override { return true; }

private:
    // The skin's bar, band colours and band borders.
    void PaintBar(HDC dc, const RECT& client);
    // The band whose rectangle starts where the custom draw rectangle does.
    int BandAt(const RECT& drawn);
    void DrawBandHeader(HDC dc, int band, const RECT& drawn);
};
