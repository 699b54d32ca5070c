#pragma once
#include "CKivWnd.h"
#include <commctrl.h>

struct KivSkinSettings;

// Trackbar skin: the system trackbar keeps its behaviour and draws its tics;
// the thumb and the channel are flat colours drawn through the custom-draw
// notifications the parent's skin hands back to the control. The thumb state
// is tracked here: selected while the trackbar holds the mouse after a press
// on the thumb, hot while the cursor is over the thumb, default otherwise.
class CKivSliderControl : public CKivWnd
{
public:
    enum ThumbState
    {
        ThumbDefault = 0,
        ThumbHot = 1,
        ThumbSelected = 2
    };

    CKivSliderControl() = default;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDown(WPARAM wParam, LPARAM lParam) override;
    void OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(WPARAM wParam, LPARAM lParam) override;
    void OnMouseLeave() override;
    // Copies the thumb and channel colours of the skin; true.
    bool Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;

    int Thumb() const { return m_thumb; }

private:
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnCustomDraw(const NMCUSTOMDRAW& draw);
    // Flat thumb in the colour of its state.
    void DrawThumb(HDC dc, const RECT& thumb) const;
    // The dialog background under the control, then the flat channel.
    void DrawChannel(HDC dc, const RECT& channel) const;
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    // Whether a client point lies on the thumb as the control places it now.
    bool OnThumb(LPARAM point);
    // Records the state and has the trackbar repaint when it changed.
    void ShowThumb(int state);
    void TrackLeave();

    int m_thumb = ThumbDefault;
    bool m_tracking = false;
    COLORREF m_thumbDefault = 0;
    COLORREF m_thumbHot = 0;
    COLORREF m_thumbSelect = 0;
    COLORREF m_channel = 0;
};
