#include "CKivPaneBase.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivPaintDC.h"
#include "CKivSelectObject.h"
#include "KivBuilderMessages.h"
#include <algorithm>

CKivPaneBase::CKivPaneBase(const wchar_t* className)
{
    m_className = className;
}

CKivPaneBase::~CKivPaneBase() = default;

bool CKivPaneBase::Create(int x, int y, int width, int height, HWND parent)
{
    if (!CreateEx(m_title.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP, 0, x, y, width, height,
                  parent, nullptr, nullptr, FALSE))
        return false;
    m_scrollBar.Create(m_hwnd, width - kScrollWidth - kMargin, kMargin + kTitleHeight, kScrollWidth,
                       height - 2 * kMargin - kTitleHeight);
    UpdateScrollBar();
    return true;
}

void CKivPaneBase::SetTitle(const std::wstring& title)
{
    m_title = title.substr(0, MAX_PATH - 1);
    if (m_hwnd)
    {
        SetWindowTextW(m_hwnd, m_title.c_str());
        RECT bar = {kMargin, kMargin, ClientWidth() - kMargin, kMargin + kTitleHeight};
        InvalidateRect(m_hwnd, &bar, FALSE);
        UpdateWindow(m_hwnd);
    }
}

int CKivPaneBase::ClientWidth() const
{
    RECT client = {};
    if (m_hwnd)
        GetClientRect(m_hwnd, &client);
    return client.right;
}

int CKivPaneBase::ClientHeight() const
{
    RECT client = {};
    if (m_hwnd)
        GetClientRect(m_hwnd, &client);
    return client.bottom;
}

int CKivPaneBase::VisibleRowCount() const
{
    const int list = ClientHeight() - 2 * kMargin - kTitleHeight;
    return list > 0 ? list / kRowHeight + 1 : 1;
}

int CKivPaneBase::HoldingRow(int row, int step) const
{
    for (; row >= 0 && row < TotalRows(); row += step)
        if (CanHoldCursor(row))
            return row;
    return -1;
}

void CKivPaneBase::SetCursorRow(int row, bool scroll)
{
    if (!CanHoldCursor(row))
        return;
    m_cursor = row;
    if (!scroll)
        return Repaint();
    // Whole rows only: the last visible row may be cut by the bottom edge.
    const int whole = std::max(1, VisibleRowCount() - 1);
    if (row < m_firstRow)
        m_firstRow = row;
    else if (row >= m_firstRow + whole)
        m_firstRow = row - whole + 1;
    UpdateScrollBar();
    Repaint();
}

LRESULT CKivPaneBase::OnGetDlgCode(const MSG* message)
{
    // Enter reaches the pane, not the dialog; Tab still walks the dialog.
    LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT CKivPaneBase::OnKeyDown(UINT key, LPARAM lParam)
{
    const int page = std::max(1, VisibleRowCount() - 1);
    int target = -1;
    switch (key)
    {
    case VK_UP: target = m_cursor < 0 ? HoldingRow(0, 1) : HoldingRow(m_cursor - 1, -1); break;
    case VK_DOWN: target = m_cursor < 0 ? HoldingRow(0, 1) : HoldingRow(m_cursor + 1, 1); break;
    case VK_HOME: target = HoldingRow(0, 1); break;
    case VK_END: target = HoldingRow(TotalRows() - 1, -1); break;
    case VK_PRIOR: target = HoldingRow(std::max(0, m_cursor - page), 1); break;
    case VK_NEXT: target = HoldingRow(std::min(TotalRows() - 1, m_cursor + page), -1); break;
    default:
        OnKey(key);
        return CallDefault(m_hwnd, WM_KEYDOWN, key, lParam);
    }
    if (target >= 0)
        SetCursorRow(target);
    return 0;
}

LRESULT CKivPaneBase::OnSetFocus(WPARAM wParam, LPARAM lParam)
{
    if (!CanHoldCursor(m_cursor))
        m_cursor = HoldingRow(0, 1);
    return OnFocusChange(WM_SETFOCUS, wParam, lParam);
}

void CKivPaneBase::Repaint()
{
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CKivPaneBase::WheelStep(int delta)
{
    // Scrolling stops once fewer rows than fit remain below the first row.
    const int first = m_firstRow;
    if (delta < 0 && first + VisibleRowCount() <= TotalRows())
        m_firstRow = first + 1;
    else if (delta > 0 && first > 0)
        m_firstRow = first - 1;
    else
        return;
    UpdateScrollBar();
    Repaint();
}

int CKivPaneBase::RowIndexAt(POINT point) const
{
    const int top = kMargin + kTitleHeight;
    if (point.y < top || point.x < 0 || point.x >= ClientWidth() - kScrollWidth - kMargin)
        return -1;
    const int row = m_firstRow + (point.y - top) / kRowHeight;
    return row < TotalRows() ? row : -1;
}

void CKivPaneBase::Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    CKivBrush brush(CreateSolidBrush(colour));
    if (brush)
        FillRect(dc, &rect, brush);
}

void CKivPaneBase::Text(HDC dc, const std::wstring& text, RECT rect, COLORREF colour, UINT format)
{
    CKivSelectObject font(dc, CKivGraphics::GetSkinFont(0));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void CKivPaneBase::UpdateScrollBar()
{
    m_scrollBar.Set(0, TotalRows() + 1, VisibleRowCount(), m_firstRow);
}

void CKivPaneBase::OnFirstRow(int row)
{
    const int last = TotalRows() - VisibleRowCount();
    m_firstRow = row > last ? last : row;
    if (m_firstRow < 0)
        m_firstRow = 0;
    UpdateScrollBar();
    Repaint();
}

void CKivPaneBase::Draw(HDC target)
{
    const int width = ClientWidth();
    const int height = ClientHeight();
    if (width <= 0 || height <= 0)
        return;
    CKivHDCMemoryTemp memory(target, width, height);
    if (!memory.IsValid())
        return;
    HDC dc = memory.GetDC();
    Fill(dc, RECT{0, 0, width, height}, kBackground);
    const RECT bar = {kMargin, kMargin, width - kMargin, kMargin + kTitleHeight};
    Fill(dc, bar, GetFocus() == m_hwnd ? kFocusedTitle : kUnfocusedTitle);
    Text(dc, m_title, RECT{bar.left + 10, bar.top, bar.right, bar.bottom}, kTitleText);
    PaintRows(dc, width, height);
    if (GetFocus() == m_hwnd && CanHoldCursor(m_cursor) && m_cursor >= m_firstRow)
    {
        const int top = kMargin + kTitleHeight + (m_cursor - m_firstRow) * kRowHeight;
        RECT frame = {1, top + 2, width - kScrollWidth - kMargin - 1, top + kRowHeight - 1};
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &frame);
    }
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

LRESULT CKivPaneBase::OnPaint()
{
    CKivPaintDC paint(m_hwnd);
    if (paint.Get())
        Draw(paint);
    return 0;
}

LRESULT CKivPaneBase::OnPrintClient(HDC dc)
{
    if (dc)
        Draw(dc);
    return 0;
}

LRESULT CKivPaneBase::OnFocusChange(UINT message, WPARAM wParam, LPARAM lParam)
{
    Repaint();
    return CallDefault(m_hwnd, message, wParam, lParam);
}

LRESULT CKivPaneBase::OnSize(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int width = LOWORD(lParam);
    const int height = HIWORD(lParam);
    m_scrollBar.Move(width - kScrollWidth - kMargin, kMargin + kTitleHeight, kScrollWidth,
                     height - 2 * kMargin - kTitleHeight);
    OnResized();
    UpdateScrollBar();
    Repaint();
    return CKivWndImpl::WindowProc(message, wParam, lParam);
}

LRESULT CKivPaneBase::OnVScroll(UINT code, int track)
{
    const int row = m_scrollBar.TargetRow(code, track, VisibleRowCount());
    if (row >= 0)
        SendMessageW(m_hwnd, WM_KIV_FIRST_ROW, static_cast<WPARAM>(row), 0);
    return 0;
}

LRESULT CKivPaneBase::OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CKivWndImpl::WindowProc(message, wParam, lParam);
}

LRESULT CKivPaneBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_PAINT: return OnPaint();
    case WM_PRINTCLIENT: return OnPrintClient(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return 1;
    case WM_NCHITTEST: return HTCLIENT;
    case WM_SETFOCUS: return OnSetFocus(wParam, lParam);
    case WM_KILLFOCUS: return OnFocusChange(message, wParam, lParam);
    case WM_GETDLGCODE: return OnGetDlgCode(reinterpret_cast<const MSG*>(lParam));
    case WM_KEYDOWN: return OnKeyDown(static_cast<UINT>(wParam), lParam);
    case WM_SIZE: return OnSize(message, wParam, lParam);
    case WM_VSCROLL: return OnVScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
    case WM_KIV_FIRST_ROW: return OnFirstRow(static_cast<int>(wParam)), 0;
    default: return OnPaneMessage(message, wParam, lParam);
    }
}
