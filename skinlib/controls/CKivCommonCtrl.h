#pragma once
#include <windows.h>
#include <commctrl.h>
#include <map>
#include "CKivWnd.h"

class CKivCustomDrawWatch;

// Base of the skins of common controls that keep their own drawing code (tool
// bars, rebars, status bars, headers, tooltips). The skin prepares a memory
// bitmap with its background, the control paints into it with its own code,
// so every notification it sends on the way (custom draw stages, owner-draw
// requests, colour messages) reaches its parent as it would unskinned, the
// skin paints over what the control left in the system's colours, and the
// bitmap reaches the screen in one blit. WM_PAINT with a DC and
// WM_PRINTCLIENT take the same path into the given DC.
//
// Custom draw: while the control paints for the skin, its own NM_CUSTOMDRAW
// notifications come back from the parent's skin first. The skin asks the
// parent's own procedure once and answers for it, adding item stages the host
// did not ask for; those extra stages never reach the host. A host that
// answers an item stage itself keeps what it asked for. Where no parent skin
// hands the notifications over (the parent is not skinned), the skin cannot
// choose the control's text colours, and the control keeps its system look.
class CKivCommonCtrl : public CKivWnd
{
public:
    CKivCommonCtrl() = default;
    ~CKivCommonCtrl() override;

    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // False once the control turned out to paint without its parent handing
    // its custom draw over: it keeps its own look then.
    bool ShowsSkin() const { return !m_systemLook; }

protected:
    // Whether the control's paint sends custom draw notifications the skin
    // relies on to choose its colours (none handed over: the system look).
    virtual bool ExpectsCustomDraw() { return false; }
    // The skin's background under the control's own painting.
    virtual void PaintBackground(HDC dc, const RECT& client) = 0;
    // What the skin paints over the control's own painting.
    virtual void PaintOver(HDC dc, const RECT& client);
    // Where no parent skin handed the control's custom draw over: Skin when
    // the skin painted its look over the control's default drawing here (the
    // host having left every stage to the control), Control when what the
    // control drew covers everything and is shown as it is, Again when the
    // control must paint once more by itself. Control and Again keep the
    // system look from then on.
    enum class Unfiltered
    {
        Skin,
        Control,
        Again
    };
    virtual Unfiltered PaintUnfiltered(HDC dc, const RECT& client, const CKivCustomDrawWatch& heard);
    // Whether the skin can paint over the control's default drawing at all
    // (else a control whose parent has no skin keeps its own look).
    virtual bool PaintsWithoutHandover() const { return false; }
    // The window the control sends its notifications to: its parent at
    // creation, or the one a TB_SETPARENT or RB_SETPARENT named since.
    HWND NotifyWindow() const;
    // Whether the window the control notifies has a skin to hand its custom
    // draw over.
    bool ParentHandsOver() const;
    // Passes a message that names the control's new notification window on.
    LRESULT PassSetParent(UINT message, WPARAM wParam, LPARAM lParam);
    // Around the control's own painting: state the skin lends the control
    // for that time only (and gives back, so the host never reads it).
    virtual void PrepareControl();
    virtual void RestoreControl();

    // Custom draw of the control's items while it paints for the skin. The
    // flags the skin adds to the host's CDDS_PREPAINT answer (it then sees the
    // item stages); 0 for none.
    virtual LRESULT PrepaintFlags() const { return 0; }
    // An item stage before the host sees it (when it asked for items) or
    // instead of it: the skin sets its colours or draws the item.
    virtual void BeforeItem(NMCUSTOMDRAW& draw);
    // The answer for an item stage, given the host's answer (0 when the host
    // did not ask for items, hostAsked false). Must not be 0.
    virtual LRESULT ItemAnswer(NMCUSTOMDRAW& draw, LRESULT hostAnswer, bool hostAsked);
    // An item's post-paint stage that the skin asked for.
    virtual void AfterItem(NMCUSTOMDRAW& draw);
    // Every custom draw stage before the filter above: true with an answer
    // takes the stage over (for controls that notify every item unasked).
    virtual bool TakeCustomDraw(NMCUSTOMDRAW& draw, LRESULT* answer);

    // Asks the host (the parent's own procedure) for its answer to a custom
    // draw stage being handed over; false when nothing is handed over.
    bool AskHost(NMCUSTOMDRAW& draw, LRESULT* answer);
    // The control keeps its own look from now on.
    void UseSystemLook();
    // True while the control paints into the skin's bitmap.
    bool Painting() const { return m_painting; }
    // The host's answer to the current paint's CDDS_PREPAINT.
    LRESULT HostPrepaintAnswer() const { return m_hostPrepaint; }
    // Paints the control again at once (after a state only the skin shows changed).
    void Repaint();

    // The control's own font (WM_GETFONT), or the default GUI font.
    HFONT ControlFont();

private:
    LRESULT OnPaintMessage(HDC dc);
    LRESULT OnEraseMessage(WPARAM dc, LPARAM lParam);
    LRESULT OnOwnNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnCustomDraw(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetRedraw(WPARAM wParam, LPARAM lParam);
    // Whether the control paints as itself now.
    bool SystemLookNow();
    // Paints the whole client area into target, or only the update region.
    void PaintInto(HDC target, HRGN update = nullptr);

    bool m_painting = false;
    bool m_systemLook = false;
    bool m_sawCustomDraw = false;
    bool m_redraw = true;
    LRESULT m_hostPrepaint = 0;
    LPARAM m_asking = 0;
    HWND m_notify = nullptr;
    WPARAM m_notifyWParam = 0;  // of the custom draw notification being handled
    // Host answers to item stages of the current paint, by item.
    std::map<DWORD_PTR, LRESULT> m_hostItems;
};
