#pragma once
#include <windows.h>
#include <commctrl.h>
#include <vector>
#include "CKivDirectTabCtrl.h"
#include "CKivOwnerDrawCtrl.h"

struct KivSkinSettings;

// Tab control skin: a drawn strip of flat buttons replaces the control's own
// tabs, each button where the control lays out its item, on the skin's tab
// background. The control keeps its items, selection, focus, keys and
// notifications; a click on the strip goes through the same steps the
// control takes for its own clicks: TCN_SELCHANGING (which may refuse),
// the change, then TCN_SELCHANGE. The area below (beside) the strip lets
// the mouse through to the windows beneath, such as the pages. A tab control
// created owner-drawn (TCS_OWNERDRAWFIXED) stays with its host's drawing.
class CKivTabCtrl : public CKivOwnerDrawCtrl
{
public:
    CKivTabCtrl() = default;
    ~CKivTabCtrl() override;

    BOOL Attach(HWND window) override;
    BOOL Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    LRESULT OnNcHitTest(LPARAM lParam) override;
    LRESULT OnEraseBkgnd(HDC dc) override;
    void OnSize(UINT sizeType, int width, int height) override;

    // Takes the skin's tab colours and repaints; 1 when attached.
    int Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;

    const CKivDirectTabCtrl& Strip() const { return m_strip; }

private:
    LRESULT OnTabSelect(int index);
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseButton(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnStripClick(WPARAM elementId, LPARAM lParam);
    LRESULT OnHotTrack(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnParentNotify(WPARAM wParam, LPARAM lParam);
    // Passes an item change to the control, then builds the strip anew.
    LRESULT OnItemsChanged(UINT message, WPARAM wParam, LPARAM lParam);
    // Passes a message to the control, then shows its selection on the strip.
    LRESULT PassAndFollow(UINT message, WPARAM wParam, LPARAM lParam);
    // The control's own way to a new selection: TCN_SELCHANGING (a non-zero
    // answer keeps the old tab), TCM_SETCURSEL, TCN_SELCHANGE.
    void ChangeSelection(int index);
    LRESULT NotifyParent(UINT code);
    void RebuildButtons();
    // Lays the strip out where the control has its items now.
    void Relayout();
    std::vector<RECT> ItemRects();
    void FollowSelection();
    int ItemCount();
    int CurrentSelection();

    CKivDirectTabCtrl m_strip;
    // The item rectangles the strip was last laid out from.
    std::vector<RECT> m_laidOut;
};
