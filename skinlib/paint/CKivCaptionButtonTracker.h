#pragma once
#include <windows.h>
#include "KivFrameMetrics.h"

class CKivWindowPaint;

// Follows the mouse over a skinned frame's caption buttons: the hover and
// pressed pictures, drawn straight onto the window; the capture held while a
// button is pressed; and the release that completes a press on the same
// button. The press state stays in the frame, whose members keep their
// order; a tracker is made for one message and works on that state.
class CKivCaptionButtonTracker
{
public:
    // Caption button identities (the frame's Button values).
    enum Button
    {
        NoButton = -1,
        CloseButton = 0,
        MaxButton = 1,
        MinButton = 3
    };
    // The frame's press state.
    struct PressState
    {
        int& pressed;  // 1 while a button is held down (with the capture)
        int& pressedButton;  // the button last pressed or hovered
        bool& releasePending;  // a release on the pressed button is on its way
    };

    // skin may be null (no pictures drawn).
    CKivCaptionButtonTracker(HWND window, const KivFrameMetrics& metrics, CKivWindowPaint* skin, PressState state)
        : m_window(window), m_metrics(metrics), m_skin(skin), m_state(state)
    {
    }

    // The button under a screen point; a disabled close is none.
    int HitTest(POINT screen) const;
    // Shows each button in its state: the one under screen (null: none) in
    // state (1 hover, 2 pressed; null: 0), the others normal. A press takes
    // the capture. Returns 1 when the point is on a button.
    int Track(const POINT* screen, const int* state);
    // While the capture is held: the pressed button shows pressed only while
    // the mouse is on it.
    void OnCapturedMouseMove();
    // The capture ends; a release on the pressed button is posted as the
    // non-client release that acts.
    void OnCapturedButtonUp();
    // The button a non-client release at screen completes, NoButton when it
    // completes no press; the pending release is used up.
    int TakeRelease(POINT screen);
    // The press ends without acting (the window loses its caption or goes).
    void CancelPress();
    // The point lies on a close button that is disabled.
    bool OverDisabledClose(POINT screen) const;

    // False when the close command is greyed in the system menu or the class has CS_NOCLOSE.
    static bool CloseEnabled(HWND window);
    // Both edges inside.
    static bool InBox(POINT p, const KivButtonBox& box);

private:
    HWND m_window;
    const KivFrameMetrics& m_metrics;
    CKivWindowPaint* m_skin;
    PressState m_state;
};
