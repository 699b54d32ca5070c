#include "CKivWndNoCaptionBar.h"
#include "CKivThemeWindowPaint.h"
#include <new>

// The window paint strategy is reached only through these three functions.
namespace {

IKivWindowPaint* NewWindowPaint(HWND window)
{
    return new (std::nothrow) CKivThemeWindowPaint(window);
}

bool EraseWithPaint(IKivWindowPaint* paint, HDC dc)
{
    return paint->EraseBackground(dc) != FALSE;
}

void DeleteWindowPaint(IKivWindowPaint* paint)
{
    delete paint;
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
