#pragma once
#include "CKivScrolledWnd.h"
#include "CKivSolidBrush.h"

struct KivSkinSettings;

// Skin of a list box whose host draws the rows (LBS_OWNERDRAWFIXED,
// LBS_OWNERDRAWVARIABLE). The host's drawing, its items, its item data and
// every message stay as they are. The skin supplies only what the host
// leaves to the system: where its parent answers WM_CTLCOLORLISTBOX with the
// default (the system's window colour), the answer becomes the skin's list
// background, with the DC's text and background colours set to read there
// (the host's own text colour stays), and on a dark background the DC's
// default black pen becomes the white one. That brush is what the control erases
// with behind and beside the rows. A brush the host chose is kept whole. The
// window's scroll bars are drawn in the list's bar colours; the system keeps
// the scrolling.
class CKivHostDrawnList : public CKivScrolledWnd
{
public:
    CKivHostDrawnList() { AnswerPrivateMessage(KIV_WM_CTLCOLOREDIT); }
    ~CKivHostDrawnList() override;

    BOOL Attach(HWND window) override;

    // Takes the list colours of SystemControl\ListBox; false without a window.
    bool Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;
    COLORREF Background() const { return m_background; }
    // Whether a list box of this style gets this skin.
    static bool Takes(LONG_PTR style);

protected:
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // After the host answered its colour message: hostBrush is its own
    // brush, null for the default.
    LRESULT OnCtlColor(HDC dc, HBRUSH hostBrush);

    COLORREF m_background = RGB(255, 255, 255);
    CKivSolidBrush m_brush;
};
