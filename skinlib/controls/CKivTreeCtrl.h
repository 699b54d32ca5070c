#pragma once
#include "CKivViewCtrl.h"

struct KivSkinSettings;

// Tree view skin: the skin's border colour and background colour, with
// black or white item text, whichever reads on it. Colours the host gives
// the control itself (TVM_SETBKCOLOR, TVM_SETTEXTCOLOR) are the host's
// choice and win: the control shows them, and the skin gives the text a
// colour that reads on the host's background where the host chose none.
// A selected item, which the control would show on a colour of the
// system's (the highlight, or the face colour of a selection shown without
// the focus), lies on the skin's selection colour instead, with the text
// that reads there; the skin takes the custom draw its skinned parent hands
// back for that. An item whose colours the host set in its own custom draw
// keeps them. The host's own parent is asked exactly what it would
// be asked unskinned. The control's own colours come back at detach.
class CKivTreeCtrl : public CKivViewCtrl
{
public:
    CKivTreeCtrl() = default;
    ~CKivTreeCtrl() override;

    // Takes the tree view colours; 1 when attached.
    int Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;

    COLORREF BackColor() const { return m_backColor; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void AfterNcPaint() override;
    void RestoreControl() override;
    bool TakesItemStages() override;
    void ColourItem(NMCUSTOMDRAW* draw) override;
    std::pair<COLORREF, COLORREF> ItemColours(const NMCUSTOMDRAW* draw) const override;

private:
    // A colour the host sets or reads: the set goes to the control and the
    // host's choice stands from then on; a read answers the host's view.
    LRESULT OnHostColour(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyColours();
    // The control paints; under a parent that does not hand the custom draw
    // back, the selected item then goes on the skin's selection colour
    // unless the host took part in the custom draw.
    LRESULT OnTreePaint(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintSelection(HDC dc);

    COLORREF m_backColor = 0;
    COLORREF m_select = 0;
    // The control's colours before the skin (-1: the system colour).
    LRESULT m_originalBackColor = -1;
    LRESULT m_originalTextColor = -1;
    bool m_changedBackColor = false;
    bool m_changedTextColor = false;
    // The host chose these itself.
    bool m_hostBackColor = false;
    bool m_hostTextColor = false;
};
