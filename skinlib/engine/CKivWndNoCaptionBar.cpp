#include "CKivWndNoCaptionBar.h"

// The window paint strategy is reached only through these three functions.
// Until the theme window paint selector is part of the library they make
// none, and the dialog background is erased as the window would erase it.
namespace {

IKivWindowPaint* NewWindowPaint(HWND)
{
    return nullptr;  // return new CKivThemeWindowPaint(window);
}

bool EraseWithPaint(IKivWindowPaint*, HDC)
{
    return false;  // return paint->EraseBackground(dc) != FALSE;
}

void DeleteWindowPaint(IKivWindowPaint*)
{
    // delete paint;
}

}  // namespace

CKivWndNoCaptionBar::~CKivWndNoCaptionBar()
{
    DeleteWindowPaint(m_paint);
}

BOOL CKivWndNoCaptionBar::Attach(HWND window)
{
    if (m_paint == nullptr && window != nullptr)
        m_paint = NewWindowPaint(window);
    return CKivWnd::Attach(window);
}

LRESULT CKivWndNoCaptionBar::OnEraseBkgnd(HDC dc)
{
    if (m_paint != nullptr && EraseWithPaint(m_paint, dc))
        return 1;
    return CallPrevious(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
}
