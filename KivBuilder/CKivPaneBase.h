#pragma once
#include "CKivWndImpl.h"
#include "CKivPaneScrollBar.h"
#include <string>

// What the builder's two panes share: a child window of the library's window
// base with a title bar (orange while it has the focus), a vertical scroll
// bar at the right edge, rows 25 pixels high, and one paint path into a
// memory bitmap that serves WM_PAINT and WM_PRINTCLIENT. Both are tab stops
// of the main dialog and keep a keyboard row (drawn with a focus frame while
// the pane has the focus) that the arrow, Home, End and page keys move; the
// title is also the window text, for tests and screen readers.
class CKivPaneBase : public CKivWndImpl
{
public:
    enum : int
    {
        kTitleHeight = 26,
        kRowHeight = 25,
        kMargin = 0,
        kScrollWidth = 16,
    };
    enum : COLORREF
    {
        kFocusedTitle = 35583,     // 255, 138, 0
        kUnfocusedTitle = 5263440,  // 80, 80, 80
        kBackground = 16777215,
        kTitleText = 16777215,
    };

    explicit CKivPaneBase(const wchar_t* className);
    ~CKivPaneBase() override;

    bool Create(int x, int y, int width, int height, HWND parent);
    // Cut to 259 characters; repainted at once.
    void SetTitle(const std::wstring& title);
    const std::wstring& Title() const { return m_title; }
    int FirstRow() const { return m_firstRow; }
    // The keyboard row, or -1.
    int CursorRow() const { return m_cursor; }
    // Puts the keyboard row on row (when it can hold it) and, unless a click
    // put it there, scrolls it into view.
    void SetCursorRow(int row, bool scroll = true);
    // Rows that fit below the title, the last one possibly cut.
    int VisibleRowCount() const;
    CKivPaneScrollBar& ScrollBar() { return m_scrollBar; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Fills a rectangle with a solid colour; the one brush owner of both panes.
    static void Fill(HDC dc, const RECT& rect, COLORREF colour);
    // Text in the standard skin font, transparent, vertically centred in rect.
    static void Text(HDC dc, const std::wstring& text, RECT rect, COLORREF colour, UINT format = DT_LEFT);

protected:
    // The rows, below the title; dc is the memory bitmap of the whole pane.
    virtual void PaintRows(HDC dc, int width, int height) = 0;
    virtual LRESULT OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnResized() {}
    virtual int TotalRows() const = 0;
    // Whether the keyboard row may rest on row (the list's header may not).
    virtual bool CanHoldCursor(int row) const { return row >= 0 && row < TotalRows(); }
    // Keys other than the moving ones: Enter, Space, F2, Left, Right.
    virtual void OnKey(UINT key) { (void)key; }
    // The first row requested through the scroll bar (message 1234).
    virtual void OnFirstRow(int row);
    // Brings the scroll bar in line with rows and position.
    virtual void UpdateScrollBar();
    void SetFirstRow(int row) { m_firstRow = row; }
    // The rows are gone: no keyboard row until the pane is entered again.
    void ForgetCursor() { m_cursor = -1; }
    // One row down (delta < 0) while rows remain below, or up while above 0.
    void WheelStep(int delta);
    // Index of the row at a client point, or -1.
    int RowIndexAt(POINT point) const;
    void Repaint();
    int ClientWidth() const;
    int ClientHeight() const;

private:
    LRESULT OnPaint();
    LRESULT OnPrintClient(HDC dc);
    LRESULT OnFocusChange(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(UINT code, int track);
    LRESULT OnGetDlgCode(const MSG* message);
    LRESULT OnKeyDown(UINT key, LPARAM lParam);
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    // The nearest row at or beyond row, going in step (+1 or -1), that can
    // hold the cursor; -1 when there is none.
    int HoldingRow(int row, int step) const;
    void Draw(HDC target);

    std::wstring m_title;
    int m_firstRow = 0;
    int m_cursor = -1;
    CKivPaneScrollBar m_scrollBar;
};
