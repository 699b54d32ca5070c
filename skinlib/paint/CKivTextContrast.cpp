#include "CKivTextContrast.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivSkinStore.h"
#include <cmath>
#include <cstring>

namespace {

const double kReadableRatio = 4.5;

double LinearOf(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// Averaging a picture takes every pixel: the power function once per
// channel value, not three times per pixel.
struct LinearTable
{
    double values[256];
    LinearTable()
    {
        for (int i = 0; i < 256; ++i)
            values[i] = LinearOf(i);
    }
};

double Linear(BYTE channel)
{
    static const LinearTable table;
    return table.values[channel];
}

double LuminanceOf(BYTE r, BYTE g, BYTE b)
{
    return 0.2126 * Linear(r) + 0.7152 * Linear(g) + 0.0722 * Linear(b);
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// What the cached colours were measured from.
struct Source
{
    bool valid = false;
    unsigned generation = 0;
    HBITMAP atlas = nullptr;
    RECT pieces[6] = {};
    int background[3] = {};

    void Take(const KivSkinSettings& s, HBITMAP skinAtlas)
    {
        valid = true;
        generation = CKivSkinStore::Generation();
        atlas = skinAtlas;
        pieces[0] = s.captionBarActiveBmp;
        pieces[1] = s.captionBarDefaultBmp;
        pieces[2] = s.menuBarBackground;
        pieces[3] = s.buttonNormalBmp;
        pieces[4] = s.buttonDisabledBmp;
        pieces[5] = s.edgeBackground;
        background[0] = s.edgeEnableBackground;
        background[1] = s.edgeEnableBackColor;
        background[2] = s.edgeBackgroundColor;
    }
    bool Matches(const KivSkinSettings& s, HBITMAP skinAtlas) const
    {
        return valid && generation == CKivSkinStore::Generation() && atlas == skinAtlas &&
               SameRect(pieces[0], s.captionBarActiveBmp) && SameRect(pieces[1], s.captionBarDefaultBmp) &&
               SameRect(pieces[2], s.menuBarBackground) && SameRect(pieces[3], s.buttonNormalBmp) &&
               SameRect(pieces[4], s.buttonDisabledBmp) && SameRect(pieces[5], s.edgeBackground) &&
               background[0] == s.edgeEnableBackground && background[1] == s.edgeEnableBackColor &&
               background[2] == s.edgeBackgroundColor;
    }
};

}  // namespace

namespace {

// Luminance of a picture, or of the fallback colour where there is none.
double PictureOr(HBITMAP atlas, const RECT& piece, COLORREF fallback)
{
    double luminance = 0.0;
    if (!CKivGraphics::IsSkinRectEmpty(&piece) && CKivTextContrast::AverageLuminance(atlas, piece, &luminance))
        return luminance;
    return CKivTextContrast::RelativeLuminance(fallback);
}

}  // namespace

double CKivTextContrast::RelativeLuminance(COLORREF colour)
{
    return LuminanceOf(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

double CKivTextContrast::ContrastRatio(double luminanceA, double luminanceB)
{
    const double lighter = luminanceA > luminanceB ? luminanceA : luminanceB;
    const double darker = luminanceA > luminanceB ? luminanceB : luminanceA;
    return (lighter + 0.05) / (darker + 0.05);
}

double CKivTextContrast::ContrastRatio(COLORREF a, COLORREF b)
{
    return ContrastRatio(RelativeLuminance(a), RelativeLuminance(b));
}

COLORREF CKivTextContrast::ReadableOn(double backgroundLuminance)
{
    // Ties go to black, the colour these texts have always had.
    return ContrastRatio(0.0, backgroundLuminance) >= ContrastRatio(1.0, backgroundLuminance) ? RGB(0, 0, 0)
                                                                                            : RGB(255, 255, 255);
}

COLORREF CKivTextContrast::GrayOn(double backgroundLuminance)
{
    const bool onDark = ReadableOn(backgroundLuminance) == RGB(255, 255, 255);
    // Walk from the background's side towards the text colour and stop at
    // the first grey that reads.
    for (int step = 0; step <= 255; ++step)
    {
        const BYTE level = static_cast<BYTE>(onDark ? step : 255 - step);
        if (ContrastRatio(LuminanceOf(level, level, level), backgroundLuminance) >= kReadableRatio)
            return RGB(level, level, level);
    }
    return onDark ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

bool CKivTextContrast::AverageLuminance(HBITMAP atlas, const RECT& piece, double* luminance)
{
    return luminance != nullptr && Average(atlas, piece, luminance, nullptr);
}

bool CKivTextContrast::Average(HBITMAP atlas, const RECT& piece, double* luminance, COLORREF* colour)
{
    BITMAP info = {};
    if (atlas == nullptr || GetObjectW(atlas, sizeof(info), &info) == 0)
        return false;
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    RECT bounds = {0, 0, width, height};
    RECT area = {};
    if (width <= 0 || height <= 0 || !IntersectRect(&area, &piece, &bounds))
        return false;
    // Only the piece, copied into 32-bit top-down rows whatever the atlas's
    // own depth: converting the whole atlas for every piece measured costs
    // more than painting a window.
    const int areaWidth = area.right - area.left;
    const int areaHeight = area.bottom - area.top;
    DWORD* pixels = nullptr;
    CKivBitmap copy(CKivGraphics::CopyTopDown32(atlas, area, &pixels));
    if (!copy)
        return false;
    double sum = 0.0;
    unsigned long long channels[3] = {};
    size_t counted = 0;
    for (int y = 0; y < areaHeight; ++y)
        for (int x = 0; x < areaWidth; ++x)
        {
            const DWORD p = pixels[static_cast<size_t>(y) * areaWidth + x] & 0x00FFFFFF;
            if (p == 0)
                continue;  // transparent where drawn: the picture says nothing there
            const BYTE r = static_cast<BYTE>(p >> 16), g = static_cast<BYTE>(p >> 8), b = static_cast<BYTE>(p);
            sum += LuminanceOf(r, g, b);
            channels[0] += r;
            channels[1] += g;
            channels[2] += b;
            ++counted;
        }
    if (counted == 0)
        return false;
    if (luminance != nullptr)
        *luminance = sum / static_cast<double>(counted);
    if (colour != nullptr)
        *colour = RGB(static_cast<BYTE>(channels[0] / counted), static_cast<BYTE>(channels[1] / counted),
                      static_cast<BYTE>(channels[2] / counted));
    return true;
}

CKivTextContrast::Colours CKivTextContrast::Measure(HBITMAP atlas, const KivSkinSettings& settings)
{
    Colours colours;
    double luminance = 0.0;
    if (AverageLuminance(atlas, settings.captionBarActiveBmp, &luminance))
        colours.titleActive = ReadableOn(luminance);
    if (AverageLuminance(atlas, settings.captionBarDefaultBmp, &luminance))
        colours.titleInactive = ReadableOn(luminance);
    // Without a bar picture the bar shows the system menu colour.
    const bool barPicture = !CKivGraphics::IsSkinRectEmpty(&settings.menuBarBackground) &&
                            AverageLuminance(atlas, settings.menuBarBackground, &luminance);
    if (!barPicture)
        luminance = RelativeLuminance(GetSysColor(COLOR_MENU));
    colours.barText = ReadableOn(luminance);
    // Where black reads, disabled items keep the system's grey text as they
    // always had; on a dark bar they get a grey that reads there.
    colours.barGrayText = colours.barText == RGB(0, 0, 0) ? GetSysColor(COLOR_GRAYTEXT) : GrayOn(luminance);

    const double face = PictureOr(atlas, settings.buttonNormalBmp, GetSysColor(COLOR_BTNFACE));
    colours.buttonText = ReadableOn(face);
    const double disabledFace = PictureOr(atlas, settings.buttonDisabledBmp, GetSysColor(COLOR_BTNFACE));
    // Disabled labels are a grey that still reads on the disabled face: a
    // disabled button must not look like an enabled one.
    colours.buttonGrayText = GrayOn(disabledFace);
    // The dialog background as the skin fills it: its picture, its colour, or the system face.
    const COLORREF dialogColour = settings.edgeEnableBackColor ? static_cast<COLORREF>(settings.edgeBackgroundColor) & 0x00FFFFFF
                                                               : GetSysColor(COLOR_BTNFACE);
    const double dialog = settings.edgeEnableBackground ? PictureOr(atlas, settings.edgeBackground, dialogColour)
                                                        : RelativeLuminance(dialogColour);
    colours.dialogText = ReadableOn(dialog);
    colours.dialogGrayText = GrayOn(dialog);
    return colours;
}

const CKivTextContrast::Colours& CKivTextContrast::Current()
{
    // Painting runs on the one skinned thread only.
    static Colours colours;
    static Source source;
    const KivSkinSettings& settings = CKivSkinStore::Settings();
    const HBITMAP atlas = CKivSkinStore::Atlas();
    if (!source.Matches(settings, atlas))
    {
        colours = Measure(atlas, settings);
        source.Take(settings, atlas);
    }
    return colours;
}
