#pragma once
#include "CKivWnd.h"
#include <string>

// Text static skin: the text the control would show, with the control's own
// font, wrapping, alignment and prefix rules, over the skinned dialog
// background. Each paint asks the parent once with WM_CTLCOLORSTATIC, on the
// paint's own DC clipped to the control as the system's static clips it; a
// text colour the parent chooses is kept, and so is a brush of its own (the
// system's default brush gives the skin's background instead). Background
// and text are composed in one memory bitmap and copied in one blit.
// A static the parent draws on keeps that drawing: an SS_SIMPLE static
// draws only its text, as the system's does, and a static without text
// draws nothing but a brush of the parent's.
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
    // What the parent's colour message gave for the last paint.
    struct ParentColours
    {
        COLORREF text = CLR_INVALID;  // CLR_INVALID: the parent kept the default
        HBRUSH brush = nullptr;       // null: the parent kept the default brush
    };

    // Whether this skin takes a static of that type (SS_TYPEMASK bits).
    virtual bool TakesType(LONG type) const;
    // The skin's switch; when off the control paints itself.
    virtual bool Transparent() const;
    // False when the control's own procedure paints this time (nothing of
    // the skin to show).
    virtual bool SkinPaints() { return true; }
    // Whether the background under the content is filled: false leaves what
    // the window already shows (the parent's drawing) in place.
    virtual bool FillsBackground(bool afterChange) const;
    // Whether a brush of the parent's fills the area under the content.
    virtual bool UsesParentBrush() const;
    // Draws the content over the background already in dc (client-sized).
    virtual void Compose(HDC dc, const RECT& client);
    // One paint into dc. askParent sends the colour message first; without
    // it the colours of the last paint are used (the control's own muted
    // drawing has just asked).
    void Paint(HDC dc, bool askParent, bool afterChange = false);

    const ParentColours& Colours() const { return m_colours; }

private:
    LRESULT OnPaintMessage(HDC dc);
    // A message the control may answer by drawing itself: its drawing is
    // kept off the screen, and the skin shows the change the same way.
    LRESULT RouteQuietly(UINT message, WPARAM wParam, LPARAM lParam);
    // Sends WM_CTLCOLORSTATIC with dc and notes what the parent chose.
    void AskParent(HDC dc);
    // The window text, whole.
    std::wstring Text() const;

    ParentColours m_colours;
};
