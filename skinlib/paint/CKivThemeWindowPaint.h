#pragma once
#include "CKivClassicWindowPaint.h"
#include "CKivNativeXPWindowPaint.h"
#include "CKivThemePaintTemplate.h"
#include "CKivWindowPaint.h"
#include "IKivWindowPaint.h"

namespace CKivThemePaint {

// The window strategy chosen for one window; forwards every call to it.
class CKivThemeWindowPaint : public IKivWindowPaint
{
public:
    explicit CKivThemeWindowPaint(HWND window);
    ~CKivThemeWindowPaint() override = default;

    BOOL EraseBackground(HDC dc) override;
    void DrawCaption(int active, const wchar_t* title) override;
    // Through the selector these two draw onto the window at window coordinates.
    void DrawCaptionIcon(HDC dc) override;
    void DrawCaptionTitle(int active, HDC dc) override;
    void DrawCaptionButton(int index, int state) override;
    KivFrameMetrics* CalcMetrics() override;

    // The skin strategy when it was chosen, else null.
    CKivWindowPaint* SkinStrategy() const { return m_template.SkinStrategy(); }
    bool IsSkin() const { return m_template.SkinStrategy() != nullptr; }
    bool IsTheme() const { return m_template.ThemeStrategy() != nullptr; }
    bool IsClassic() const { return m_template.ClassicStrategy() != nullptr; }
    // The DPI the skin strategy measures and draws the frame at.
    void SetDpi(int dpi);
    // Lets go of the window context before the window is destroyed.
    void ReleaseContext();

private:
    CKivThemePaintTemplate<CKivWindowPaint, CKivNativeXPWindowPaint, CKivClassicWindowPaint> m_template;
    IKivWindowPaint* m_chosen;
};

}  // namespace CKivThemePaint

using CKivThemePaint::CKivThemeWindowPaint;
