#include "CKivThemeWindowPaint.h"

namespace CKivThemePaint {

CKivThemeWindowPaint::CKivThemeWindowPaint(HWND window)
    : m_template(window, nullptr), m_chosen(m_template.Chosen<IKivWindowPaint>())
{
}

BOOL CKivThemeWindowPaint::EraseBackground(HDC dc)
{
    return m_chosen ? m_chosen->EraseBackground(dc) : FALSE;
}

void CKivThemeWindowPaint::DrawCaption(int active, const wchar_t* title)
{
    if (m_chosen)
        m_chosen->DrawCaption(active, title);
}

void CKivThemeWindowPaint::DrawCaptionIcon(HDC)
{
    if (m_chosen)
        m_chosen->DrawCaptionIcon(nullptr);
}

void CKivThemeWindowPaint::DrawCaptionTitle(int active, HDC)
{
    if (m_chosen)
        m_chosen->DrawCaptionTitle(active, nullptr);
}

void CKivThemeWindowPaint::DrawCaptionButton(int index, int state)
{
    if (m_chosen)
        m_chosen->DrawCaptionButton(index, state);
}

void CKivThemeWindowPaint::SetDpi(int dpi)
{
    // The theme and classic strategies leave the frame to the system, which scales it itself.
    if (CKivWindowPaint* skin = m_template.SkinStrategy())
        skin->SetDpiScale(CKivDpiScale(dpi));
}

KivFrameMetrics* CKivThemeWindowPaint::CalcMetrics()
{
    return m_chosen ? m_chosen->CalcMetrics() : nullptr;
}

void CKivThemeWindowPaint::ReleaseContext()
{
    if (m_template.SkinStrategy())
        m_template.SkinStrategy()->ReleaseContext();
    if (m_template.ThemeStrategy())
        m_template.ThemeStrategy()->ReleaseContext();
    if (m_template.ClassicStrategy())
        m_template.ClassicStrategy()->ReleaseContext();
}

}  // namespace CKivThemePaint
