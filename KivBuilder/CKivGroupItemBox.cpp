#include "CKivGroupItemBox.h"
#include "KivBuilderMessages.h"
#include <windowsx.h>

CKivGroupItemBox::CKivGroupItemBox() : CKivPaneBase(L"KivGroupItemBox")
{
}

void CKivGroupItemBox::AddGroup(const std::wstring& caption, const std::wstring& key)
{
    Group group;
    group.caption = caption.substr(0, 127);
    group.key = key.substr(0, 23);
    m_groups.push_back(group);
    UpdateScrollBar();
    Repaint();
}

bool CKivGroupItemBox::AddElement(const std::wstring& groupKey, const std::wstring& caption, const std::wstring& key)
{
    for (Group& group : m_groups)
    {
        if (group.key != groupKey)
            continue;
        group.elements.push_back(Element{caption.substr(0, 127), key.substr(0, 23)});
        UpdateScrollBar();
        Repaint();
        return true;
    }
    return false;
}

void CKivGroupItemBox::Clear()
{
    m_groups.clear();
    m_selectedGroup = -1;
    m_selectedElement = -1;
    ++m_generation;
    SetFirstRow(0);
    ForgetCursor();
    UpdateScrollBar();
    Repaint();
}

const CKivGroupItemBox::Element* CKivGroupItemBox::ElementOf(WPARAM place, LPARAM generation, const Group** group) const
{
    const size_t g = LOWORD(place);
    const size_t e = HIWORD(place);
    if (static_cast<DWORD>(generation) != m_generation || g >= m_groups.size() || e >= m_groups[g].elements.size())
        return nullptr;
    if (group)
        *group = &m_groups[g];
    return &m_groups[g].elements[e];
}

std::vector<CKivGroupItemBox::Row> CKivGroupItemBox::AllRows() const
{
    std::vector<Row> rows;
    for (size_t g = 0; g < m_groups.size(); ++g)
    {
        rows.push_back(Row{g, -1});
        if (m_groups[g].expanded)
            for (size_t e = 0; e < m_groups[g].elements.size(); ++e)
                rows.push_back(Row{g, static_cast<int>(e)});
    }
    return rows;
}

int CKivGroupItemBox::TotalRows() const
{
    return static_cast<int>(AllRows().size());
}

int CKivGroupItemBox::RowAt(POINT point) const
{
    return RowIndexAt(point);
}

void CKivGroupItemBox::ClampFirstRow()
{
    // The same end the wheel stops at: the last row may sit in the cut row.
    int last = TotalRows() - VisibleRowCount() + 1;
    if (last < 0)
        last = 0;
    if (FirstRow() > last)
        SetFirstRow(last);
}

void CKivGroupItemBox::ClickRow(int row)
{
    const std::vector<Row> rows = AllRows();
    if (row < 0 || row >= static_cast<int>(rows.size()))
        return;
    const Row& hit = rows[static_cast<size_t>(row)];
    if (hit.element < 0)
    {
        m_groups[hit.group].expanded = !m_groups[hit.group].expanded;
        ClampFirstRow();
        UpdateScrollBar();
        Repaint();
        return;
    }
    m_selectedGroup = static_cast<int>(hit.group);
    m_selectedElement = hit.element;
    Repaint();
    PostMessageW(m_hwnd, WM_KIV_ELEMENT_SELECTED, MAKEWPARAM(hit.group, hit.element), static_cast<LPARAM>(m_generation));
}

void CKivGroupItemBox::PaintRows(HDC dc, int width, int height)
{
    const std::vector<Row> rows = AllRows();
    const int top = kMargin + kTitleHeight;
    const int right = width - kScrollWidth - kMargin;
    for (int i = 0; FirstRow() + i < static_cast<int>(rows.size()); ++i)
    {
        const RECT rect = {0, top + i * kRowHeight + 1, right, top + (i + 1) * kRowHeight};
        if (rect.top >= height)
            break;
        const Row& row = rows[static_cast<size_t>(FirstRow() + i)];
        const Group& group = m_groups[row.group];
        COLORREF fill = group.expanded ? kGroupExpanded : kGroupCollapsed;
        COLORREF text = kRowText;
        std::wstring caption = group.caption;
        if (row.element >= 0)
        {
            const bool selected = static_cast<int>(row.group) == m_selectedGroup && row.element == m_selectedElement;
            fill = selected ? kElementSelected : kElement;
            text = kTitleText;
            caption = group.elements[static_cast<size_t>(row.element)].caption;
        }
        Fill(dc, rect, fill);
        Text(dc, caption, RECT{rect.left + 30, rect.top + 5, rect.right, rect.top + 5 + 15}, text);
    }
}

LRESULT CKivGroupItemBox::OnButtonDown(POINT screenPoint)
{
    SetFocus(m_hwnd);
    POINT point = screenPoint;
    ScreenToClient(m_hwnd, &point);
    const int row = RowAt(point);
    if (row >= 0)
        SetCursorRow(row, false);
    ClickRow(row);
    return 0;
}

void CKivGroupItemBox::OnKey(UINT key)
{
    const std::vector<Row> rows = AllRows();
    const int cursor = CursorRow();
    if (cursor < 0 || cursor >= static_cast<int>(rows.size()))
        return;
    const Row& row = rows[static_cast<size_t>(cursor)];
    const bool expanded = m_groups[row.group].expanded;
    switch (key)
    {
    case VK_RETURN:
    case VK_SPACE: ClickRow(cursor); break;
    case VK_RIGHT:
        if (row.element < 0 && !expanded)
            ClickRow(cursor);
        break;
    case VK_LEFT:
        if (row.element < 0 && expanded)
            ClickRow(cursor);
        else if (row.element >= 0)
            SetCursorRow(cursor - row.element - 1);
        break;
    default: break;
    }
}

LRESULT CKivGroupItemBox::OnWheel(int delta)
{
    WheelStep(delta);
    return 0;
}

LRESULT CKivGroupItemBox::OnSelected(WPARAM place, LPARAM generation)
{
    if (m_notify && ElementOf(place, generation) != nullptr)
        PostMessageW(GetParent(m_hwnd), WM_KIV_ELEMENT_SELECTED, place, generation);
    return 0;
}

LRESULT CKivGroupItemBox::OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    {
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(m_hwnd, &point);
        return OnButtonDown(point);
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: return OnButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_MOUSEWHEEL: return OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
    case WM_KIV_ELEMENT_SELECTED: return OnSelected(wParam, lParam);
    default: return CKivPaneBase::OnPaneMessage(message, wParam, lParam);
    }
}
