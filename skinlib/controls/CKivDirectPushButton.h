#pragma once
#include "CKivDirectButton.h"

// A drawn button that stays pressed while checked, as one tab of a drawn tab
// strip. A press inside it checks it (radio mode) or toggles it, and posts
// KIV_WM_DRAWNBUTTONCLICK with its element id to the host.
class CKivDirectPushButton : public CKivDirectButton
{
public:
    CKivDirectPushButton() = default;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Sets the check; the next paint shows it.
    void SetChecked(int checked) { m_checked = checked ? 1 : 0; }
    // Sets the check and paints the matching state (pressed or normal).
    void CheckAndPaint(int checked);
    int Checked() const { return m_checked; }
    void SetRadioMode(int radio) { m_radioMode = radio; }
    int TabIndex() const { return m_tabIndex; }
    void SetTabIndex(int index) { m_tabIndex = index; }

    // The state a plain repaint shows.
    int RestingState() const { return m_checked ? StatePressed : StateNormal; }

private:
    LRESULT OnPress();

    int m_checked = 0;
    int m_radioMode = 0;
    int m_tabIndex = 0;
};
