#include "CKivExmpView.h"
#include "CKivGdiObject.h"
#include "CKivHandle.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivPaintDC.h"
#include "CKivSelectObject.h"
#include "KivBuilderMessages.h"
#include "KivBuilderRes.h"
#include <windowsx.h>
#include <algorithm>
#include <gdiplus.h>

const wchar_t* const CKivExmpView::kHint[2] = {L"双击示例：打开它的项目", L"右键示例：预览或打开"};

CKivExmpView::CKivExmpView()
{
    m_className = L"KivExmpView";
}

CKivExmpView::~CKivExmpView() = default;

bool CKivExmpView::Create(HWND parent, int x, int y)
{
    if (!CreateEx(L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, x, y, kWidth, kHeight, parent, nullptr, nullptr,
                  FALSE))
        return false;
    m_scrollBar.Create(m_hwnd, kScrollX, 0, kScrollWidth, kHeight);
    ScrollTo(0);
    return true;
}

void CKivExmpView::SetExamples(const std::vector<KivExample>& examples)
{
    m_examples = examples;
    m_thumbnails.clear();
    for (const KivExample& example : m_examples)
    {
        std::unique_ptr<Gdiplus::Image> image(new Gdiplus::Image(example.thumbnail.c_str()));
        if (image->GetLastStatus() != Gdiplus::Ok)
            image.reset();
        m_thumbnails.push_back(std::move(image));
    }
    ++m_generation;
    m_hot = m_pressed = -1;
    ScrollTo(0);
}

const KivExample* CKivExmpView::ExampleOf(WPARAM index, LPARAM generation) const
{
    if (static_cast<DWORD>(generation) != m_generation || index >= m_examples.size())
        return nullptr;
    return &m_examples[index];
}

RECT CKivExmpView::ThumbRect(int index) const
{
    const int top = kHintHeight + kGap + index * (kThumbHeight + kNameHeight + kGap) - m_offset;
    return RECT{kThumbX, top, kThumbX + kThumbWidth, top + kThumbHeight};
}

RECT CKivExmpView::NameRect(int index) const
{
    const RECT thumb = ThumbRect(index);
    return RECT{thumb.left, thumb.bottom, thumb.right, thumb.bottom + kNameHeight};
}

int CKivExmpView::ContentHeight() const
{
    return kHintHeight + kGap + static_cast<int>(m_examples.size()) * (kThumbHeight + kNameHeight + kGap);
}

int CKivExmpView::HitTest(POINT point) const
{
    // The band covers whatever scrolled beneath it.
    if (point.y < kHintHeight)
        return -1;
    for (int i = 0; i < static_cast<int>(m_examples.size()); ++i)
    {
        const RECT thumb = ThumbRect(i);
        const RECT name = NameRect(i);
        if (PtInRect(&thumb, point) || PtInRect(&name, point))
            return i;
    }
    return -1;
}

void CKivExmpView::ScrollTo(int offset)
{
    const int last = std::max(0, ContentHeight() - kHeight);
    m_offset = std::min(std::max(offset, 0), last);
    m_scrollBar.Set(0, ContentHeight(), kHeight, m_offset);
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CKivExmpView::Post(UINT command, int index)
{
    if (index >= 0)
        PostMessageW(GetParent(m_hwnd), WM_KIV_EXAMPLE_COMMAND, MAKEWPARAM(command, index),
                     static_cast<LPARAM>(m_generation));
}

void CKivExmpView::Draw(HDC target)
{
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    CKivHDCMemoryTemp memory(target, client.right, client.bottom);
    if (!memory.IsValid())
        return;
    {
        Gdiplus::Graphics graphics(memory.GetDC());
        graphics.Clear(Gdiplus::Color(255, 201, 201, 201));
        for (int i = 0; i < static_cast<int>(m_examples.size()); ++i)
        {
            const RECT rect = ThumbRect(i);
            // Only the thumbnails in view are drawn.
            if (rect.bottom + kNameHeight <= kHintHeight || rect.top >= client.bottom)
                continue;
            if (m_thumbnails[static_cast<size_t>(i)])
                graphics.DrawImage(m_thumbnails[static_cast<size_t>(i)].get(), rect.left, rect.top, kThumbWidth,
                                   kThumbHeight);
            if (i == m_pressed)
            {
                Gdiplus::SolidBrush red(Gdiplus::Color(80, 255, 0, 0));
                graphics.FillRectangle(&red, rect.left, rect.top, kThumbWidth, kThumbHeight);
            }
            else if (i == m_hot)
            {
                Gdiplus::SolidBrush white(Gdiplus::Color(144, 255, 255, 255));
                graphics.FillRectangle(&white, rect.left, rect.top, kThumbWidth, kThumbHeight);
            }
        }
    }
    HDC dc = memory.GetDC();
    CKivSelectObject font(dc, CKivGraphics::GetSkinFont(0));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    for (int i = 0; i < static_cast<int>(m_examples.size()); ++i)
    {
        RECT name = NameRect(i);
        const std::wstring& text = m_examples[static_cast<size_t>(i)].name;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &name,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    // The band last, over anything scrolled beneath it.
    CKivBrush band(CreateSolidBrush(RGB(225, 225, 225)));
    const RECT bandRect = {0, 0, kScrollX, kHintHeight};
    if (band)
        FillRect(dc, &bandRect, band);
    SetTextColor(dc, RGB(60, 60, 60));
    for (int line = 0; line < 2; ++line)
    {
        RECT rect = {kThumbX, 4 + line * 18, kScrollX, 4 + (line + 1) * 18};
        DrawTextW(dc, kHint[line], -1, &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

LRESULT CKivExmpView::OnPaint()
{
    CKivPaintDC paint(m_hwnd);
    if (paint.Get())
        Draw(paint);
    return 0;
}

LRESULT CKivExmpView::OnPrintClient(HDC dc)
{
    if (dc)
        Draw(dc);
    return 0;
}

LRESULT CKivExmpView::OnMouseMove(POINT point)
{
    if (!m_tracking)
    {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, 0};
        m_tracking = TrackMouseEvent(&track) != FALSE;
    }
    const int hot = HitTest(point);
    if (hot != m_hot)
    {
        m_hot = hot;
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
    return 0;
}

LRESULT CKivExmpView::OnMouseLeave()
{
    m_tracking = false;
    m_hot = m_pressed = -1;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return 0;
}

LRESULT CKivExmpView::OnButton(POINT point, bool down)
{
    m_pressed = down ? HitTest(point) : -1;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return 0;
}

LRESULT CKivExmpView::OnDoubleClick(POINT point)
{
    Post(ID_EXAMPLE_OPEN_DOUBLE, HitTest(point));
    return 0;
}

LRESULT CKivExmpView::OnContextMenu(POINT point)
{
    const int index = HitTest(point);
    if (index < 0)
        return 0;
    const CKivMenu menu(CreatePopupMenu());
    if (!menu)
        return 0;
    AppendMenuW(menu, MF_STRING, ID_EXAMPLE_PREVIEW, L"预览(&P)");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ID_EXAMPLE_OPEN, L"打开(&O)");
    POINT screen = point;
    ClientToScreen(m_hwnd, &screen);
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_hwnd, nullptr));
    if (command != 0)
        Post(command, index);
    return 0;
}

LRESULT CKivExmpView::OnWheel(int delta)
{
    // 100 pixels per notch, travelled 2 pixels per timer tick.
    m_target = std::min(std::max(m_target + (delta < 0 ? kWheelDistance : -kWheelDistance), 0),
                        std::max(0, ContentHeight() - kHeight));
    SetTimer(m_hwnd, kTimer, 10, nullptr);
    return 0;
}

LRESULT CKivExmpView::OnTimer()
{
    if (m_offset == m_target)
    {
        KillTimer(m_hwnd, kTimer);
        return 0;
    }
    ScrollTo(m_offset < m_target ? std::min(m_offset + kWheelStep, m_target) : std::max(m_offset - kWheelStep, m_target));
    if (m_offset != m_target && (m_offset == 0 || m_offset == std::max(0, ContentHeight() - kHeight)))
        m_target = m_offset;
    return 0;
}

LRESULT CKivExmpView::OnVScroll(UINT code, int track)
{
    const int row = m_scrollBar.TargetRow(code, track, kHeight);
    if (row >= 0)
    {
        ScrollTo(code == SB_LINEUP || code == SB_LINEDOWN ? m_offset + (row - m_offset) * 20 : row);
        m_target = m_offset;
    }
    return 0;
}

LRESULT CKivExmpView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message)
    {
    case WM_PAINT: return OnPaint();
    case WM_PRINTCLIENT: return OnPrintClient(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE: return OnMouseMove(point);
    case WM_MOUSELEAVE: return OnMouseLeave();
    case WM_LBUTTONDOWN: return OnButton(point, true);
    case WM_LBUTTONUP: return OnButton(point, false);
    case WM_LBUTTONDBLCLK: return OnDoubleClick(point);
    case WM_RBUTTONUP: return OnContextMenu(point);
    case WM_MOUSEWHEEL: return OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
    case WM_TIMER: return OnTimer();
    case WM_VSCROLL: return OnVScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
    default: return CKivWndImpl::WindowProc(message, wParam, lParam);
    }
}
