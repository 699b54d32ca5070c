#pragma once
#include <windows.h>
#include <utility>
#include <commctrl.h>
#include "CKivScrolledWnd.h"

struct KivSkinSettings;

// Shared part of the list view and tree view skins: the controls draw their
// items themselves; the skin puts a one-pixel border in a skin colour over
// the frame after every non-client paint, draws the scroll bars in the
// skin's colours (the system keeps the scrolling), and keeps the control's
// own notifications, handed back by the parent's skin, away from it. Of the
// custom draw the parent's skin hands back, a skin that colours items takes
// the item stages of a paint: the host's own parent is asked exactly what it
// would be asked unskinned, and the skin adjusts what the host left.
class CKivViewCtrl : public CKivScrolledWnd
{
public:
    CKivViewCtrl() = default;
    ~CKivViewCtrl() override;

    BOOL Detach() override;

    COLORREF BorderColor() const { return m_borderColor; }

protected:
    void SetBorderColor(COLORREF colour) { m_borderColor = colour; }
    void TakeScrollBarColours(const KivSkinSettings& settings) { Bars().TakeColours(settings); }
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DecorateFrame() override { DrawBorder(); }
    // Before the base lets go: put back what the skin changed.
    virtual void RestoreControl() {}
    // At the start of a paint (CDDS_PREPAINT): whether the skin colours its items.
    virtual bool TakesItemStages() { return false; }
    // One item about to be drawn (CDDS_ITEMPREPAINT) that the host left to
    // the control: the skin's colours go into the structure.
    virtual void ColourItem(NMCUSTOMDRAW* /*draw*/) {}
    // The text and text background colours an item stage carries.
    virtual std::pair<COLORREF, COLORREF> ItemColours(const NMCUSTOMDRAW* /*draw*/) const { return {0, 0}; }
    // Paints frame and client again (after a settings change or detach).
    void RedrawAll() const;

private:
    // Our own NM_CUSTOMDRAW, handed back by the skinned parent; 0 leaves it
    // to the parent's own procedure.
    LRESULT OnOwnCustomDraw(WPARAM wParam, LPARAM lParam);
    // The parent's own procedure's answer to the notification.
    LRESULT AskHost(WPARAM wParam, LPARAM lParam);
    void DrawBorder() const;
    static void RedrawWhole(HWND window);

    COLORREF m_borderColor = 0;
    // Set at CDDS_PREPAINT for the paint under way: the skin takes its item
    // stages, and whether the host asked for them itself.
    bool m_takesItems = false;
    bool m_hostItems = false;
};
