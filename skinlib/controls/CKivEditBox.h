#pragma once
#include "CKivSolidBrush.h"
#include "CKivWnd.h"

struct KivSkinSettings;

// Edit skin: decoration only. A one-pixel border in the normal or focus
// colour where the window has a border, and a colour, picture or the
// parent's background behind the text; all editing, the text and every
// notification stay with the control.
class CKivEditBox : public CKivWnd
{
public:
    struct Look
    {
        bool enableBorder = false;
        COLORREF normalColor = 0;
        COLORREF hotColor = 0;
        bool transparent = false;
        COLORREF backgroundColor = 0xFFFFFF;
        bool enableBackgroundColor = true;
        RECT backgroundBmp = {};
    };

    CKivEditBox()
    {
        AnswerPrivateMessage(KIV_WM_CTLCOLOREDIT);
        AnswerPrivateMessage(KIV_WM_EDITCHANGE);
    }

    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnEraseBkgnd(HDC dc) override;
    void OnNcPaint() override;

    // Copies the SystemControl\EditControl group; false without a window.
    bool Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;
    void SetLook(const Look& look);
    const Look& GetLook() const { return m_look; }

    // The brush answered for the background colour: one per object, made
    // again only when the colour changes.
    HBRUSH BackgroundBrush();

private:
    LRESULT OnCtlColor(HDC dc);
    LRESULT OnEditChange();
    LRESULT OnFocus(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnEditPaint(WPARAM wParam, LPARAM lParam);
    bool PaintsBackground() const;
    bool HasPicture() const;
    void DrawBorder();
    bool BorderInsideClient();

    Look m_look;
    CKivSolidBrush m_brush;
};
