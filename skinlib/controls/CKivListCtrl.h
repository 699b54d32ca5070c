#pragma once
#include <windows.h>
#include <commctrl.h>
#include "CKivViewCtrl.h"

struct KivSkinSettings;

// List view skin: the skin's border colour, the skin's list colours for the
// body (SystemControl\ListBox\BackgroundColor) with item texts in black or
// white, whichever reads on it, and selected items in the list's selection
// colour (through the custom draw its skinned parent hands back). With
// BackTransparent the dialog background lies behind the items instead, given
// to the control as its background image; the image is rebuilt only when the
// control's size or place or the skin changes.
//
// Colours the host gives the control itself (LVM_SETBKCOLOR,
// LVM_SETTEXTCOLOR, LVM_SETTEXTBKCOLOR, a background image) are the host's
// choice and win: the control shows them, the host reads them back, and the
// skin only chooses a text colour that reads on the host's background where
// the host chose none. Everything the skin changed comes back at detach.
class CKivListCtrl : public CKivViewCtrl
{
public:
    CKivListCtrl() = default;
    ~CKivListCtrl() override;

    // Takes the list view settings; 1 when attached.
    int Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int BackTransparent() const { return m_backTransparent; }
    COLORREF BodyColour() const { return m_body; }
    COLORREF SelectColour() const { return m_select; }
    // How many background images the skin has built (for tests).
    int BackgroundBuilds() const { return m_backgroundBuilds; }

protected:
    void AfterNcPaint() override;
    void RestoreControl() override;
    bool TakesItemStages() override;
    void ColourItem(NMCUSTOMDRAW* draw) override;
    std::pair<COLORREF, COLORREF> ItemColours(const NMCUSTOMDRAW* draw) const override;

private:
    // The three colours the control keeps, in this order.
    enum Colour
    {
        Back,
        Text,
        TextBack,
        ColourCount
    };
    // What the background image depends on.
    struct BackgroundKey
    {
        int width = -1;
        int height = -1;
        POINT position = {};
        unsigned skin = 0;
        bool operator==(const BackgroundKey& other) const;
    };
    BackgroundKey CurrentKey() const;
    // The control shows an image the host gave it.
    bool HasHostImage();
    // Builds and hands over the image; false when the control refused it.
    bool SetBackgroundImage(int width, int height);
    void BuildBackground();
    // Gives the control the skin's colours where the host chose none.
    void ApplyColours();
    void SetColour(Colour which, COLORREF colour);
    LRESULT OnHostColour(Colour which, bool set, WPARAM wParam, LPARAM lParam);
    static UINT GetMessageOf(Colour which);
    static UINT SetMessageOf(Colour which);

    int m_backTransparent = 0;
    COLORREF m_body = 0xFFFFFF;
    COLORREF m_select = 0xFF9933;
    BackgroundKey m_built;
    bool m_imageSet = false;
    int m_backgroundBuilds = 0;
    // Per colour: the control's value before the skin, whether the skin
    // changed it, and whether the host set its own.
    LRESULT m_original[ColourCount] = {};
    bool m_changed[ColourCount] = {};
    bool m_hostSet[ColourCount] = {};
};
