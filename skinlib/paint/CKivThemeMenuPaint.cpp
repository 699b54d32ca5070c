#include "CKivThemeMenuPaint.h"

namespace CKivThemePaint {

CKivThemeMenuPaint::CKivThemeMenuPaint(HWND window, HDC context)
    : m_template(window, context), m_chosen(m_template.Chosen<IKivMenuPaint>())
{
}

int CKivThemeMenuPaint::DrawMenuBarItem(int state, const RECT* rect, const wchar_t* text)
{
    return m_chosen ? m_chosen->DrawMenuBarItem(state, rect, text) : 0;
}

void CKivThemeMenuPaint::SetDpi(int dpi)
{
    if (m_template.SkinStrategy())
        m_template.SkinStrategy()->SetDpi(dpi);
    if (m_template.ThemeStrategy())
        m_template.ThemeStrategy()->SetDpi(dpi);
    if (m_template.ClassicStrategy())
        m_template.ClassicStrategy()->SetDpi(dpi);
}

void CKivThemeMenuPaint::DrawMenuBarBackground(int state, const RECT* rect)
{
    if (m_chosen)
        m_chosen->DrawMenuBarBackground(state, rect);
}

}  // namespace CKivThemePaint
