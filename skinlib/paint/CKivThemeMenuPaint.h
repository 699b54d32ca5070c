#pragma once
#include "CKivClassicMenuPaint.h"
#include "CKivMenuPaint.h"
#include "CKivNativeXPMenuPaint.h"
#include "CKivThemePaintTemplate.h"
#include "IKivMenuPaint.h"

namespace CKivThemePaint {

// The menu strategy chosen for one drawing step; forwards every call to it.
class CKivThemeMenuPaint : public IKivMenuPaint
{
public:
    CKivThemeMenuPaint(HWND window, HDC context);
    ~CKivThemeMenuPaint() override = default;

    int DrawMenuBarItem(int state, const RECT* rect, const wchar_t* text) override;
    void DrawMenuBarBackground(int state, const RECT* rect) override;

    // The DPI the chosen strategy draws its text at.
    void SetDpi(int dpi);

    bool IsSkin() const { return m_template.SkinStrategy() != nullptr; }
    bool IsTheme() const { return m_template.ThemeStrategy() != nullptr; }
    bool IsClassic() const { return m_template.ClassicStrategy() != nullptr; }

private:
    CKivThemePaintTemplate<CKivMenuPaint, CKivNativeXPMenuPaint, CKivClassicMenuPaint> m_template;
    IKivMenuPaint* m_chosen;
};

}  // namespace CKivThemePaint

using CKivThemePaint::CKivThemeMenuPaint;
