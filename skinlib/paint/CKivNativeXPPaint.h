#pragma once
#include "CKivPaint.h"
#include <uxtheme.h>
#include "CKivThemeHandle.h"

// Base of the strategies that draw through the visual-styles API.
class CKivNativeXPPaint : public CKivPaint
{
public:
    CKivNativeXPPaint(HWND window, HDC given, ContextKind kind, const wchar_t* themeClass);
    ~CKivNativeXPPaint() override;
    int IsAvailable() override;
    HTHEME Theme() const { return m_theme; }

private:
    CKivThemeHandle m_theme;
};
