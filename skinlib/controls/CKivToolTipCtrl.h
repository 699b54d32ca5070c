#pragma once
#include "CKivCommonCtrl.h"

// Tooltip skin: the list colours of the skin for the tip's background and
// border, and the text colour that reads on them. The tip paints itself with
// its own layout, titles, icons and balloon shape; the skin lends it these
// colours for the time it paints, so a host that set colours of its own (or
// asks for them) keeps exactly what it set. Showing, hiding, tracking,
// relaying and every notification stay the control's.
class CKivToolTipCtrl : public CKivCommonCtrl
{
public:
    CKivToolTipCtrl() = default;
    ~CKivToolTipCtrl() override;

    void OnNcPaint() override;

protected:
    void PaintBackground(HDC dc, const RECT& client) override;
    void PrepareControl() override;
    void RestoreControl() override;

private:
    // True when the host left both colours at the system's defaults.
    bool HostColoursAreDefault();

    bool m_lent = false;
    COLORREF m_hostBack = 0;
    COLORREF m_hostText = 0;
};
