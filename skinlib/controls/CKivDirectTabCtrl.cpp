#include "CKivDirectTabCtrl.h"
#include <algorithm>
#include <utility>
#include "CKivClientDC.h"
#include "CKivGdiObject.h"
#include "CKivHandle.h"
#include "CKivGraphics.h"
#include "CKivSelectObject.h"
#include "CKivWnd.h"
#include "KivSkinSettings.h"

namespace {


}  // namespace

CKivDirectTabCtrl::CKivDirectTabCtrl() = default;
CKivDirectTabCtrl::~CKivDirectTabCtrl() = default;

int CKivDirectTabCtrl::Init7(int x, int y, int width, int height, HWND host, int horizontal)
{
    CKivDirectBase::Init(x, y, width, height, host);
    m_horizontal = horizontal ? 1 : 0;
    m_moreButton.Init(0, 0, m_moreSize, m_moreSize, host);
    MeasureBand();
    PlaceMoreButton();
    LayoutButtons(-1);
    return 1;
}

void CKivDirectTabCtrl::SetDpi(int dpi)
{
    const CKivDpiScale scale(dpi);
    m_tabWidth = scale.Scale(70);
    m_tabHeight = scale.Scale(20);
    m_moreSize = scale.Scale(12);
}

void CKivDirectTabCtrl::ApplySettings(const KivSkinSettings& settings)
{
    m_itemNormalColor = static_cast<COLORREF>(settings.tabControlItemNormalColor);
    m_itemHotColor = static_cast<COLORREF>(settings.tabControlItemHotColor);
    m_itemPressedColor = static_cast<COLORREF>(settings.tabControlItemPressedColor);
    m_bottomLineColor = static_cast<COLORREF>(settings.tabControlBottomLineColor);
    m_bottomLineSelect = static_cast<COLORREF>(settings.tabControlBottomLineSelect);
    m_backgroundColor = static_cast<COLORREF>(settings.tabControlBackgroundColor);
    m_transparent = settings.tabControlTransparent;
    m_moreButton.SetColors(m_itemNormalColor, m_itemHotColor, m_itemPressedColor);
    for (auto& button : m_buttons)
        button->SetColors(m_itemNormalColor, m_itemHotColor, m_itemPressedColor);
}

void CKivDirectTabCtrl::SetItemRects(const std::vector<RECT>& rects)
{
    m_itemRects = rects;
    MeasureBand();
    PlaceMoreButton();
    LayoutButtons(-1);
}

void CKivDirectTabCtrl::MeasureBand()
{
    // Without the control's rectangles: one row (column) of fixed size.
    m_bandStart = m_margin;
    m_bandEnd = m_margin + (m_horizontal ? m_tabHeight : m_tabWidth);
    bool any = false;
    for (const RECT& r : m_itemRects)
    {
        if (r.right <= r.left || r.bottom <= r.top)
            continue;
        const int start = m_horizontal ? r.top - m_y : r.left - m_x;
        const int end = m_horizontal ? r.bottom - m_y : r.right - m_x;
        m_bandStart = any ? std::min(m_bandStart, start) : start;
        m_bandEnd = any ? std::max(m_bandEnd, end) : end;
        any = true;
    }
    if (!any)
        return;
    // The rows reach the strip's edge: from the edge to the far side of the items.
    const int size = m_horizontal ? m_height : m_width;
    if (m_bandStart > size - m_bandEnd)
        m_bandEnd = size;
    else
        m_bandStart = 0;
}

void CKivDirectTabCtrl::PlaceMoreButton()
{
    m_moreButton.SetElementId(kMoreButtonId);
    m_moreButton.SetArrow(1);
    m_moreButton.SetRadioMode(0);
    m_moreButton.SetColors(m_itemNormalColor, m_itemHotColor, m_itemPressedColor);
    // At the far end of the band, against the page.
    const int across = std::max(m_bandStart, std::min(m_bandEnd - m_moreSize, m_horizontal ? m_height : m_width));
    if (m_horizontal)
        m_moreButton.SetBounds(m_x + m_width - m_moreSize - m_margin, m_y + across, m_moreSize, m_moreSize);
    else
        m_moreButton.SetBounds(m_x + across, m_y + m_height - m_moreSize - m_margin, m_moreSize, m_moreSize);
}

void CKivDirectTabCtrl::LayoutButtons(int index)
{
    const int count = ButtonCount();
    const int first = index < 0 ? 0 : index;
    const int last = index < 0 ? count : std::min(index + 1, count);
    for (int i = first; i < last; ++i)
    {
        CKivDirectPushButton& button = *m_buttons[static_cast<size_t>(i)];
        const size_t item = static_cast<size_t>(button.TabIndex());
        if (button.TabIndex() >= 0 && item < m_itemRects.size())
        {
            const RECT& r = m_itemRects[item];
            const bool empty = r.right <= r.left || r.bottom <= r.top;
            button.Init(empty ? 0 : r.left, empty ? 0 : r.top, empty ? 0 : r.right - r.left, empty ? 0 : r.bottom - r.top,
                        m_host);
        }
        else
        {
            const int x = m_horizontal ? m_x + m_margin + i * m_tabWidth : m_x + m_margin;
            const int y = m_horizontal ? m_y + m_margin : m_y + m_margin + i * m_tabHeight;
            button.Init(x, y, m_tabWidth, m_tabHeight, m_host);
        }
        button.SetElementId(i);
        button.SetRadioMode(1);
        button.SetVerticalText(m_horizontal ? 0 : 1);
        button.SetFont(m_font);
        button.SetColors(m_itemNormalColor, m_itemHotColor, m_itemPressedColor);
    }
}

void CKivDirectTabCtrl::SetFont(HFONT font)
{
    m_font = font;
    for (const auto& button : m_buttons)
        button->SetFont(font);
}

void CKivDirectTabCtrl::SetTabs(const std::vector<std::wstring>& captions)
{
    m_buttons.clear();
    m_selected = -1;
    for (size_t i = 0; i < captions.size(); ++i)
    {
        auto button = std::make_unique<CKivDirectPushButton>();
        button->SetText(captions[i]);
        button->SetTabIndex(static_cast<int>(i));
        m_buttons.push_back(std::move(button));
        LayoutButtons(static_cast<int>(i));
    }
}

int CKivDirectTabCtrl::SetBounds(int x, int y, int width, int height)
{
    if (!CKivDirectBase::SetBounds(x, y, width, height))
        return 0;
    MeasureBand();
    PlaceMoreButton();
    LayoutButtons(-1);
    PaintAll();
    return 1;
}

bool CKivDirectTabCtrl::IsShown(int index) const
{
    const CKivDirectPushButton* button = Button(index);
    if (button == nullptr)
        return false;
    const RECT b = button->Bounds();
    if (b.right <= b.left || b.bottom <= b.top)
        return false;
    if (m_itemRects.empty())
    {
        // The fixed layout shows the buttons that fit before the overflow button.
        const int room = m_horizontal ? (m_width - m_moreSize) / std::max(m_tabWidth, 1)
                                      : (m_height - m_moreSize) / std::max(m_tabHeight, 1);
        return index < std::max(room, 1);
    }
    return b.left >= m_x && b.left < m_x + m_width && b.top >= m_y && b.top < m_y + m_height;
}

int CKivDirectTabCtrl::VisibleCount() const
{
    int shown = 0;
    for (int i = 0; i < ButtonCount(); ++i)
        shown += IsShown(i) ? 1 : 0;
    return shown;
}

bool CKivDirectTabCtrl::HasHiddenTabs() const
{
    for (int i = 0; i < ButtonCount(); ++i)
    {
        if (!IsShown(i))
            return true;
        const RECT b = m_buttons[static_cast<size_t>(i)]->Bounds();
        if ((m_horizontal && b.right > m_x + m_width) || (!m_horizontal && b.bottom > m_y + m_height))
            return true;
    }
    return false;
}

const CKivDirectPushButton* CKivDirectTabCtrl::Button(int index) const
{
    if (index < 0 || index >= ButtonCount())
        return nullptr;
    return m_buttons[static_cast<size_t>(index)].get();
}

int CKivDirectTabCtrl::SelectedTab() const
{
    const CKivDirectPushButton* button = Button(m_selected);
    return button ? button->TabIndex() : -1;
}

RECT CKivDirectTabCtrl::StripBand() const
{
    if (m_horizontal)
        return RECT{m_x, m_y + m_bandStart, m_x + m_width, m_y + m_bandEnd};
    return RECT{m_x + m_bandStart, m_y, m_x + m_bandEnd, m_y + m_height};
}

void CKivDirectTabCtrl::UncheckAll()
{
    for (int i = 0; i < ButtonCount(); ++i)
        SetButtonCheck(i, 0);
}

void CKivDirectTabCtrl::SetButtonCheck(int index, int checked)
{
    if (index < 0 || index >= ButtonCount())
        return;
    CKivDirectPushButton& button = *m_buttons[static_cast<size_t>(index)];
    // Hidden buttons lie beyond the strip: they are never drawn.
    if (IsShown(index))
        button.CheckAndPaint(checked);
    else
        button.SetChecked(checked);
}

void CKivDirectTabCtrl::SelectTab(int tabIndex, bool notify)
{
    for (int i = 0; i < ButtonCount(); ++i)
        if (m_buttons[static_cast<size_t>(i)]->TabIndex() == tabIndex)
        {
            SelectButton(i, notify);
            return;
        }
    SelectButton(-1, false);
}

void CKivDirectTabCtrl::SelectButton(int index, bool notify)
{
    if (index < 0 || index >= ButtonCount())
    {
        if (m_selected != -1)
            UncheckAll();
        m_selected = -1;
        PaintAll();
        return;
    }
    // A hidden tab comes into view when the control, told of the new
    // selection, scrolls to it and the host lays the strip out again.
    if (index != m_selected)
    {
        SetButtonCheck(m_selected, 0);
        SetButtonCheck(index, 1);
        m_selected = index;
        PaintSurround(false);
    }
    if (notify && m_host != nullptr)
        PostMessageW(m_host, KIV_WM_TABSELECT, static_cast<WPARAM>(SelectedTab()), 0);
}

void CKivDirectTabCtrl::OnButtonClick(int elementId)
{
    if (elementId == kMoreButtonId)
    {
        ShowOverflowMenu();
        return;
    }
    if (elementId < 0 || elementId >= ButtonCount())
        return;
    if (elementId == m_selected)
        return;
    SelectButton(elementId, true);
}

void CKivDirectTabCtrl::ShowOverflowMenu()
{
    if (m_moreButton.PaintState() == CKivDirectButton::StateNormal || m_host == nullptr)
        return;
    int command = 0;
    {
        const CKivMenu menu(CreatePopupMenu());
        if (menu.Get() != nullptr)
        {
            for (int i = 0; i < ButtonCount(); ++i)
                AppendMenuW(menu.Get(), MF_STRING, static_cast<UINT_PTR>(kFirstMenuCommand + i),
                            m_buttons[static_cast<size_t>(i)]->Text().c_str());
            const RECT more = m_moreButton.Bounds();
            POINT at = m_horizontal ? POINT{more.left, more.bottom} : POINT{more.right, more.top};
            ClientToScreen(m_host, &at);
            command = static_cast<int>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN,
                                                      at.x, at.y, 0, m_host, nullptr));
        }
    }
    m_moreButton.CheckAndPaint(0);
    if (GetCapture() == m_host)
        ReleaseCapture();
    // 0 is a cancelled menu; anything outside the list is not ours.
    const int index = command - kFirstMenuCommand;
    if (command != 0 && index >= 0 && index < ButtonCount())
        SelectButton(index, true);
}

void CKivDirectTabCtrl::ForwardToButtons(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The overflow button lies over the end of the band: the mouse there is
    // its alone, and the tab under it looks as if the mouse were away.
    const bool overMore = (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
                           message == WM_LBUTTONDBLCLK) &&
                          HasHiddenTabs() && m_moreButton.IsMouseOver(message, wParam, lParam);
    if (overMore && message != WM_MOUSEMOVE)
        return;
    const LPARAM away = MAKELPARAM(static_cast<WORD>(-1), static_cast<WORD>(-1));
    for (int i = 0; i < ButtonCount(); ++i)
        if (IsShown(i))
            m_buttons[static_cast<size_t>(i)]->OnMessage(message, wParam, overMore ? away : lParam);
    if (message == KIV_WM_DRAWNBUTTONCLICK)
        OnButtonClick(static_cast<int>(static_cast<INT_PTR>(wParam)));
}

LRESULT CKivDirectTabCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    CKivDirectBase::OnMessage(message, wParam, lParam);
    if (message == WM_PAINT)
        PaintSurround(true);
    ForwardToButtons(message, wParam, lParam);
    if (HasHiddenTabs())
        m_moreButton.OnMessage(message, wParam, lParam);
    return 0;
}

void CKivDirectTabCtrl::PaintSurround(bool withBackground) const
{
    if (m_host == nullptr || !IsWindowVisible(m_host))
        return;
    CKivClientDC dc(m_host);
    if (withBackground)
        PaintBackground(dc);
    PaintPageLine(dc);
}

void CKivDirectTabCtrl::PaintAll()
{
    if (m_host == nullptr || !IsWindowVisible(m_host))
        return;
    PaintSurround(true);
    for (int i = 0; i < ButtonCount(); ++i)
        if (IsShown(i))
            m_buttons[static_cast<size_t>(i)]->Paint(m_buttons[static_cast<size_t>(i)]->RestingState());
    if (HasHiddenTabs())
        m_moreButton.Paint(m_moreButton.RestingState());
}

void CKivDirectTabCtrl::PaintBackground(HDC dc) const
{
    if (!m_noBackground)
        PaintBackgroundTo(dc);
}

void CKivDirectTabCtrl::PaintBackgroundTo(HDC dc) const
{
    if (dc == nullptr)
        return;
    RECT area = {0, 0, m_width, m_height};
    POINT old = {};
    SetViewportOrgEx(dc, m_x, m_y, &old);
    if (m_transparent && m_backgroundAtPosition)
        CKivGraphics::FillParentBackground(dc, m_width, m_height, m_host);
    else if (m_transparent)
        CKivGraphics::FillBackgroundPart(dc, m_x, m_y, m_width, m_height);
    else
    {
        CKivBrush brush(CreateSolidBrush(m_backgroundColor));
        if (brush)
            FillRect(dc, &area, brush);
    }
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

void CKivDirectTabCtrl::PaintPageLine(HDC dc) const
{
    if (dc == nullptr)
        return;
    CKivPen pen(CreatePen(PS_SOLID, 1, m_selected == -1 ? m_bottomLineColor : m_bottomLineSelect));
    CKivSelectObject selectPen(dc, pen);
    CKivSelectObject selectBrush(dc, GetStockObject(NULL_BRUSH));
    POINT old = {};
    SetViewportOrgEx(dc, m_x, m_y, &old);
    // The line runs along the side of the band that faces the page; the
    // page is framed on the other side of it.
    const int size = m_horizontal ? m_height : m_width;
    const bool pageBefore = m_bandStart > 0 && m_bandEnd >= size;
    const int line = pageBefore ? m_bandStart - 1 : m_bandEnd;
    const int pageStart = pageBefore ? m_margin : line + 1;
    const int pageEnd = pageBefore ? line : size - m_margin;
    if (m_horizontal)
    {
        MoveToEx(dc, m_margin, line, nullptr);
        LineTo(dc, m_width - m_margin, line);
        Rectangle(dc, m_margin, pageStart, m_width - m_margin, pageEnd);
    }
    else
    {
        MoveToEx(dc, line, m_margin, nullptr);
        LineTo(dc, line, m_height - m_margin);
        Rectangle(dc, pageStart, m_margin, pageEnd, m_height - m_margin);
    }
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}
