#pragma once
#include <windows.h>
#include <memory>
#include "CKivCaptionButtonTracker.h"
#include "CKivEffectGlowWnd.h"
#include "CKivFrameZones.h"
#include "CKivIconClickTimer.h"
#include "CKivHDCMemory.h"
#include "CKivMenuBar.h"
#include "CKivThemeWindowPaint.h"
#include "CKivWindowHelper.h"
#include "CKivWnd.h"

// Skin of a top-level window or dialog with a caption bar: the whole
// non-client area (borders, caption, icon, title, caption buttons) is drawn
// from the skin and hit-tested here, the caption buttons tracked by
// CKivCaptionButtonTracker; the system draws none of it.
class CKivFrameWnd : public CKivWnd, public CKivWindowHelper
{
public:
    // Caption button identities: the tracker's.
    using Button = CKivCaptionButtonTracker::Button;
    static constexpr Button NoButton = CKivCaptionButtonTracker::NoButton;
    static constexpr Button CloseButton = CKivCaptionButtonTracker::CloseButton;
    static constexpr Button MaxButton = CKivCaptionButtonTracker::MaxButton;
    static constexpr Button MinButton = CKivCaptionButtonTracker::MinButton;
    static const int kZoneCount = CKivFrameZones::kZoneCount;

    CKivFrameWnd() = default;
    ~CKivFrameWnd() override;

    BOOL Attach(HWND window) override;
    // Lets go of a live window: the region and the size growth of Attach are undone.
    BOOL Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    LRESULT OnNcHitTest(LPARAM lParam) override;
    LRESULT OnEraseBkgnd(HDC dc) override;
    void OnSize(UINT sizeType, int width, int height) override;
    void OnNcPaint() override;
    void OnNcCalcSize(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNcActivate(WPARAM wParam) override;
    void OnActivate(UINT state, HWND other, BOOL minimized) override;
    void OnNcMouseLeave() override;
    void OnNcMouseMove(WPARAM hitTest, LPARAM lParam) override;
    void OnNcLButtonDown(WPARAM hitTest, LPARAM lParam) override;
    void OnNcLButtonUp(WPARAM hitTest, LPARAM lParam) override;
    void OnSizing(WPARAM edge, LPARAM rect) override;
    void OnNcRButtonDown(WPARAM hitTest, LPARAM lParam) override;
    void OnNcRButtonUp(WPARAM hitTest, LPARAM lParam) override;
    void OnDestroy() override;
    void OnSkinChanged(const KivSkinSettings& settings) override;
    // Attached to a window that was shown before: catches up on what the
    // frame does when it sees the window shown, and redraws the frame.
    void OnAttachedWhileShown();

    // 1 when drawn, 0 when the window is not visible.
    int DrawFrameWnd(int updateRegion);
    // The whole frame at window coordinates onto any context; the client area is left alone.
    void PaintFrameTo(HDC target);
    void UpdateRegion();
    LRESULT HitTest(LPARAM lParam);
    // Zone 1 to 15 as (x, y, x + width, y + height), both edges inside.
    BOOL GetZoneRect(int zone, RECT* out);
    LRESULT HitTestZone(LPARAM lParam, int* zone);
    int HitTestButton(POINT screen);
    int TrackCaptionButtons(const POINT* screen, const int* state);
    void ShowSystemMenu(int hitCode, LPARAM lParam);
    // The enable flags of SC_MOVE, SC_SIZE, SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE for a window style.
    static void SystemMenuStates(LONG_PTR style, UINT states[5]);

    const KivFrameMetrics* Metrics() const { return m_metrics; }
    int ActiveState() const { return m_activeState; }
    int Pressed() const { return m_pressed; }
    int PressedButton() const { return m_pressedButton; }
    int Sizing() const { return m_sizing; }
    CKivThemeWindowPaint* Paint() const { return m_paint.get(); }
    CKivMenuBar& MenuBar() { return m_menuBar; }
    // The DPI the frame is measured and drawn at.
    int Dpi() const { return DpiScale().Dpi(); }
    // The minimum tracking size last answered to WM_GETMINMAXINFO.
    POINT MinTrackSize() const { return m_minTrackSize; }
    // The shadow around a top-level frame (no window when the skin hides it).
    CKivEffectGlowWnd& Glow() { return m_glow; }

private:
    void RefreshMetrics();
    // Turns a window rectangle into the client area the skin's frame leaves.
    void FitClientArea(const KivFrameMetrics& metrics, RECT& client) const;
    // Gives a top-level frame its shadow, unless the skin hides shadows.
    void AttachGlow();
    void OnGetMinMaxInfo(MINMAXINFO* info);
    // Holds a window rectangle to the tracking limits the system keeps at moves.
    void KeepTrackingSize(RECT& rect);
    void OnIconClick();
    void OnCapturedMouseMove();
    void OnCapturedButtonUp();
    void OnExitSizeMove();
    LRESULT OnStyleChanged(WPARAM which, LPARAM lParam);
    // The window moved to a monitor of another DPI: new scale, new size, new frame.
    LRESULT OnDpiChanged(WPARAM dpi, const RECT* suggested);
    void SetDpi(int dpi);
    LRESULT OnPopupSystemMenu();
    LRESULT OnPrint(HDC dc, LPARAM flags);
    LRESULT OnCaptionChange(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnNcLButtonDblClk(LPARAM lParam);
    void OnWindowPosChanged(const WINDOWPOS* position);
    bool OnAltSpace(WPARAM command, LPARAM lParam);
    void OnShowWindowDone(WPARAM shown);
    // False when the close command is greyed in the system menu or the class has CS_NOCLOSE.
    bool CloseEnabled() const;
    bool OverDisabledClose(POINT screen);
    // The caption buttons' tracking, on this frame's press state.
    CKivCaptionButtonTracker CaptionButtons();
    // The client area with its scroll bars, in window coordinates.
    RECT InnerRect() const;
    // How far the system's scroll bars reach in from each side of the client
    // area's frame (left, right and bottom; top stays 0).
    RECT ScrollBarSpace() const;
    void DrawClientEdge(HDC target);
    void DrawScrollBars();
    void DrawButtonStrip(HDC target);
    void DrawOutline(HDC target);
    POINT ToWindow(POINT screen) const;
    bool IsMaximized() const;
    // A document window of an MDI client.
    bool IsMdiChild() const;
    // True while the system draws and measures the frame (see the definition).
    bool SystemFramed() const;
    void PassActivationToMdiClient(WPARAM active);
    LONG_PTR Style() const;
    // The double-click time after the first icon click: judged on this thread.
    // One click on the icon, not followed by a second within the double-click time.
    void OnIconSingleClick();
    void StopIconTimer();

    int m_pressed = 0;
    int m_sizing = 0;
    int m_pressedButton = NoButton;
    int m_activeState = 0;
    KivFrameMetrics* m_metrics = nullptr;
    std::unique_ptr<CKivThemeWindowPaint> m_paint;
    // The frame is composed here; kept between paints while the size stays.
    std::unique_ptr<CKivHDCMemory> m_surface;
    CKivMenuBar m_menuBar;
    // Click counting for the icon: a single click opens the system menu.
    CKivIconClickTimer m_iconClick{[this] { OnIconSingleClick(); }};
    // A caption button was released where it was pressed; its action is due.
    bool m_releasePending = false;
    // The window size the region was last made for.
    SIZE m_regionSize = {-1, -1};
    // Whether the region was last made with rounded corners.
    bool m_roundRegion = false;
    POINT m_minTrackSize = {5, 5};
    // What Attach added to each side of the window rectangle.
    RECT m_growth = {};
    // The window has a caption bit, so the skin draws its frame.
    bool m_framed = true;
    // Attach is adjusting a window its host has not laid out yet: the
    // placement messages that causes are not passed on.
    bool m_quietPlacement = false;
    // Stands in while the strategy has no geometry, so nothing reads null.
    KivFrameMetrics m_emptyMetrics = {};
    // Follows the frame by itself; ends at the frame's WM_DESTROY.
    CKivEffectGlowWnd m_glow;
};
