#pragma once
// A skin built in memory for painting tests: an atlas of flat-coloured 16x16
// slots plus a few asymmetric pictures, and settings that point into it.
#include <windows.h>
#include <vector>

namespace kivtest {

namespace skin {
const int kAtlasWidth = 256;
const int kAtlasHeight = 128;
const int kSlot = 16;

// Slot numbers of the frame pictures.
enum Slot
{
    CaptionActive = 0, CaptionDefault, BorderLeftActive, BorderLeftDefault, BorderTopActive, BorderTopDefault,
    BorderRightActive, BorderRightDefault, BorderBottomActive, BorderBottomDefault,
    CloseDefault, CloseHot, CloseSelected, CloseDisable,
    MaxDefault, MaxHot, MaxSelected, MaxDisable,
    RestoreDefault, RestoreHot, RestoreSelected, RestoreDisable,
    MinDefault, MinHot, MinSelected, MinDisable,
    MenuBarBackground, MenuBarSelected, SlotCount
};

// Slots fill rows 0-4 from the left; the pictures below lie outside them.
RECT SlotRect(int slot);
// The flat colour of a slot; variant shifts every colour so a reload shows.
COLORREF SlotColour(int slot, int variant = 0);
// 10x10, pixel (i, j) = GridColour(i, j).
const RECT kGrid10 = {0, 96, 10, 106};
COLORREF GridColour(int i, int j);
// 16x16 in the corner colour with 4x4 pure black corners.
const RECT kBlackCorners = {16, 96, 32, 112};
COLORREF CornersColour();
// 64x32 client background, pixel (x, y) = BackgroundColour(x, y).
const RECT kBackground = {160, 0, 224, 32};
COLORREF BackgroundColour(int x, int y);

// The atlas as a BMP file image.
std::vector<unsigned char> AtlasImage(int variant = 0);
// Clears the settings, points them at the atlas and installs a fresh atlas.
void Install(int variant = 0);
}  // namespace skin

// A 32-bpp top-down DIB selected into a memory context, for reading pixels back.
class Canvas
{
public:
    Canvas(int width, int height, COLORREF fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC DC() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF Pixel(int x, int y) const;
    void Fill(COLORREF colour);
    bool SameAs(const Canvas& other) const;
    // Saves the picture as a 32-bpp BMP file, every pixel opaque.
    bool Save(const wchar_t* path) const;

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    DWORD* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// Renders a window (frame included) through WM_PRINT into a canvas.
void PrintWindowTo(HWND window, Canvas& canvas);
// Copies what the screen shows of a window's rectangle into a canvas.
void CaptureScreenTo(HWND window, Canvas& canvas);
// Copies the screen from topLeft on into the canvas (its size).
void CaptureScreenAt(POINT topLeft, Canvas& canvas);

}  // namespace kivtest
