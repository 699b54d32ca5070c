// Paint strategies: which one a selector picks, and what each draws.
#include <doctest.h>
#include "CKivClassicWindowPaint.h"
#include "CKivEngine.h"
#include "CKivNativeXPWindowPaint.h"
#include "CKivSkinStore.h"
#include "CKivThemeMenuPaint.h"
#include "CKivThemePaintTemplate.h"
#include "CKivThemeWindowPaint.h"
#include "KivDialogTemplate.h"
#include "KivFrameTestHost.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <string>

using kivtest::Canvas;
namespace skin = kivtest::skin;

namespace {

// Strategy stand-ins that record how they were made and answer a set availability.
struct Made
{
    std::string log;
    int skinAvailable = 0;
    int themeAvailable = 0;
};
Made g_made;

struct FakeMenuSkin
{
    FakeMenuSkin(HWND, HDC context) { g_made.log += context ? "S(h,dc)" : "S(h,0)"; }
    ~FakeMenuSkin() { g_made.log += "~S"; }
    int IsAvailable() { return g_made.skinAvailable; }
};
struct FakeWindowTheme
{
    explicit FakeWindowTheme(HWND) { g_made.log += "T(h)"; }
    ~FakeWindowTheme() { g_made.log += "~T"; }
    int IsAvailable() { return g_made.themeAvailable; }
};
struct FakeClassic
{
    explicit FakeClassic(HWND) { g_made.log += "C(h)"; }
    ~FakeClassic() { g_made.log += "~C"; }
};

using FakeTemplate = CKivThemePaintTemplate<FakeMenuSkin, FakeWindowTheme, FakeClassic>;

std::string Choose(int skinAvailable, int themeAvailable)
{
    g_made = Made();
    g_made.skinAvailable = skinAvailable;
    g_made.themeAvailable = themeAvailable;
    {
        FakeTemplate chosen(nullptr, reinterpret_cast<HDC>(1));
        g_made.log += "|";
    }
    return g_made.log;
}

int CountPixels(const Canvas& canvas, const RECT& area, COLORREF colour)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += canvas.Pixel(x, y) == colour;
    return count;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

}  // namespace

TEST_CASE("the template tries skin, then theme, then classic, and owns what it keeps")
{
    CHECK(Choose(1, 1) == "S(h,dc)|~S");
    CHECK(Choose(0, 1) == "S(h,dc)~ST(h)|~T");
    CHECK(Choose(0, 0) == "S(h,dc)~ST(h)~TC(h)|~C");
}

TEST_CASE("window selector: frames always get the skin strategy")
{
    skin::Install();
    HWND window = frametest::CreateHost(WS_OVERLAPPEDWINDOW, 10, 10, 200, 120);
    CKivThemeWindowPaint selector(window);
    CHECK(selector.IsSkin());
    CHECK(selector.SkinStrategy() != nullptr);
    KivFrameMetrics* metrics = selector.CalcMetrics();
    REQUIRE(metrics != nullptr);
    CHECK(metrics->captionHeight == 30);
    CHECK(metrics == selector.CalcMetrics());  // one record per strategy

    // Without a background setting the skin leaves erasing to the window.
    Canvas canvas(50, 50, RGB(1, 2, 3));
    CHECK_FALSE(selector.EraseBackground(canvas.DC()));
    CHECK(canvas.Pixel(10, 10) == RGB(1, 2, 3));
    CKivSkinStore::Settings().edgeEnableBackColor = 1;
    CKivSkinStore::Settings().edgeBackgroundColor = RGB(70, 60, 50);
    CHECK(selector.EraseBackground(canvas.DC()));
    CHECK(canvas.Pixel(10, 10) == RGB(70, 60, 50));
    DestroyWindow(window);
    skin::Install();
}

TEST_CASE("theme and classic window strategies report the background erased and draw nothing")
{
    HWND window = frametest::CreateHost(WS_OVERLAPPEDWINDOW, 10, 10, 200, 120);
    Canvas canvas(20, 20, RGB(1, 2, 3));
    CKivNativeXPWindowPaint theme(window);
    CKivClassicWindowPaint classic(window);
    CHECK(theme.EraseBackground(canvas.DC()));
    CHECK(classic.EraseBackground(canvas.DC()));
    CHECK(canvas.Pixel(5, 5) == RGB(1, 2, 3));
    CHECK(theme.CalcMetrics() == nullptr);
    CHECK(classic.CalcMetrics() == nullptr);
    CHECK(classic.IsAvailable() == 1);
    if (!IsThemeActive())
        CHECK(theme.IsAvailable() == 0);
    DestroyWindow(window);
}

TEST_CASE("menu bar strategies: skin pictures when asked for, else theme or system colours")
{
    skin::Install();
    HWND window = frametest::CreateHost(WS_OVERLAPPEDWINDOW, 10, 10, 200, 120);
    Canvas canvas(120, 30, RGB(1, 2, 3));
    const RECT item = {10, 2, 110, 28};

    SUBCASE("skin")
    {
        CKivSkinStore::Settings().menuBarEnableCustom = 1;
        CKivThemeMenuPaint menu(window, canvas.DC());
        REQUIRE(menu.IsSkin());
        CHECK(menu.DrawMenuBarItem(3, &item, L"File") == 1);
        CHECK(canvas.Pixel(12, 4) == skin::SlotColour(skin::MenuBarSelected));
        CHECK(CountPixels(canvas, item, RGB(0, 0, 0)) > 10);  // black text
        CHECK(canvas.Pixel(5, 5) == RGB(1, 2, 3));
        menu.DrawMenuBarItem(1, &item, L"");
        CHECK(canvas.Pixel(60, 15) == skin::SlotColour(skin::MenuBarBackground));
        const RECT bar = {0, 0, 120, 30};
        menu.DrawMenuBarBackground(2, &bar);
        CHECK(canvas.Pixel(2, 2) == skin::SlotColour(skin::MenuBarBackground));
    }
    SUBCASE("platform")
    {
        CKivThemeMenuPaint menu(window, canvas.DC());
        CHECK_FALSE(menu.IsSkin());
        if (IsThemeActive())
        {
            CHECK(menu.IsTheme());
        }
        else
        {
            REQUIRE(menu.IsClassic());
            CHECK(menu.DrawMenuBarItem(3, &item, L"File") == 1);
            CHECK(canvas.Pixel(12, 4) == GetSysColor(COLOR_MENUHILIGHT));
            CHECK(CountPixels(canvas, item, RGB(255, 255, 255)) > 10);  // white text when pushed
            menu.DrawMenuBarItem(1, &item, L"File");
            CHECK(canvas.Pixel(12, 4) == GetSysColor(COLOR_MENUBAR));
            CHECK(CountPixels(canvas, item, GetSysColor(COLOR_MENUTEXT)) > 10);
        }
    }
    DestroyWindow(window);
    skin::Install();
}

TEST_CASE("a dialog without caption gets its background from the window strategy")
{
    skin::Install();
    CKivSkinStore::Settings().edgeEnableBackColor = 1;
    CKivSkinStore::Settings().edgeBackgroundColor = RGB(30, 140, 90);
    CKivEngine::Instance().Run();
    kivtest::DialogTemplate dialog(WS_POPUP | WS_BORDER, 100, 60);
    HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.Build(), nullptr, &PlainDialogProc, 0);
    CKivEngine::Instance().Stop();
    REQUIRE(window != nullptr);
    Canvas canvas(40, 40, RGB(1, 2, 3));
    CHECK(SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.DC()), 0) == 1);
    CHECK(canvas.Pixel(20, 20) == RGB(30, 140, 90));
    DestroyWindow(window);
    skin::Install();
}
