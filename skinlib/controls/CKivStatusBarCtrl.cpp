#include "CKivStatusBarCtrl.h"
#include "CKivCommonLook.h"
#include "CKivGdiObject.h"
#include "CKivSelectObject.h"
#include "CKivTextContrast.h"

namespace {

const UINT kTextFlags = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

// A part's text as the control lays it out: up to three tab-separated
// pieces, left, centred and right-aligned.
void DrawPieces(HDC dc, RECT area, const std::wstring& text)
{
    area.left += 3;
    UINT align = DT_LEFT;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i)
    {
        if (i < text.size() && text[i] != L'\t')
            continue;
        if (i > start)
            DrawTextW(dc, text.c_str() + start, static_cast<int>(i - start), &area, align | kTextFlags);
        start = i + 1;
        if (i == text.size() || align == DT_RIGHT)
            break;
        align = align == DT_LEFT ? DT_CENTER : DT_RIGHT;
    }
}

}  // namespace

CKivStatusBarCtrl::~CKivStatusBarCtrl() = default;

LRESULT CKivStatusBarCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SB_SETBKCOLOR && Window() != nullptr)
    {
        const LRESULT answer = CallPrevious(message, wParam, lParam);
        m_hostBack = static_cast<COLORREF>(lParam);
        return answer;
    }
    return CKivCommonCtrl::WindowProc(message, wParam, lParam);
}

CKivCommonLook::Surface CKivStatusBarCtrl::Ground() const
{
    if (m_hostBack == CLR_DEFAULT)
        return CKivCommonLook::Current().bar;
    CKivCommonLook::Surface own;
    own.colour = m_hostBack;
    own.average = m_hostBack;
    own.luminance = CKivTextContrast::RelativeLuminance(m_hostBack);
    own.text = CKivTextContrast::ReadableOn(own.luminance);
    own.grayText = CKivTextContrast::GrayOn(own.luminance);
    return own;
}

std::vector<CKivStatusBarCtrl::Part> CKivStatusBarCtrl::ReadParts()
{
    std::vector<Part> parts;
    const bool simple = CallPrevious(SB_ISSIMPLE, 0, 0) != 0;
    const int count = simple ? 1 : static_cast<int>(CallPrevious(SB_GETPARTS, 0, 0));
    for (int i = 0; i < count && i < 256; ++i)
    {
        Part part = {};
        if (!CallPrevious(SB_GETRECT, i, reinterpret_cast<LPARAM>(&part.bound)))
            continue;
        const LRESULT length = CallPrevious(SB_GETTEXTLENGTHW, i, 0);
        part.style = HIWORD(length);
        part.icon = reinterpret_cast<HICON>(CallPrevious(SB_GETICON, simple ? static_cast<WPARAM>(-1) : i, 0));
        if (!(part.style & SBT_OWNERDRAW) && LOWORD(length) > 0)
        {
            part.text.assign(static_cast<size_t>(LOWORD(length)) + 1, L'\0');
            CallPrevious(SB_GETTEXTW, i, reinterpret_cast<LPARAM>(&part.text[0]));
            part.text.resize(wcsnlen(part.text.c_str(), part.text.size()));
        }
        parts.push_back(part);
    }
    return parts;
}

void CKivStatusBarCtrl::PaintBackground(HDC dc, const RECT& client)
{
    CKivCommonLook::Fill(dc, client, Ground());
}

void CKivStatusBarCtrl::PaintOver(HDC dc, const RECT& client)
{
    const CKivCommonLook::Surface ground = Ground();
    const std::vector<Part> parts = ReadParts();
    {
        // What the host drew into its own parts stays; the rest is ours.
        const int saved = SaveDC(dc);
        for (const Part& part : parts)
            if (part.style & SBT_OWNERDRAW)
            {
                RECT inner = part.bound;
                if (!(part.style & SBT_NOBORDERS))
                    InflateRect(&inner, -1, -1);
                ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
            }
        CKivCommonLook::Fill(dc, client, ground);
        RestoreDC(dc, saved);
    }
    CKivSelectObject font(dc, ControlFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ground.text);
    for (const Part& part : parts)
        DrawPart(dc, part);
    if (ShowsGrip())
        DrawGrip(dc, client, ground.grayText);
}

void CKivStatusBarCtrl::DrawPart(HDC dc, const Part& part) const
{
    if (part.bound.right < part.bound.left)
        return;
    RECT inner = part.bound;
    if (!(part.style & SBT_NOBORDERS))
    {
        CKivCommonLook::FrameColour(dc, part.bound, CKivCommonLook::Current().line);
        InflateRect(&inner, -1, -1);
    }
    if (part.style & SBT_OWNERDRAW)
        return;
    if (part.icon != nullptr)
    {
        const int side = inner.bottom - inner.top;
        DrawIconEx(dc, inner.left + 2, inner.top, part.icon, side, side, 0, nullptr, DI_NORMAL);
        inner.left += 2 + side;
    }
    if (!part.text.empty())
        DrawPieces(dc, inner, part.text);
}

bool CKivStatusBarCtrl::ShowsGrip() const
{
    const HWND window = Window();
    if (!(GetWindowLongPtrW(window, GWL_STYLE) & SBARS_SIZEGRIP))
        return false;
    // The control hides its grip while the window it sizes is maximised.
    const HWND parent = GetParent(window);
    return parent == nullptr || !(GetWindowLongPtrW(parent, GWL_STYLE) & WS_MAXIMIZE);
}

void CKivStatusBarCtrl::DrawGrip(HDC dc, const RECT& client, COLORREF colour) const
{
    // Three diagonal rows of dots in the bottom-right corner.
    CKivBrush brush(CreateSolidBrush(colour));
    if (!brush)
        return;
    const int dot = 2;
    const int step = 4;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column <= row; ++column)
        {
            const int x = client.right - step * (column + 1);
            const int y = client.bottom - step * (row - column + 1);
            const RECT box = {x, y, x + dot, y + dot};
            FillRect(dc, &box, brush);
        }
}
