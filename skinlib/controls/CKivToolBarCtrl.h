#pragma once
#include "CKivCommonCtrl.h"
#include "CKivCommonLook.h"

// Tool bar skin: the bar picture behind the buttons (continuing a rebar's
// bar when the tool bar sits in one), a hot button on the bar's selected
// item picture, pressed and checked buttons on the push button's pressed
// picture, texts and drop-down arrows in the colour that reads on each, and
// separators and the divider in the skin's line colour. Images, layout, hot
// tracking, keyboard, tooltips, drag and drop, customisation and every
// notification stay the control's; its custom draw reaches the host in the
// control's own order. A button the host draws itself keeps its drawing.
class CKivToolBarCtrl : public CKivCommonCtrl
{
public:
    CKivToolBarCtrl() = default;
    ~CKivToolBarCtrl() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnNcPaint() override;

protected:
    bool ExpectsCustomDraw() override { return true; }
    LRESULT PrepaintFlags() const override { return CDRF_NOTIFYITEMDRAW; }
    void PaintBackground(HDC dc, const RECT& client) override;
    void PaintOver(HDC dc, const RECT& client) override;
    void BeforeItem(NMCUSTOMDRAW& draw) override;
    LRESULT ItemAnswer(NMCUSTOMDRAW& draw, LRESULT hostAnswer, bool hostAsked) override;
    void AfterItem(NMCUSTOMDRAW& draw) override;

private:
    struct Offer
    {
        COLORREF text;
        COLORREF textHighlight;
        COLORREF face;
        COLORREF highlight;
    };
    enum class Face
    {
        None,  // the bar shows through
        Hot,
        Pressed
    };
    Face FaceOf(const NMCUSTOMDRAW& draw) const;
    static const CKivCommonLook::Surface& SurfaceOf(Face face);
    struct Arrow
    {
        RECT box;    // empty: the button has no drop-down arrow
        bool whole;  // a whole drop-down button: box is the glyph's place only
    };
    Arrow ArrowOf(const NMCUSTOMDRAW& draw);
    void DrawSeparators(HDC dc, const RECT& client);
    Offer m_offer = {};
    bool m_addedHot = false;
    RECT m_client = {};
};
