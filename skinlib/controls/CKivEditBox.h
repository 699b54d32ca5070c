#pragma once
#include "CKivScrolledWnd.h"
#include "CKivSolidBrush.h"

struct KivSkinSettings;

// Edit skin: decoration only. A one-pixel border in the normal or focus
// colour where the window has a border, a colour, picture or the parent's
// background behind the text with the text in black or white, whichever
// reads there (read-only edits too), and the scroll bars in the skin's
// colours; all editing, the text and every notification stay with the
// control. Colours the parent chooses itself in WM_CTLCOLOREDIT or
// WM_CTLCOLORSTATIC are kept.
class CKivEditBox : public CKivScrolledWnd
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
    LRESULT OnEraseBkgnd(HDC dc) override;

    // Copies the SystemControl\EditControl group; false without a window.
    bool Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;
    void SetLook(const Look& look);
    const Look& GetLook() const { return m_look; }

    // The brush answered for the background colour: one per object, made
    // again only when the colour changes.
    HBRUSH BackgroundBrush();
    // Black or white, whichever reads on the background the skin gives the
    // text; CLR_INVALID when the skin gives none (the system's colours stay).
    COLORREF SkinTextColour() const;

protected:
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DecorateFrame() override { DrawBorder(); }

private:
    LRESULT OnCtlColor(HDC dc, HBRUSH hostBrush);
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
