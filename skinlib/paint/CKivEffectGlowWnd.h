#pragma once
#include <windows.h>
#include "CKivShadowSurface.h"
#include "CKivWndImpl.h"

// The soft shadow around a skinned top-level frame: a borderless layered
// window right behind the frame in the z-order, 9 pixels larger on the left and top and 8 on
// the right and bottom, kept in place by a follower subclass on the frame.
//
// The glow never takes activation or focus and never lies over its frame:
// it stays behind it, and its region leaves out the frame's rectangle, so
// clicks there reach the frame. With size control its edges resize the frame through the frame's
// own sizing loop, so the frame's host sees the ordinary notifications;
// without it the glow lets every click through.
class CKivEffectGlowWnd : public CKivWndImpl
{
public:
    enum Zone
    {
        NoZone = -1,
        LeftZone = 0,
        TopZone,
        RightZone,
        BottomZone,
        TopLeftZone,
        TopRightZone,
        BottomRightZone,
        BottomLeftZone,
        kZoneCount
    };
    // How far the glow reaches beyond the frame on each side at 96 DPI; at
    // another DPI the shadow's band is scaled and the leads with it.
    static constexpr int kLeadLeft = 9;
    static constexpr int kLeadTop = 9;
    static constexpr int kLeadRight = 8;
    static constexpr int kLeadBottom = 8;
    // Constant alpha laid over the shadow's own alpha.
    static constexpr BYTE kConstantAlpha = 200;

    CKivEffectGlowWnd() = default;
    ~CKivEffectGlowWnd() override;

    // Creates the glow for frame in colour (0x00BBGGRR) and starts following
    // the frame; it is placed and shown at once when the frame is visible.
    BOOL CreateGlow(HWND frame, COLORREF colour, BOOL sizeControl);
    // Takes a new colour and size control (a new skin): the shadow is drawn
    // again when the colour changed and the glow is shown.
    void SetLook(COLORREF colour, BOOL sizeControl);
    // Ends the glow window and the following; the frame is left as it is.
    void Destroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Called by the follower after the frame moved, sized, or was shown or hidden.
    void FollowOwner();
    // Called by the follower when the frame gets WM_DESTROY.
    void OnOwnerDestroy();

    // The frame's window rectangle grown by the leads (at 96 DPI).
    static RECT GlowRectFor(const RECT& frame);
    // The same at the glow's own DPI.
    RECT GlowRect(const RECT& frame) const;
    // Takes the frame's DPI: the shadow is made again at once when shown.
    void SetDpi(int dpi);
    int Band() const { return m_band; }
    // Zone 0 to 7 at a screen point, or NoZone.
    int ZoneFromPoint(POINT screen) const;
    void UpdateZones();
    // Renders the shadow for the glow's current size and hands it to the window.
    bool RedrawShadow();

    HWND Owner() const { return m_owner; }
    BOOL SizeControl() const { return m_sizeControl; }
    COLORREF ShadowColor() const { return m_shadowColor; }
    // The bitmap last handed to UpdateLayeredWindow.
    const CKivShadowSurface& Surface() const { return m_surface; }

private:
    bool WantsVisible() const;
    bool Place(const RECT& target);
    bool RenderAt(const RECT& target);
    LRESULT OnGeometryChange(UINT message, WPARAM wParam, LPARAM lParam);
    void UpdateRegion();
    LRESULT OnNcHitTest(LPARAM lParam);
    LRESULT OnNcLButtonDown(WPARAM hitTest, LPARAM lParam);
    LRESULT OnPrint(HDC dc);

    HWND m_owner = nullptr;
    BOOL m_sizeControl = FALSE;
    COLORREF m_shadowColor = 0;
    RECT m_edgeZones[4] = {};
    RECT m_cornerZones[8] = {};
    CKivShadowSurface m_surface;
    // The size the region was last made for.
    SIZE m_regionSize = {-1, -1};
    // Width of the shadow's band at the frame's DPI.
    int m_band = CKivShadowSurface::kUnitBand;
    // Re-entry guard: placing the glow can send the frame messages.
    bool m_following = false;
};
