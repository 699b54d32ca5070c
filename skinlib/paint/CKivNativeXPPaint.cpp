#include "CKivNativeXPPaint.h"

CKivNativeXPPaint::CKivNativeXPPaint(HWND window, HDC given, ContextKind kind, const wchar_t* themeClass)
    : CKivPaint(window, given, kind), m_theme(OpenThemeData(window, themeClass))
{
}

CKivNativeXPPaint::~CKivNativeXPPaint() = default;

int CKivNativeXPPaint::IsAvailable()
{
    return IsThemeActive() && m_theme != nullptr ? 1 : 0;
}
