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

void CKivThemeMenuPaint::DrawMenuBarBackground(int state, const RECT* rect)
{
    if (m_chosen)
        m_chosen->DrawMenuBarBackground(state, rect);
}

}  // namespace CKivThemePaint
