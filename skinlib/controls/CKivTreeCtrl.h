#pragma once
#include "CKivViewCtrl.h"

struct KivSkinSettings;

// Tree view skin: the skin's border colour and background colour, with
// black or white item text, whichever reads on it; the control's own colours
// come back at detach. A selected item of a tree that shows its selection
// without the focus lies on the system's face colour instead: while the tree
// has no focus, the skin takes the item stage of the custom draw its skinned
// parent hands back, and gives such an item a text colour that reads there.
// The host's own parent is asked exactly what it would be asked unskinned.
class CKivTreeCtrl : public CKivViewCtrl
{
public:
    CKivTreeCtrl() = default;
    ~CKivTreeCtrl() override;

    // Takes the tree view colours; 1 when attached.
    int Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;

    COLORREF BackColor() const { return m_backColor; }
    // While the skin's colours stand, the host reads and sets its own.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void AfterNcPaint() override;
    void RestoreControl() override;

private:
    // Our own NM_CUSTOMDRAW, handed back by the skinned parent; 0 leaves it
    // to the parent's own procedure.
    LRESULT OnOwnCustomDraw(WPARAM wParam, LPARAM lParam);
    // The parent's own procedure's answer to the notification.
    LRESULT AskHost(WPARAM wParam, LPARAM lParam);
    // The host's colour for get, or the previous host colour for set.
    static LRESULT HostColor(LRESULT& kept, UINT message, LPARAM lParam);

    COLORREF m_backColor = 0;
    // The control's colour before the skin (-1: the system colour).
    LRESULT m_originalBackColor = -1;
    LRESULT m_originalTextColor = -1;
    bool m_changedBackColor = false;
    // Set at CDDS_PREPAINT for the paint under way: the skin takes its item
    // stages, and whether the host asked for them itself.
    bool m_takesItems = false;
    bool m_hostItems = false;
};
