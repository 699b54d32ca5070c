// Drawing services: skin blits against the keyed reference, fills, arrows, fonts.
#include <doctest.h>
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivSkinStore.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <climits>
#include <ios>
#include <string>
#include <thread>
#include <vector>

using kivtest::Canvas;
namespace skin = kivtest::skin;

namespace {
const COLORREF kRed = RGB(255, 0, 0);

// Draws the same piece with the cached path and the keyed reference onto red
// and compares every pixel.
bool MatchesKeyed(const RECT& source, int x, int y, int cx, int cy, int canvasW, int canvasH)
{
    Canvas fast(canvasW, canvasH, kRed);
    Canvas keyed(canvasW, canvasH, kRed);
    CKivGraphics::StretchBltFromSkin(fast.DC(), x, y, cx, cy, &source);
    CKivGraphics::StretchBltFromSkinKeyed(keyed.DC(), x, y, cx, cy, &source);
    return fast.SameAs(keyed);
}
}  // namespace

// Must stay the first case: nothing in this process may have asked for a font before.
TEST_CASE("the vertical font is created alone and faces downwards")
{
    REQUIRE_FALSE(CKivGraphics::IsSkinFontCreated(0));
    REQUIRE_FALSE(CKivGraphics::IsSkinFontCreated(1));
    HFONT vertical = CKivGraphics::GetSkinFont(1);
    REQUIRE(vertical != nullptr);
    CHECK(CKivGraphics::IsSkinFontCreated(1));
    CHECK_FALSE(CKivGraphics::IsSkinFontCreated(0));
    CHECK(CKivGraphics::GetSkinFont(7) == vertical);  // any non-zero index is the vertical one

    HFONT control = CKivGraphics::GetSkinFont(0);
    CHECK(control != vertical);
    CHECK(CKivGraphics::GetSkinFont(0) == control);
    LOGFONTW logical = {};
    REQUIRE(GetObjectW(vertical, sizeof(logical), &logical) == sizeof(logical));
    CHECK(logical.lfEscapement == -900);
    CHECK(logical.lfHeight == 15);
    CHECK(std::wstring(logical.lfFaceName) == L"Arial");
    REQUIRE(GetObjectW(control, sizeof(logical), &logical) == sizeof(logical));
    CHECK(logical.lfEscapement == 0);
    CHECK(logical.lfQuality == CLEARTYPE_QUALITY);
}

TEST_CASE("a skin piece is stretched, never tiled, and leaves the rest untouched")
{
    skin::Install();
    Canvas canvas(120, 50, kRed);
    REQUIRE(CKivGraphics::StretchBltFromSkin(canvas.DC(), 10, 10, 100, 30, &skin::kGrid10));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 120; ++x)
        {
            const bool inside = x >= 10 && x < 110 && y >= 10 && y < 40;
            const COLORREF expected = inside ? skin::GridColour((x - 10) / 10, (y - 10) / 3) : kRed;
            if (canvas.Pixel(x, y) != expected)
            {
                FAIL_CHECK("pixel " << x << "," << y << " is " << std::hex << canvas.Pixel(x, y) << " not " << expected);
                return;
            }
        }
    // The neighbouring atlas pixels (magenta) never bleed into the edges.
    CHECK(canvas.Pixel(109, 39) == skin::GridColour(9, 9));

    const RECT dest = {0, 0, 120, 50};
    CHECK(CKivGraphics::StretchBltFromSkinRect(canvas.DC(), &dest, &skin::kBackground));
    CHECK(canvas.Pixel(0, 0) == skin::BackgroundColour(0, 0));
    CHECK(canvas.Pixel(119, 49) == skin::BackgroundColour(63, 31));
}

TEST_CASE("black is transparent and the cached path matches the keyed reference")
{
    skin::Install();
    Canvas canvas(40, 40, kRed);
    REQUIRE(CKivGraphics::StretchBltFromSkin(canvas.DC(), 4, 4, 32, 32, &skin::kBlackCorners));
    CHECK(canvas.Pixel(4, 4) == kRed);
    CHECK(canvas.Pixel(11, 11) == kRed);
    CHECK(canvas.Pixel(35, 35) == kRed);
    CHECK(canvas.Pixel(4, 35) == kRed);
    CHECK(canvas.Pixel(12, 4) == skin::CornersColour());
    CHECK(canvas.Pixel(20, 20) == skin::CornersColour());

    SUBCASE("enlarged by whole and by odd factors")
    {
        CHECK(MatchesKeyed(skin::kBlackCorners, 4, 4, 32, 32, 40, 40));
        CHECK(MatchesKeyed(skin::kBlackCorners, 3, 5, 37, 23, 50, 40));
        CHECK(MatchesKeyed(skin::kBlackCorners, 0, 0, 16, 16, 20, 20));
        CHECK(MatchesKeyed(skin::kGrid10, 2, 2, 33, 47, 40, 52));
    }
    SUBCASE("shrunk in one or both directions")
    {
        CHECK(MatchesKeyed(skin::kBlackCorners, 1, 2, 101, 7, 110, 12));
        CHECK(MatchesKeyed(skin::kBlackCorners, 1, 2, 5, 9, 10, 12));
        CHECK(MatchesKeyed(skin::kGrid10, 0, 0, 7, 7, 10, 10));
    }
    SUBCASE("partly outside the destination")
    {
        CHECK(MatchesKeyed(skin::kBlackCorners, -9, -5, 40, 30, 30, 30));
    }
}

TEST_CASE("hostile rectangles are clipped to the atlas and never crash or leak")
{
    skin::Install();
    CKivGraphics::DropPieceCache();
    const long before = CKivGdiObjectCount::Live();
    Canvas canvas(64, 64, kRed);
    const RECT hostile[] = {
        {-40, -40, 10, 10},   {250, 120, 400, 300},   {0, 0, INT_MAX, INT_MAX}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {20, 20, 10, 10},     {5, 5, 5, 50},          {1000, 1000, 1010, 1010}, {INT_MAX - 2, 0, INT_MAX, 10},
    };
    for (const RECT& rect : hostile)
    {
        CKivGraphics::StretchBltFromSkin(canvas.DC(), 0, 0, 64, 64, &rect);
        CKivGraphics::StretchBltFromSkinKeyed(canvas.DC(), 0, 0, 64, 64, &rect);
    }
    CKivGraphics::StretchBltFromSkin(canvas.DC(), 0, 0, -64, 64, &skin::kGrid10);
    CKivGraphics::StretchBltFromSkin(canvas.DC(), 0, 0, 64, 0, &skin::kGrid10);
    CHECK_FALSE(CKivGraphics::StretchBltFromSkin(canvas.DC(), 0, 0, 10, 10, nullptr));
    CHECK_FALSE(CKivGraphics::StretchBltFromSkin(nullptr, 0, 0, 10, 10, &skin::kGrid10));
    CHECK_FALSE(CKivGraphics::TransparentBltBitmap(canvas.DC(), nullptr, 0, 0, 10, 10, 10, 10));

    // A piece half outside the atlas keeps its geometry: the outside half is transparent.
    canvas.Fill(kRed);
    const RECT half = {-10, 96, 10, 106};
    CKivGraphics::StretchBltFromSkin(canvas.DC(), 0, 0, 40, 10, &half);
    CHECK(canvas.Pixel(5, 5) == kRed);
    CHECK(canvas.Pixel(20, 0) == skin::GridColour(0, 0));
    CHECK(canvas.Pixel(39, 9) == skin::GridColour(9, 9));

    CKivGraphics::DropPieceCache();
    CHECK(CKivGdiObjectCount::Live() == before);
}

TEST_CASE("prepared pieces are dropped when a new skin loads")
{
    skin::Install(0);
    const RECT caption = skin::SlotRect(skin::CaptionActive);
    Canvas canvas(8, 8, kRed);
    CKivGraphics::StretchBltFromSkin(canvas.DC(), 0, 0, 8, 8, &caption);
    CHECK(canvas.Pixel(3, 3) == skin::SlotColour(skin::CaptionActive, 0));
    CHECK(CKivGraphics::CachedPieceCount() >= 1);
    skin::Install(5);
    CKivGraphics::StretchBltFromSkin(canvas.DC(), 0, 0, 8, 8, &caption);
    CHECK(canvas.Pixel(3, 3) == skin::SlotColour(skin::CaptionActive, 5));

    // Without an atlas nothing is drawn.
    CKivSkinStore::DeleteAtlas();
    canvas.Fill(kRed);
    CHECK_FALSE(CKivGraphics::StretchBltFromSkin(canvas.DC(), 0, 0, 8, 8, &caption));
    CHECK(canvas.Pixel(3, 3) == kRed);
}

TEST_CASE("memory surfaces refuse absurd sizes and release what they make")
{
    HDC screen = GetDC(nullptr);
    const long before = CKivGdiObjectCount::Live();
    {
        CKivHDCMemory good(screen, 32, 16);
        CHECK(good.IsValid());
        CHECK(CKivGdiObjectCount::Live() == before + 1);
        BITMAP info = {};
        GetObjectW(good.GetBitmap(), sizeof(info), &info);
        CHECK(info.bmWidth == 32);
        CHECK(info.bmHeight == 16);
        CHECK(GetCurrentObject(good.GetDC(), OBJ_BITMAP) == good.GetBitmap());
    }
    CHECK(CKivGdiObjectCount::Live() == before);
    const int sizes[][2] = {{0, 10}, {10, -1}, {INT_MAX, 2}, {70000, 70000}, {10, 0}};
    for (const auto& size : sizes)
    {
        CKivHDCMemoryTemp bad(screen, size[0], size[1]);
        CHECK_FALSE(bad.IsValid());
        CHECK(bad.GetDC() == nullptr);
    }
    CKivHDCMemory noReference(nullptr, 10, 10);
    CHECK_FALSE(noReference.IsValid());
    CHECK(CKivGdiObjectCount::Live() == before);
    ReleaseDC(nullptr, screen);
}

TEST_CASE("arrows: geometry per direction and darkening clamped at zero")
{
    CHECK(CKivGraphics::DarkenColor(RGB(30, 100, 200)) == RGB(0, 50, 150));
    CHECK(CKivGraphics::DarkenColor(RGB(50, 51, 255)) == RGB(0, 1, 205));

    Canvas canvas(60, 60, RGB(255, 255, 255));
    const POINT origin = {20, 20};
    REQUIRE(CKivGraphics::FillArrow(canvas.DC(), &origin, 2, RGB(30, 100, 200), 6, 12));
    const COLORREF dark = RGB(0, 50, 150);
    int minX = 99, maxX = -1, minY = 99, maxY = -1, painted = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (canvas.Pixel(x, y) == dark)
            {
                ++painted;
                minX = x < minX ? x : minX;
                maxX = x > maxX ? x : maxX;
                minY = y < minY ? y : minY;
                maxY = y > maxY ? y : maxY;
            }
            else
            {
                CHECK(canvas.Pixel(x, y) == RGB(255, 255, 255));
            }
    // Pointing left: 6 wide, 12 high, apex at (0, 6) from the origin.
    CHECK(painted > 20);
    CHECK(minX >= 20);
    CHECK(maxX <= 25);
    CHECK(minY >= 20);
    CHECK(maxY <= 31);
    CHECK(maxX - minX >= 4);
    CHECK(maxY - minY >= 9);
    CHECK(canvas.Pixel(25, 26) == dark);   // wide end
    CHECK(canvas.Pixel(25, 21) == dark);
    CHECK(canvas.Pixel(21, 21) != dark);   // narrow end near the apex
    // The viewport is reset afterwards.
    POINT viewport = {1, 1};
    GetViewportOrgEx(canvas.DC(), &viewport);
    CHECK(viewport.x == 0);
    CHECK(viewport.y == 0);

    canvas.Fill(RGB(255, 255, 255));
    const POINT top = {0, 0};
    REQUIRE(CKivGraphics::FillArrow(canvas.DC(), &top, 1, RGB(60, 60, 60), 4, 8));
    CHECK(canvas.Pixel(4, 1) == RGB(10, 10, 10));  // pointing down: wide at the top
    CHECK(canvas.Pixel(0, 3) != RGB(10, 10, 10));

    CHECK_FALSE(CKivGraphics::FillArrow(canvas.DC(), nullptr, 0, 0, 4, 8));
    CHECK_FALSE(CKivGraphics::FillArrow(canvas.DC(), &top, 4, 0, 4, 8));
    CHECK_FALSE(CKivGraphics::FillArrow(canvas.DC(), &top, -1, 0, 4, 8));
}

TEST_CASE("inclusive point test, empty skin rectangles and text extents")
{
    CHECK(CKivGraphics::PtInRectInclusive(10, 20, 10, 20, 30, 40));
    CHECK(CKivGraphics::PtInRectInclusive(30, 40, 10, 20, 30, 40));
    CHECK(CKivGraphics::PtInRectInclusive(30, 20, 10, 20, 30, 40));
    CHECK_FALSE(CKivGraphics::PtInRectInclusive(31, 40, 10, 20, 30, 40));
    CHECK_FALSE(CKivGraphics::PtInRectInclusive(10, 19, 10, 20, 30, 40));

    const RECT zero = {0, 0, 0, 0};
    const RECT one = {0, 0, 0, 1};
    CHECK(CKivGraphics::IsSkinRectEmpty(nullptr));
    CHECK(CKivGraphics::IsSkinRectEmpty(&zero));
    CHECK_FALSE(CKivGraphics::IsSkinRectEmpty(&one));

    Canvas canvas(10, 10, 0);
    SelectObject(canvas.DC(), CKivGraphics::GetSkinFont(0));
    SIZE shortText = {-1, -1}, longText = {-1, -1};
    CHECK(CKivGraphics::GetTextExtent(canvas.DC(), L"ab", &shortText) == &shortText);
    CHECK(CKivGraphics::GetTextExtent(canvas.DC(), L"abab", &longText) == &longText);
    CHECK(shortText.cx > 0);
    CHECK(longText.cx > shortText.cx);
    CHECK(CKivGraphics::GetTextExtent(canvas.DC(), nullptr, &shortText) == nullptr);
    CHECK(CKivGraphics::GetTextExtent(canvas.DC(), L"x", nullptr) == nullptr);
}

TEST_CASE("background parts: colour fills and the picture under a control")
{
    skin::Install();
    KivSkinSettings& settings = CKivSkinStore::Settings();
    Canvas canvas(20, 20, kRed);

    CKivGraphics::FillBackgroundPart(canvas.DC(), 0, 0, 20, 20);
    CHECK(canvas.Pixel(10, 10) == GetSysColor(COLOR_BTNFACE));

    settings.edgeEnableBackColor = 1;
    settings.edgeBackgroundColor = RGB(1, 2, 3);
    CKivGraphics::FillBackgroundPart(canvas.DC(), 0, 0, 20, 20);
    CHECK(canvas.Pixel(19, 19) == RGB(1, 2, 3));

    settings.edgeEnableBackground = 1;
    CKivGraphics::FillBackgroundPart(canvas.DC(), 7, 3, 20, 20);
    CHECK(canvas.Pixel(0, 0) == skin::BackgroundColour(7, 3));
    CHECK(canvas.Pixel(19, 19) == skin::BackgroundColour(26, 22));
    // Beyond the picture's extent the client's white shows, not the atlas.
    CKivGraphics::FillBackgroundPart(canvas.DC(), 55, 25, 20, 20);
    CHECK(canvas.Pixel(0, 0) == skin::BackgroundColour(55, 25));
    CHECK(canvas.Pixel(8, 6) == skin::BackgroundColour(63, 31));
    CHECK(canvas.Pixel(9, 0) == RGB(255, 255, 255));
    CHECK(canvas.Pixel(0, 7) == RGB(255, 255, 255));

    // A control at (12, 5) of its parent's client area gets the part under it.
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200, nullptr, nullptr, nullptr, nullptr);
    HWND control = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 12, 5, 20, 20, parent, nullptr, nullptr, nullptr);
    REQUIRE(control != nullptr);
    CHECK(CKivGraphics::FillParentBackground(canvas.DC(), 20, 20, control) == 1);
    CHECK(canvas.Pixel(0, 0) == skin::BackgroundColour(12, 5));
    CHECK(canvas.Pixel(3, 4) == skin::BackgroundColour(15, 9));
    DestroyWindow(parent);
    memset(&settings, 0, sizeof(settings));
}

TEST_CASE("the live object count stays exact while several threads make and drop objects")
{
    // The builder's worker thread builds pictures while the UI thread paints:
    // both change the count at once, and no change may be lost.
    const long before = CKivGdiObjectCount::Live();
    const HBRUSH stock = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    auto work = [stock](int seed) {
        for (int i = 0; i < 20000; ++i)
        {
            CKivBrush made(CreateSolidBrush(RGB(seed, i & 0xFF, 7)));
            CKivBrush held(stock);
            CKivBrush moved(std::move(held));
            moved.Release();
        }
    };
    std::vector<std::thread> threads;
    for (int seed = 0; seed < 4; ++seed)
        threads.emplace_back(work, seed);
    for (std::thread& thread : threads)
        thread.join();
    CHECK(CKivGdiObjectCount::Live() == before);
}
