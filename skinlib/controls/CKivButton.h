#pragma once
#include "CKivOwnerDrawCtrl.h"

// Push button skin; also the base of the check box and radio button skins.
// The control's own procedure keeps keyboard, focus, notification and check
// logic. The skin shows a new picture by the same route the control would:
// where the control invalidates itself (common controls 6), its WM_PAINT
// draws the skin; where it paints at once (the system button), its drawing
// is muted and the skin paints at once in its place, without a WM_PAINT.
// A paint tells the parent what the control's own paint would: the colour
// message, and for a common-controls button the NM_CUSTOMDRAW stages from
// CDDS_PREERASE on. They carry a memory DC that holds the picture until it is
// copied to the window in one blit; the control's font is left selected in
// the DC painted into, as the control leaves it. Labels use the control's
// own font (WM_GETFONT), the skin's only where it has none.
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

    // Shows one paint state at once on the window DC (when visible).
    virtual void DrawState(int state);

    int Pressed() const { return m_pressed; }
    int ButtonKind() const { return m_kind; }
    int CheckState() const { return m_checkState; }
    int HighlightState() const { return m_highlightState; }
    int Hot() const { return m_hot; }

    // Longest window text drawn; longer captions are cut.
    static const int kMaxText = 260;

protected:
    // Draws the skin's picture for a paint state over the background that
    // is already in canvas (a client-sized memory DC with the control font
    // selected).
    virtual void PaintContent(HDC canvas, int state);
    // False for a state the skin has no picture for: then nothing is drawn.
    virtual bool HasContent(int) { return true; }
    // The state a plain repaint shows.
    int CurrentState() const { return m_pressed ? StatePressed : StateNormal; }
    // The window text, cut to kMaxText characters; returns its length.
    int ReadText(wchar_t (&text)[kMaxText + 1]) const;
    // The check state the control keeps after BM_SETCHECK with this value.
    int CheckKeptFor(WPARAM check) const;
    // The control's BM_GETSTATE bits, asked of its own procedure.
    LRESULT ControlState();
    // True when the control has the focus as it knows it.
    bool HasFocusState();
    // Window text, transparent, within area; returns the rectangle the text
    // took (for the focus cue).
    RECT DrawWindowText(HDC dc, RECT area, UINT format, COLORREF colour) const;
    // Check box and radio layout: glyph at natural size on the left,
    // vertically centred, text 4 pixels after it, and the focus cue around
    // the text unless the window's UI state hides it.
    void PaintGlyphAndText(HDC canvas, const RECT& glyph);

    // Repaint in answer to a message; skipped while one of our own mouse
    // handlers runs, since that handler paints the final state itself.
    void Repaint(int state);
    // Passes a message on with those answer-repaints held back.
    LRESULT PassQuietly(UINT message, WPARAM wParam, LPARAM lParam);
    // Passes a message on with the control's own drawing muted, then shows
    // state the way the control would have shown its change.
    LRESULT RouteAndShow(UINT message, WPARAM wParam, LPARAM lParam, int state);

    void SetHot(int hot) { m_hot = hot; }
    void SetPressed(int pressed) { m_pressed = pressed; }
    void SetCheckState(int state) { m_checkState = state; }

private:
    LRESULT OnEnable(WPARAM enabled, LPARAM lParam);
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCheck(WPARAM check, LPARAM lParam);
    LRESULT OnSetState(WPARAM highlight, LPARAM lParam);
    LRESULT OnSetFocus(WPARAM previous, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM next, LPARAM lParam);
    LRESULT OnPrintClient(HDC dc);
    LRESULT OnPaintMessage(HDC dc);
    LRESULT OnCaptureChanged(WPARAM wParam, HWND newCapture);
    // Asks for WM_MOUSELEAVE (and hover) for the window.
    void TrackLeave();
    // What a paint tells the parent: everything the control itself would
    // (its colour message and, for a common control, the custom-draw
    // stages), or nothing, where the control's own muted drawing already did.
    enum Notify
    {
        NotifyAsControl,
        NotifyNothing
    };
    // Paints the state on the window DC now, when the window is visible.
    void PaintNow(int state, Notify notify);
    // One paint into dc, composed off-screen and copied in one blit.
    void PaintNotified(HDC dc, int state, Notify notify = NotifyAsControl);
    // The colour message the control sends; notes a text colour the parent
    // chose for the label.
    void AskParentColours(HDC dc);
    UINT CustomDrawItemState();

    const RECT* ChooseFace(int state);

    int m_pressed = 0;
    int m_kind = KindNone;
    int m_checkState = 2;
    int m_highlightState = 0;
    int m_hot = 0;
    int m_quietDepth = 0;
    // UISF_ bits the window's UI state hides (WM_UPDATEUISTATE).
    UINT m_uiState = 0;
    // The control is the common controls' (custom draw, invalidating).
    bool m_commonControl = false;
    // A label colour the parent set in its colour message, or CLR_INVALID.
    COLORREF m_parentText = CLR_INVALID;
    // The state the last change asked for; WM_PAINT shows it.
    int m_paintState = StateNormal;
};
