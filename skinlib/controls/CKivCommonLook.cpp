#include "CKivCommonLook.h"
#include <commctrl.h>
#include <cstring>
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"
#include "KivSkinSettings.h"

namespace {

// Everything the look is measured from, compared whole to know when to measure again.
struct Inputs
{
    unsigned generation;
    HBITMAP atlas;
    RECT pictures[5];
    int colours[16];

    static Inputs Of(HBITMAP atlas, const KivSkinSettings& s)
    {
        Inputs in;
        std::memset(&in, 0, sizeof(in));
        in.generation = CKivSkinStore::Generation();
        in.atlas = atlas;
        const RECT pictures[] = {s.menuBarBackground, s.menuBarSelectedItem, s.buttonNormalBmp, s.buttonHotBmp,
                                 s.buttonPressedBmp};
        std::memcpy(in.pictures, pictures, sizeof(pictures));
        const int colours[] = {s.edgeEnableBackColor, s.edgeBackgroundColor, s.comboBoxButtonColor,
                               s.comboBoxButtonSelectColor, s.tabControlItemHotColor, s.listBoxBackgroundColor,
                               s.listBoxBorderColor, s.vScrollBarSBarColor, s.vScrollBarSBarBorderColor,
                               s.vScrollBarSBarSliderColor, s.vScrollBarSBarSliderBorderColor,
                               s.editControlBackgroundColor, s.editControlEnableBackgroundColor,
                               s.edgeEnableBackground, s.comboBoxListBoxBorderColor, 0};
        std::memcpy(in.colours, colours, sizeof(colours));
        return in;
    }
    bool operator==(const Inputs& other) const { return std::memcmp(this, &other, sizeof(Inputs)) == 0; }
};

COLORREF Colour(int value)
{
    return static_cast<COLORREF>(value) & 0x00FFFFFF;
}

// A surface of a picture where the skin has one, else of a flat colour; its
// text colours read on what is painted.
CKivCommonLook::Surface Make(HBITMAP atlas, const RECT& picture, COLORREF colour)
{
    CKivCommonLook::Surface surface;
    surface.colour = colour;
    double luminance = CKivTextContrast::RelativeLuminance(colour);
    surface.average = colour;
    if (!CKivGraphics::IsSkinRectEmpty(&picture) &&
        CKivTextContrast::Average(atlas, picture, &luminance, &surface.average))
        surface.picture = picture;
    else
        luminance = CKivTextContrast::RelativeLuminance(colour);
    surface.luminance = luminance;
    surface.text = CKivTextContrast::ReadableOn(luminance);
    surface.grayText = CKivTextContrast::GrayOn(luminance);
    return surface;
}

CKivCommonLook::Surface Flat(COLORREF colour)
{
    return Make(nullptr, RECT{}, colour);
}

}  // namespace

CKivCommonLook CKivCommonLook::Measure(HBITMAP atlas, const KivSkinSettings& s)
{
    CKivCommonLook look;
    const COLORREF dialog = s.edgeEnableBackColor ? Colour(s.edgeBackgroundColor) : GetSysColor(COLOR_BTNFACE);
    look.bar = Make(atlas, s.menuBarBackground, dialog);
    look.bar.ground = true;
    look.barHot = Make(atlas, s.menuBarSelectedItem, Colour(s.comboBoxButtonSelectColor));
    look.barPressed = Make(atlas, s.buttonPressedBmp, Colour(s.comboBoxButtonSelectColor));
    look.face = Make(atlas, s.buttonNormalBmp, Colour(s.comboBoxButtonColor));
    look.faceHot = Make(atlas, s.buttonHotBmp, Colour(s.tabControlItemHotColor));
    look.facePressed = Make(atlas, s.buttonPressedBmp, Colour(s.comboBoxButtonSelectColor));
    look.tip = Flat(Colour(s.listBoxBackgroundColor));
    look.tipBorder = Colour(s.listBoxBorderColor);
    look.spin = Flat(Colour(s.vScrollBarSBarColor));
    look.spinBorder = Colour(s.vScrollBarSBarBorderColor);
    look.spinPressed = Flat(Colour(s.vScrollBarSBarSliderColor));
    look.spinPressedBorder = Colour(s.vScrollBarSBarSliderBorderColor);
    look.page = Flat(dialog);
    look.document = Flat(s.editControlEnableBackgroundColor ? Colour(s.editControlBackgroundColor)
                                                            : GetSysColor(COLOR_WINDOW));
    look.line = Colour(s.listBoxBorderColor);
    return look;
}

const CKivCommonLook& CKivCommonLook::Current()
{
    // Painting runs on the one skinned thread only.
    static CKivCommonLook look;
    static Inputs measured = {};
    static bool valid = false;
    const HBITMAP atlas = CKivSkinStore::Atlas();
    const KivSkinSettings& settings = CKivSkinStore::Settings();
    const Inputs now = Inputs::Of(atlas, settings);
    if (!valid || !(now == measured))
    {
        look = Measure(atlas, settings);
        measured = now;
        valid = true;
    }
    return look;
}

CKivCommonLook::Surface CKivCommonLook::Flattened(const Surface& surface)
{
    Surface flat = Flat(surface.average);
    flat.ground = surface.ground;
    return flat;
}

void CKivCommonLook::FillColour(HDC dc, const RECT& box, COLORREF colour)
{
    CKivBrush brush(CreateSolidBrush(colour));
    if (brush)
        FillRect(dc, &box, brush);
}

void CKivCommonLook::FrameColour(HDC dc, const RECT& box, COLORREF colour)
{
    CKivBrush brush(CreateSolidBrush(colour));
    if (brush)
        FrameRect(dc, &box, brush);
}

bool CKivCommonLook::HasPicture(const Surface& surface)
{
    return !CKivGraphics::IsSkinRectEmpty(&surface.picture);
}

void CKivCommonLook::Fill(HDC dc, const RECT& area, const Surface& surface)
{
    Fill(dc, area, area, surface);
}

void CKivCommonLook::Fill(HDC dc, const RECT& area, const RECT& stretch, const Surface& surface)
{
    if (dc == nullptr || IsRectEmpty(&area))
        return;
    if (!HasPicture(surface) || surface.ground)
    {
        FillColour(dc, area, surface.colour);
        if (!HasPicture(surface))
            return;
    }
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    // A picture squeezed into a lower bar is resampled pixel by pixel; the
    // DC's default mode would AND neighbouring rows into colours of neither.
    SetStretchBltMode(dc, COLORONCOLOR);
    CKivGraphics::StretchBltFromSkinRect(dc, &stretch, &surface.picture);
    RestoreDC(dc, saved);
}

RECT CKivCommonLook::BarStretch(HWND window)
{
    RECT area = {};
    GetClientRect(window, &area);
    const HWND parent = GetParent(window);
    wchar_t name[32] = {};
    if (parent == nullptr || GetClassNameW(parent, name, 32) == 0 || lstrcmpiW(name, REBARCLASSNAMEW) != 0)
        return area;
    RECT outer = {};
    GetClientRect(parent, &outer);
    MapWindowPoints(parent, window, reinterpret_cast<POINT*>(&outer), 2);
    return outer;
}
