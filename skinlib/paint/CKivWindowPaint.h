#pragma once
#include "CKivPaint.h"
#include "CKivWindowHelper.h"
#include "IKivWindowPaint.h"

// The skin strategy for frame windows: caption bar, borders, caption buttons
// and client background from the skin atlas. The ...To operations draw onto a
// given context at window coordinates, so the frame can compose everything in
// one memory bitmap or render into a print context.
class CKivWindowPaint : public CKivPaint, public IKivWindowPaint, public CKivWindowHelper
{
public:
    explicit CKivWindowPaint(HWND window);

    int IsAvailable() override { return 1; }

    BOOL EraseBackground(HDC dc) override;
    void DrawCaption(int active, const wchar_t* title) override;
    void DrawCaptionIcon(HDC dc) override;
    void DrawCaptionTitle(int active, HDC dc) override;
    void DrawCaptionButton(int index, int state) override;
    KivFrameMetrics* CalcMetrics() override;

    // Caption (without the button strip) and, unless maximised, the borders.
    void DrawCaptionTo(HDC target, int active);
    // Button index: 0 close, 1 maximise, 2 restore, 3 minimise; state: 0 default, 1 hot, 2 pressed.
    void DrawCaptionButtonTo(HDC target, int index, int state);
    const KivFrameMetrics& Metrics() const { return m_metrics; }
    // The skin's picture of a caption button (index as above; state 0
    // default, 1 hot, 2 pressed, 3 disabled); an empty rectangle without one.
    static const RECT* CaptionButtonPicture(const KivSkinSettings& settings, int index, int state);

private:
    KivFrameMetrics m_metrics = {};
};
