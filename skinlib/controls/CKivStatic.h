#pragma once
#include "CKivWnd.h"

// Text static skin: the text the control would show, with the control's own
// wrapping, alignment and prefix rules, over the skinned dialog background.
// Background and text are composed in one memory bitmap and copied in one
// blit, so a new text never lands on the old one. The text colour is the one
// the parent gives through WM_CTLCOLORSTATIC, or the skin's dialog text
// colour where the parent leaves the system's default (grey when disabled).
// Owner-draw, metafile, rectangle, frame and etched statics are not taken
// over: they paint themselves.
class CKivStatic : public CKivWnd
{
public:
    CKivStatic() = default;

    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;

    // DrawText flags the control itself uses for a style.
    static UINT TextFormat(LONG style);

protected:
    // Whether this skin takes a static of that type (SS_TYPEMASK bits).
    virtual bool TakesType(LONG type) const;
    // The skin's switch; when off the control paints itself.
    virtual bool Transparent() const;
    // Draws the content over the background already in dc (client-sized).
    virtual void Compose(HDC dc, const RECT& client);
    // Background and content in one memory bitmap, one blit to dc.
    void Paint(HDC dc);

private:
    LRESULT OnPaintMessage(HDC dc);
    // A message the control answers by drawing itself: its drawing is kept
    // off the screen, then the skin repaints.
    LRESULT RouteQuietly(UINT message, WPARAM wParam, LPARAM lParam);
    // The text colour for the memory dc, asked of the parent.
    COLORREF TextColour(HDC dc) const;
};
