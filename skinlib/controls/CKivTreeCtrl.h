#pragma once
#include "CKivViewCtrl.h"

struct KivSkinSettings;

// Tree view skin: the skin's border colour and background colour, with
// black or white item text, whichever reads on it; the control's own colours
// come back at detach.
class CKivTreeCtrl : public CKivViewCtrl
{
public:
    CKivTreeCtrl() = default;
    ~CKivTreeCtrl() override;

    // Takes the tree view colours; 1 when attached.
    int Setup(const KivSkinSettings& settings);

    COLORREF BackColor() const { return m_backColor; }
    // While the skin's colours stand, the host reads and sets its own.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void AfterNcPaint() override;
    void RestoreControl() override;

private:
    // The host's colour for get, or the previous host colour for set.
    static LRESULT HostColor(LRESULT& kept, UINT message, LPARAM lParam);

    COLORREF m_backColor = 0;
    // The control's colour before the skin (-1: the system colour).
    LRESULT m_originalBackColor = -1;
    LRESULT m_originalTextColor = -1;
    bool m_changedBackColor = false;
};
