#include "CKivMenuBarPainter.h"
#include "CKivGraphics.h"
#include "CKivSkinStore.h"
#include "CKivThemeMenuPaint.h"
#include "CKivWindowPaint.h"

void CKivMenuBarPainter::Paint(const RECT& bar, const std::vector<CKivMenuBar::Item>& items,
                               const std::vector<CKivMenuBar::Button>& buttons, int pushedItem, bool keyboardCues,
                               HWND activeChild)
{
    FillRect(m_surface, &bar, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    CKivThemeMenuPaint paint(m_window, m_surface);
    paint.SetDpi(m_dpi);
    paint.DrawMenuBarBackground(2, &bar);
    wchar_t shown[260];
    for (const CKivMenuBar::Item& item : items)
    {
        const int state = item.index == pushedItem ? 3 : item.grayed ? 4 : 1;
        const wchar_t* text = item.text;
        if (!keyboardCues)
        {
            CKivMenuBar::StripMnemonics(item.text, shown, 260);
            text = shown;
        }
        paint.DrawMenuBarItem(state, &item.rect, text);
    }
    for (const CKivMenuBar::Button& button : buttons)
        PaintButton(button, activeChild);
}

void CKivMenuBarPainter::PaintButton(const CKivMenuBar::Button& button, HWND child)
{
    if (IsRectEmpty(&button.rect))
        return;
    RECT r = button.rect;
    if (button.kind == CKivMenuBar::ChildMenuButton)
    {
        HICON icon = nullptr;
        if (child != nullptr)
        {
            icon = reinterpret_cast<HICON>(SendMessageW(child, WM_GETICON, ICON_SMALL, 0));
            if (icon == nullptr)
                icon = reinterpret_cast<HICON>(GetClassLongPtrW(child, GCLP_HICONSM));
            if (icon == nullptr)
                icon = reinterpret_cast<HICON>(GetClassLongPtrW(child, GCLP_HICON));
        }
        if (icon == nullptr)
            icon = LoadIconW(nullptr, IDI_APPLICATION);
        const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
        DrawIconEx(m_surface, (r.left + r.right - cx) / 2, (r.top + r.bottom - cy) / 2, icon, cx, cy, 0, nullptr,
                   DI_NORMAL);
        return;
    }
    // The frame's caption-button pictures; the system's glyphs only where
    // the skin has no picture for the button.
    const int index = button.kind == CKivMenuBar::ChildMinimizeButton ? 3 : button.kind == CKivMenuBar::ChildRestoreButton ? 2 : 0;
    const RECT* picture = CKivWindowPaint::CaptionButtonPicture(CKivSkinStore::Settings(), index, button.grayed ? 3 : 0);
    if (!CKivGraphics::IsSkinRectEmpty(picture) &&
        CKivGraphics::StretchBltFromSkin(m_surface, r.left, r.top, r.right - r.left, r.bottom - r.top, picture))
        return;
    UINT state = button.kind == CKivMenuBar::ChildMinimizeButton  ? DFCS_CAPTIONMIN
                 : button.kind == CKivMenuBar::ChildRestoreButton ? DFCS_CAPTIONRESTORE
                                                                  : DFCS_CAPTIONCLOSE;
    if (button.grayed)
        state |= DFCS_INACTIVE;
    DrawFrameControl(m_surface, &r, DFC_CAPTION, state);
}
