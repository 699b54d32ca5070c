// What reaches the screen is what the frame renders off-screen, for a frame
// window and a dialog, active and inactive. With KIV_SCREENSHOT_DIR set the
// captures are also saved there as BMP files.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivFrameWnd.h"
#include "CKivSkinStore.h"
#include "KivDialogTemplate.h"
#include "KivFrameTestHost.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <set>
#include <string>
#include <vector>

using kivtest::Canvas;

namespace {

// The default skin beside the tests when it has been built, else the test skin.
bool LoadSkin()
{
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program);
    path.resize(path.find_last_of(L"\\/") + 1);
    path += L"default.kiv";
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES && CKivSkinStore::LoadSkin(path.c_str()) &&
        CKivSkinStore::Atlas())
        return true;
    kivtest::skin::Install();
    CKivSkinStore::Settings().edgeEnableRound = 1;
    return false;
}

void CaptureScreen(HWND window, Canvas& canvas)
{
    RECT r = {};
    GetWindowRect(window, &r);
    frametest::CaptureScreen(POINT{r.left, r.top}, canvas);
}

// Counts frame pixels (inside the window region, outside the client area)
// where the screen differs from the WM_PRINT rendering.
int FrameDifferences(HWND window, const Canvas& screen, const Canvas& printed)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool hasRegion = GetWindowRgn(window, region) != ERROR;
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT outer = {};
    GetWindowRect(window, &outer);
    OffsetRect(&client, -outer.left, -outer.top);
    int differences = 0;
    for (int y = 0; y < screen.Height(); ++y)
        for (int x = 0; x < screen.Width(); ++x)
        {
            const POINT p = {x, y};
            if ((hasRegion && !PtInRegion(region, x, y)) || PtInRect(&client, p))
                continue;
            differences += screen.Pixel(x, y) != printed.Pixel(x, y);
        }
    DeleteObject(region);
    return differences;
}

// How many colours the frame shows: a skinned frame has a caption picture,
// buttons and a title; a blank capture has one or two.
size_t FrameColours(HWND window, const Canvas& canvas)
{
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT outer = {};
    GetWindowRect(window, &outer);
    std::set<COLORREF> colours;
    // The caption strip above the client area.
    for (int y = 0; y < client.top - outer.top; ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            colours.insert(canvas.Pixel(x, y));
    return colours.size();
}

void CheckScreenMatchesPrint(HWND window, const wchar_t* name)
{
    RECT r = {};
    GetWindowRect(window, &r);
    Canvas screen(r.right - r.left, r.bottom - r.top, 0);
    Canvas printed(r.right - r.left, r.bottom - r.top, 0);
    CaptureScreen(window, screen);
    kivtest::PrintWindowTo(window, printed);
    frametest::SaveScreenshot(screen, name);
    CHECK(FrameDifferences(window, screen, printed) == 0);
    // Both show the frame, not a blank rectangle.
    CHECK(FrameColours(window, screen) >= 8);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Takes activation away from the frame under test.
HWND Cover()
{
    HWND other = frametest::CreateHost(WS_POPUP | WS_VISIBLE | WS_CAPTION, 700, 600, 120, 80, L"other");
    SetForegroundWindow(other);
    kivtest::PumpPending();
    return other;
}

}  // namespace

TEST_CASE("skinned frames on screen look as rendered off-screen")
{
    const bool defaultSkin = LoadSkin();
    const std::string skinName = defaultSkin ? "default.kiv" : "test skin";
    MESSAGE("skin: " << skinName);
    CKivEngine::Instance().Run();

    SUBCASE("frame window")
    {
        HWND window = frametest::CreateHost(WS_OVERLAPPEDWINDOW, 40, 40, 480, 320, L"Kiv skinned frame");
        // The registry gives every captioned top-level window a frame skin.
        REQUIRE(dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(window)) != nullptr);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        UpdateWindow(window);
        kivtest::PumpPending();
        CheckScreenMatchesPrint(window, L"frame_active.bmp");
        HWND other = Cover();
        CheckScreenMatchesPrint(window, L"frame_inactive.bmp");
        DestroyWindow(other);
        DestroyWindow(window);
    }
    SUBCASE("dialog")
    {
        kivtest::DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 220, 120, L"Kiv skinned dialog");
        dialog.Add(0x0082, 100, SS_LEFT, 10, 10, 180, 10, L"A dialog with a skinned frame.")
            .Add(0x0080, 101, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 30, 120, 12, L"Check box")
            .Add(0x0080, 102, BS_AUTORADIOBUTTON | WS_TABSTOP, 10, 46, 120, 12, L"Radio button")
            .Add(0x0080, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 95, 50, 14, L"OK")
            .Add(0x0080, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 160, 95, 50, 14, L"Cancel");
        HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.Build(), nullptr,
                                                 &PlainDialogProc, 0);
        REQUIRE(window != nullptr);
        // The registry gives every captioned top-level window a frame skin.
        REQUIRE(dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(window)) != nullptr);
        SetWindowPos(window, nullptr, 120, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        UpdateWindow(window);
        kivtest::PumpPending();
        CheckScreenMatchesPrint(window, L"dialog_active.bmp");
        HWND other = Cover();
        CheckScreenMatchesPrint(window, L"dialog_inactive.bmp");
        DestroyWindow(other);
        DestroyWindow(window);
    }
    CKivEngine::Instance().Stop();
}

TEST_CASE("a saved screenshot is opaque and keeps its colours, also where an icon was drawn with alpha")
{
    Canvas canvas(48, 32, RGB(10, 120, 200));
    const HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    REQUIRE(icon != nullptr);
    DrawIconEx(canvas.DC(), 8, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    const COLORREF corner = canvas.Pixel(0, 0);
    const COLORREF inIcon = canvas.Pixel(24, 16);
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"kiv-opaque-shot.bmp";
    REQUIRE(canvas.Save(path.c_str()));
    const std::vector<unsigned char> bytes = kivtest::ReadFileBytes(path);
    DeleteFileW(path.c_str());
    const size_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    REQUIRE(bytes.size() == offset + 48 * 32 * 4);
    int transparent = 0;
    for (size_t i = offset + 3; i < bytes.size(); i += 4)
        transparent += bytes[i] != 0xFF;
    CHECK(transparent == 0);
    // Blue, green, red as they were.
    const auto at = [&](int x, int y) {
        const size_t p = offset + (static_cast<size_t>(y) * 48 + x) * 4;
        return RGB(bytes[p + 2], bytes[p + 1], bytes[p]);
    };
    CHECK(at(0, 0) == corner);
    CHECK(at(24, 16) == inIcon);
}
