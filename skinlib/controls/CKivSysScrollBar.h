#pragma once
#include "CKivDirectScrollBar.h"
#include "CKivWnd.h"

struct KivSkinSettings;

// Skin of a SCROLLBAR control. The control keeps range, page, position and
// the keyboard; every SBM_ message goes on to it and the drawn bar shows what
// SBM_GETSCROLLINFO answers. The mouse is the drawn bar's: it sends the
// parent WM_HSCROLL or WM_VSCROLL as the control would and leaves moving the
// position to the parent. While the thumb is dragged, SIF_TRACKPOS answers
// the full 32-bit track position. Size boxes and grips keep the system look.
class CKivSysScrollBar : public CKivWnd
{
public:
    CKivSysScrollBar() = default;

    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    LRESULT OnEraseBkgnd(HDC dc) override;

    // Copies the five bar colours of the bar's direction; false without a window.
    bool Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;

    const CKivDirectScrollBar& Bar() const { return m_bar; }

private:
    LRESULT OnScrollMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnGetScrollInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouse(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnPrintClient(HDC dc);
    // WM_PAINT: into the DC in wParam, else through the paint cycle.
    LRESULT OnPaintMessage(HDC dc);
    LRESULT OnSized(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnFocusChange(UINT message, WPARAM wParam, LPARAM lParam);
    void OnBarRequest(int code, int position);
    // The enabled state a redrawing SBM_SETSCROLLINFO gives the control.
    void FollowArrowState(const SCROLLINFO* info);
    // The five bar colours of the bar's direction.
    void TakeColours(const KivSkinSettings& settings);
    // Reads range, page and position back from the control.
    void Refresh();

    CKivDirectScrollBar m_bar;
    bool m_horizontal = false;
};
