#pragma once
#include <functional>
#include "CKivDirectBase.h"
#include "CKivDpiScale.h"
#include "CKivScrollBarPaint.h"

// A drawn scroll bar inside a rectangle of its host. It never keeps a
// position of its own: the owner hands it what the real scroll bar holds
// (SetInfo) and hears every scroll request through the notify callback, which
// decides how the real control moves. Mouse handling follows the system bar:
// arrows and track repeat while held, the thumb drags with a 150-pixel
// sideways snap-back, and a release ends with SB_THUMBPOSITION (after a drag)
// and SB_ENDSCROLL. Its lengths (arrows, the shortest thumb, the snap-back
// distance) are the skin's at 96 DPI, scaled to the host window's DPI.
class CKivDirectScrollBar : public CKivDirectBase
{
public:
    enum Part
    {
        PartNone = 0,
        PartThumb = 1,
        PartForward = 2,   // down or right arrow
        PartBack = 3,      // up or left arrow
        PartPageBack = 4,  // track before the thumb
        PartPageForward = 5
    };
    using Colours = CKivScrollBarPaint::Colours;
    // Where a thumb lies along the bar, in element-local pixels.
    struct Layout
    {
        int arrow = 0;       // length of each arrow button
        int track = 0;       // length between the arrows
        int thumbStart = 0;  // from the element's start; 0 when there is no thumb
        int thumbLength = 0;
    };
    // code is an SB_ request; position the full 32-bit position it concerns.
    using Notify = std::function<void(int code, int position)>;

    static const UINT_PTR kRepeatTimer = 0x1410;
    static const UINT kFirstRepeatMs = 300;
    static const UINT kRepeatMs = 5;
    static const int kMinThumb = 10;
    static const int kSnapBack = 150;

    CKivDirectScrollBar() = default;

    // Feeds one host message; returns 1 when the bar took it (the owner then
    // keeps it from the control), 0 otherwise.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    int SetBounds(int x, int y, int width, int height) override;

    // What the real scroll bar holds. No thumb shows until the first call,
    // nor while the range leaves nothing to scroll. Repaints when it changed.
    void SetInfo(int minimum, int maximum, UINT page, int position);
    void SetHorizontal(bool horizontal) { m_horizontal = horizontal; }
    void SetColours(const Colours& colours) { m_colours = colours; }
    void SetNotify(Notify notify) { m_notify = std::move(notify); }
    // When set the bar paints itself on the host's window DC (it then may lie
    // in the non-client area); otherwise only through Draw.
    void SetSelfPainting(bool selfPainting) { m_selfPainting = selfPainting; }
    // Off for a host that already holds the mouse (a drop-down list).
    void SetUseCapture(bool useCapture) { m_useCapture = useCapture; }
    // Whether the last SetInfo changed anything.
    bool InfoChanged() const { return m_infoChanged; }

    // Composes the whole bar and copies it to dc at (x, y) in one blit.
    void Draw(HDC dc, int x, int y) const;
    // Paints on the host's window DC at the bar's place.
    void Repaint() const;

    Layout Measure() const;
    // The host's DPI scale, which every length of the bar is drawn at.
    CKivDpiScale Scale() const;
    int PartAt(POINT local) const;
    // The position a thumb start (element-local) stands for.
    int PositionAt(int thumbStart) const;

    bool Dragging() const { return m_dragging; }
    int PressedPart() const { return m_dragging ? m_part : PartNone; }
    // Whether a thumb drag is on, up to and including its SB_THUMBPOSITION.
    bool Tracking() const { return (m_dragging && m_part == PartThumb) || m_reportingTrack; }
    // The position the dragged thumb shows; the committed one otherwise.
    int TrackPosition() const { return Tracking() ? m_trackPos : m_pos; }
    int Position() const { return m_pos; }
    bool HasThumb() const { return Measure().thumbLength > 0; }
    bool Horizontal() const { return m_horizontal; }

private:
    LRESULT OnPress(LPARAM lParam);
    LRESULT OnDrag();
    LRESULT OnRelease();
    LRESULT OnRepeat();
    void Stop(bool notify);
    void Request(int code, int position);
    int StepCode(int part) const;
    bool OnPressedPart() const;
    int MainSize() const { return m_horizontal ? m_width : m_height; }
    long long LastPosition() const;

    int m_min = 0;
    int m_max = 0;
    UINT m_page = 0;
    int m_pos = 0;
    bool m_infoSet = false;
    bool m_horizontal = false;
    int m_arrowSize = 18;
    int m_part = PartNone;
    bool m_dragging = false;
    POINT m_down = {};
    int m_dragStart = 0;   // thumb start when the drag began
    int m_dragThumb = 0;   // thumb start shown while dragging
    int m_trackPos = 0;
    int m_pressPos = 0;    // position when the button went down
    bool m_reportingTrack = false;
    bool m_selfPainting = true;
    bool m_useCapture = true;
    bool m_infoChanged = false;
    Colours m_colours;
    Notify m_notify;
};
