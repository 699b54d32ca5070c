#pragma once
#include "CKivOwnerDrawCtrl.h"

// Push button skin; also the base of the check box and radio button skins.
// The control's own procedure keeps keyboard, focus, notification and check
// logic; every visual change invalidates the control and is drawn by its
// WM_PAINT, which sends the parent NM_CUSTOMDRAW as a common-controls button
// does. The control's own drawing of those changes never reaches the screen.
class CKivButton : public CKivOwnerDrawCtrl
{
public:
    enum Kind
    {
        KindNone = 0,
        KindPushButton = 1,
        KindCheckBox = 2,
        KindRadioButton = 3,
        KindGroupBox = 4
    };
    enum PaintState
    {
        StateNormal = 1,
        StateHot = 2,
        StatePressed = 3,
        StateDisabled = 4,
        StateFocused = 5
    };

    CKivButton() = default;

    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDown(WPARAM wParam, LPARAM lParam) override;
    void OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(WPARAM wParam, LPARAM lParam) override;
    void OnMouseLeave() override;
    void OnPaint() override;

    // Shows one paint state: recorded, then drawn at once through WM_PAINT.
    virtual void DrawState(int state);

    int Pressed() const { return m_pressed; }
    int ButtonKind() const { return m_kind; }
    int CheckState() const { return m_checkState; }
    int HighlightState() const { return m_highlightState; }
    int Hot() const { return m_hot; }

    // Longest window text drawn; longer captions are cut.
    static const int kMaxText = 260;

protected:
    // Composes the control for one paint state off-screen and copies it to
    // dc in a single blit; every paint path ends here.
    virtual void Paint(HDC dc, int state);
    // Paint wrapped in the parent's NM_CUSTOMDRAW pre- and post-paint
    // notifications; CDRF_SKIPDEFAULT leaves the drawing to the parent.
    void PaintNotified(HDC dc, int state);
    // The state a plain repaint shows.
    int CurrentState() const { return m_pressed ? StatePressed : StateNormal; }
    // True while the control may still be the focus window but is losing it.
    bool LosingFocus() const { return m_losingFocus; }
    // The window text, cut to kMaxText characters; returns its length.
    int ReadText(wchar_t (&text)[kMaxText + 1]) const;
    // Window text in the control font, transparent, within area.
    void DrawWindowText(HDC dc, RECT area, UINT format, COLORREF colour) const;
    // Check box and radio layout: background, glyph at natural size on the
    // left, vertically centred, text 4 pixels after it; one blit to dc.
    void PaintGlyphAndText(HDC dc, const RECT& glyph) const;

    // Repaint in answer to a message; skipped while one of our own mouse
    // handlers runs, since that handler paints the final state itself.
    void Repaint(int state);
    // Sends or passes on a message with those answer-repaints held back.
    LRESULT SendQuietly(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PassQuietly(UINT message, WPARAM wParam, LPARAM lParam);

    void SetHot(int hot) { m_hot = hot; }
    void SetPressed(int pressed) { m_pressed = pressed; }
    void SetCheckState(int state) { m_checkState = state; }

private:
    LRESULT OnEnable(WPARAM enabled, LPARAM lParam);
    LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCheck(WPARAM check, LPARAM lParam);
    LRESULT OnSetState(WPARAM highlight, LPARAM lParam);
    LRESULT OnSetFocus(WPARAM previous, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM next, LPARAM lParam);
    LRESULT OnPrintClient(HDC dc);
    LRESULT OnPaintMessage(HDC dc);
    LRESULT OnCaptureChanged(WPARAM wParam, HWND newCapture);
    // Passes a message the control answers by painting its system look, then
    // repaints the skin.
    LRESULT RouteAndRepaint(UINT message, WPARAM wParam, LPARAM lParam);
    // Routes a message while the control's own painting is kept off the screen.
    LRESULT RouteMuted(UINT message, WPARAM wParam, LPARAM lParam);
    UINT CustomDrawItemState() const;

    const RECT* ChooseFace(int state) const;

    int m_pressed = 0;
    int m_kind = KindNone;
    int m_checkState = 2;
    int m_highlightState = 0;
    int m_hot = 0;
    bool m_losingFocus = false;
    int m_quietDepth = 0;
    // The state the last DrawState asked for; WM_PAINT shows it.
    int m_paintState = StateNormal;
};
