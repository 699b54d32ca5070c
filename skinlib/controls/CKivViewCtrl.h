#pragma once
#include "CKivWnd.h"

// Shared part of the list view and tree view skins: the controls draw their
// items themselves; the skin puts a one-pixel border in a skin colour over
// the frame after every non-client paint, and keeps the control's own
// notifications, handed back by the parent's skin, away from it.
class CKivViewCtrl : public CKivWnd
{
public:
    CKivViewCtrl() = default;
    ~CKivViewCtrl() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnNcPaint() override;
    BOOL Detach() override;

    COLORREF BorderColor() const { return m_borderColor; }

protected:
    void SetBorderColor(COLORREF colour) { m_borderColor = colour; }
    // After the border: the control's background from the skin.
    virtual void AfterNcPaint() {}
    // Before the base lets go: put back what the skin changed.
    virtual void RestoreControl() {}
    // Paints frame and client again (after a settings change or detach).
    void RedrawAll() const;

private:
    void DrawBorder() const;
    static void RedrawWhole(HWND window);

    COLORREF m_borderColor = 0;
};
