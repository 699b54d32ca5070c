#include "CKivPaneScrollBar.h"

CKivPaneScrollBar::~CKivPaneScrollBar()
{
    if (m_hwnd && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
}

bool CKivPaneScrollBar::Create(HWND pane, int x, int y, int width, int height)
{
    m_hwnd = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_VERT, x, y, width,
                             height > 0 ? height : 0, pane, nullptr, GetModuleHandleW(nullptr), nullptr);
    return m_hwnd != nullptr;
}

void CKivPaneScrollBar::Move(int x, int y, int width, int height)
{
    if (m_hwnd)
        MoveWindow(m_hwnd, x, y, width, height > 0 ? height : 0, TRUE);
}

void CKivPaneScrollBar::Set(int minimum, int maximum, int page, int position)
{
    if (!m_hwnd)
        return;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = minimum;
    info.nMax = maximum;
    info.nPage = page > 0 ? static_cast<UINT>(page) : 0;
    info.nPos = position;
    SetScrollInfo(m_hwnd, SB_CTL, &info, TRUE);
}

int CKivPaneScrollBar::Position() const
{
    return m_hwnd ? GetScrollPos(m_hwnd, SB_CTL) : 0;
}

int CKivPaneScrollBar::TargetRow(UINT code, int trackPosition, int visible) const
{
    const int position = Position();
    switch (code)
    {
    case SB_LINEUP: return position - 1;
    case SB_LINEDOWN: return position + 1;
    case SB_PAGEUP: return position - visible;
    case SB_PAGEDOWN: return position + visible;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return trackPosition;
    case SB_TOP: return 0;
    case SB_BOTTOM: return 0x7FFFFFFF;
    default: return -1;
    }
}
