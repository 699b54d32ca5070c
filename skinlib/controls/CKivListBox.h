#pragma once
#include <string>
#include "CKivDirectScrollBar.h"
#include "CKivSolidBrush.h"
#include "CKivWindowScrollBars.h"
#include "CKivWnd.h"

struct KivSkinSettings;

// List box skin. The control keeps everything a list is: items, item data,
// sorting, selection, caret, top index, keyboard, mouse and notifications;
// every message goes on to it. The skin only paints: the rows it reads back
// from the control (count, top index, item rectangles, texts, selection,
// caret) in the skin's colours with texts in black or white, whichever reads
// on the row, a one-pixel border, a drawn vertical scroll bar of the skin's
// width at the place of the control's own one (its text area narrowed when
// the drawn bar is the wider), and the horizontal bar in the skin's colours.
// A brush or text colour the parent chooses in WM_CTLCOLORLISTBOX is kept.
// Owner-draw lists and LBS_NODATA / multi-column lists keep the system look
// (Attach refuses them).
class CKivListBox : public CKivWnd
{
public:
    struct Look
    {
        COLORREF border = 0;
        COLORREF background = 0xFFFFFF;
        COLORREF select = 0xFF9933;
        CKivDirectScrollBar::Colours bar;
        int barWidth = 0;  // the drawn vertical bar's width; 0: the system's
    };
    // What the rows show: the background, the text on it, the selection.
    struct RowColours
    {
        HBRUSH hostBrush = nullptr;  // the parent's own brush, if it chose one
        COLORREF background = 0;
        COLORREF text = 0;
        COLORREF grayText = 0;
        COLORREF select = 0;
        COLORREF selectText = 0;
    };

    // A drop-down shows no more rows than this, unless its combo box was
    // asked for more visible items (CB_SETMINVISIBLE).
    static const int kMaxDropDownRows = 20;

    CKivListBox() { AnswerPrivateMessage(KIV_WM_CTLCOLOR); }

    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    LRESULT OnEraseBkgnd(HDC dc) override;

    // Copies the SystemControl\ListBox group; false without a window.
    bool Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;
    void SetLook(const Look& look);
    const Look& GetLook() const { return m_look; }
    // Marks the list as the drop-down of that combo box (set before Attach);
    // null: not a drop-down.
    void SetDropDown(HWND combo) { m_combo = combo; }
    bool IsDropDown() const { return m_combo != nullptr; }
    // Whether a window of this style is drawn by the skin.
    static bool Skinnable(LONG_PTR style);

    // Draws the rows that meet area (client coordinates) into dc.
    void Paint(HDC dc, const RECT& area);
    // The colours of the rows, the parent asked on dc what it chooses.
    RowColours ColoursFor(HDC dc);
    const CKivDirectScrollBar& Bar() const { return m_bar; }
    const CKivWindowScrollBars& HorizontalBar() const { return m_horizontal; }
    // The brush answered for message 25: one per object.
    HBRUSH BackgroundBrush();
    // An item's text as the control holds it; empty for a bad index.
    std::wstring ItemText(int index);

private:
    LRESULT Forward(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCtlColor(HDC dc);
    LRESULT OnListPaint(HDC dc);
    LRESULT OnListNcPaint(WPARAM region);
    LRESULT OnNcPress(UINT message, WPARAM hitTest, LPARAM lParam);
    LRESULT OnBarMouse(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnClientPress(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnPrint(WPARAM dc, LPARAM flags);
    LRESULT OnPosChanging(WPARAM wParam, LPARAM lParam);
    LRESULT OnLayoutChange(UINT message, WPARAM wParam, LPARAM lParam);
    void OnBarRequest(int code, int position);
    // Puts the drawn bar where the control's vertical scroll bar is: at its
    // right edge, as wide as the skin says.
    void PlaceBar();
    // The control's own vertical bar (client coordinates); false when hidden.
    bool SystemBarRect(RECT* client) const;
    // The drawn bar and, where it is narrower, the rest of the system's strip.
    void RepaintBar();
    void PaintBarStrip(HDC windowDc, POINT clientOrigin);
    // The window the control asks for its colours.
    HWND HostParent() const;
    // Hands the control's scroll information to the drawn bar.
    void SyncBar();
    // Whether the skin draws the whole non-client area itself.
    bool FrameIsOurs() const;
    void DrawBorder();
    static bool ChangesLook(UINT message);

    CKivDirectScrollBar m_bar;
    CKivWindowScrollBars m_horizontal;
    Look m_look;
    HWND m_combo = nullptr;
    CKivSolidBrush m_brush;
};
