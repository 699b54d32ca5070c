// A skinned frame as real programs create and restyle it: the host's window
// procedure sees the same size and position messages during CreateWindowEx
// as without the skin; a style change at run time takes or gives back the
// skin's caption and border; a minimised frame and a dialog with only a big
// icon look right.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivFrameWnd.h"
#include "CKivSkinStore.h"
#include "KivDialogTemplate.h"
#include "KivFrameTestHost.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <string>
#include <vector>

namespace skin = kivtest::skin;

namespace {

struct Heard
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// What the host procedure heard while its CreateWindowEx ran, and after.
struct HostEars
{
    bool creating = false;
    std::vector<Heard> duringCreate;
    std::vector<Heard> afterCreate;
};

HostEars& Ears()
{
    static HostEars ears;
    return ears;
}

bool IsPlacement(UINT message)
{
    return message == WM_SIZE || message == WM_MOVE || message == WM_WINDOWPOSCHANGING ||
           message == WM_WINDOWPOSCHANGED;
}

LRESULT CALLBACK RecordingHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsPlacement(message))
        (Ears().creating ? Ears().duringCreate : Ears().afterCreate).push_back(Heard{message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* HostClass()
{
    return kivtest::RegisterTestClass(L"KivLifecycleHost", &RecordingHost);
}

HWND CreateRecorded(DWORD style, bool skinned)
{
    Ears() = HostEars();
    if (skinned)
        CKivEngine::Instance().Run();
    Ears().creating = true;
    HWND window = CreateWindowExW(0, HostClass(), L"Kiv lifecycle", style, 90, 70, 320, 240, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    Ears().creating = false;
    if (skinned)
        CKivEngine::Instance().Stop();
    return window;
}

std::string Names(const std::vector<Heard>& heard)
{
    std::string names;
    for (const Heard& h : heard)
    {
        switch (h.message)
        {
        case WM_SIZE: names += "WM_SIZE(" + std::to_string(LOWORD(h.lParam)) + "x" + std::to_string(HIWORD(h.lParam)) + ") "; break;
        case WM_MOVE: names += "WM_MOVE "; break;
        case WM_WINDOWPOSCHANGING: names += "WM_WINDOWPOSCHANGING "; break;
        case WM_WINDOWPOSCHANGED: names += "WM_WINDOWPOSCHANGED "; break;
        default: names += std::to_string(h.message) + " "; break;
        }
    }
    return names;
}

bool HasRegion(HWND window)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(window, region);
    DeleteObject(region);
    return kind != ERROR && kind != NULLREGION;
}

// Client area and its origin inside the window, as the window's rectangles say.
RECT ClientInWindow(HWND window)
{
    RECT outer = {};
    GetWindowRect(window, &outer);
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -outer.left, -outer.top);
    return client;
}

bool IsSkinCaption(COLORREF colour)
{
    return colour == skin::SlotColour(skin::CaptionActive) || colour == skin::SlotColour(skin::CaptionDefault);
}

SIZE ClientSize(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

}  // namespace

TEST_CASE("the host hears the same placement messages during CreateWindowEx as without the skin")
{
    skin::Install();
    const DWORD styles[] = {WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU};
    for (DWORD style : styles)
    {
        CAPTURE(style);
        HWND plain = CreateRecorded(style, false);
        REQUIRE(plain != nullptr);
        const HostEars unskinned = Ears();
        const SIZE plainClient = ClientSize(plain);
        HWND window = CreateRecorded(style, true);
        REQUIRE(window != nullptr);
        const HostEars skinned = Ears();
        REQUIRE(dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(window)) != nullptr);
        // The skin keeps the client area the host asked for.
        CHECK(ClientSize(window).cx == plainClient.cx);
        CHECK(ClientSize(window).cy == plainClient.cy);
        CHECK(Names(skinned.duringCreate) == Names(unskinned.duringCreate));

        // A window created hidden hears its first size when it is shown, as without the skin.
        Ears().afterCreate.clear();
        ShowWindow(window, SW_SHOWNOACTIVATE);
        const std::vector<Heard> shownSkinned = Ears().afterCreate;
        Ears().afterCreate.clear();
        ShowWindow(plain, SW_SHOWNOACTIVATE);
        const std::vector<Heard> shownPlain = Ears().afterCreate;
        CHECK(Names(shownSkinned) == Names(shownPlain));
        DestroyWindow(window);
        DestroyWindow(plain);
        kivtest::PumpPending();
    }
}

TEST_CASE("a frame whose caption is turned off has the system's frame; the skin's comes back with the caption")
{
    skin::Install();
    CKivSkinStore::Settings().edgeHideShadow = 0;
    for (bool withMenu : {false, true})
    {
        CAPTURE(withMenu);
        HMENU menu = nullptr;
        if (withMenu)
        {
            menu = CreateMenu();
            AppendMenuW(menu, MF_STRING, 1, L"&File");
        }
        CKivEngine::Instance().Run();
        HWND window = CreateWindowExW(0, HostClass(), L"Kiv full screen", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 90, 70,
                                      320, 240, nullptr, menu, GetModuleHandleW(nullptr), nullptr);
        CKivEngine::Instance().Stop();
        CKivFrameWnd* frame = dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(window));
        REQUIRE(frame != nullptr);
        kivtest::PumpPending();
        const RECT skinned = ClientInWindow(window);
        const KivFrameMetrics skinMetrics = *frame->Metrics();
        CHECK(skinned.top == skinMetrics.borderTop + skinMetrics.captionHeight + skinMetrics.menuBarHeight);
        CHECK(HasRegion(window));
        CHECK(frame->Glow().Window() != nullptr);

        // Full screen, as a program does it.
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        SetWindowLongPtrW(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME));
        SetWindowPos(window, HWND_TOP, 0, 0, 1024, 768, SWP_FRAMECHANGED | SWP_NOACTIVATE);
        kivtest::PumpPending();
        RECT expected = {0, 0, 0, 0};
        AdjustWindowRectEx(&expected, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), withMenu, 0);
        const RECT bare = ClientInWindow(window);
        CHECK(bare.left == -expected.left);
        CHECK(bare.top == -expected.top);
        CHECK(bare.right == 1024 - expected.right);
        CHECK(bare.bottom == 768 - expected.bottom);
        if (!withMenu)
        {
            CHECK(ClientSize(window).cx == 1024);
            CHECK(ClientSize(window).cy == 768);
        }
        CHECK_FALSE(HasRegion(window));
        CHECK(frame->Glow().Window() == nullptr);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        kivtest::PumpPending();
        CHECK_FALSE(IsSkinCaption(frametest::ScreenPixel(POINT{40, 10})));
        // The hit-test is the system's: the top edge is client area, not caption.
        CHECK(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(40, withMenu ? 40 : 10)) == HTCLIENT);

        // The caption comes back, and with it the skin's frame.
        SetWindowLongPtrW(window, GWL_STYLE, style);
        SetWindowPos(window, nullptr, 90, 70, 320, 240, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE);
        kivtest::PumpPending();
        const RECT back = ClientInWindow(window);
        CHECK(back.left == skinned.left);
        CHECK(back.top == skinned.top);
        CHECK(HasRegion(window));
        CHECK(frame->Glow().Window() != nullptr);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        kivtest::PumpPending();
        CHECK(IsSkinCaption(frametest::ScreenPixel(POINT{90 + 60, 70 + skinMetrics.borderTop + 3})));
        DestroyWindow(window);
        kivtest::PumpPending();
    }
    skin::Install();
}

TEST_CASE("a minimised frame shows its whole caption, buttons and icon inside the system's small window")
{
    skin::Install();
    CKivEngine::Instance().Run();
    HWND window = CreateWindowExW(0, HostClass(), L"Kiv minimised", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 90, 70, 320,
                                  240, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CKivEngine::Instance().Stop();
    CKivFrameWnd* frame = dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(window));
    REQUIRE(frame != nullptr);
    HICON icon = static_cast<HICON>(LoadImageW(nullptr, IDI_ERROR, IMAGE_ICON, 16, 16, LR_SHARED));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    kivtest::PumpPending();
    ShowWindow(window, SW_MINIMIZE);
    REQUIRE(kivtest::PumpUntil([&] { return IsIconic(window) != FALSE; }));
    kivtest::PumpPending();
    RECT rect = {};
    GetWindowRect(window, &rect);
    const int height = rect.bottom - rect.top;
    REQUIRE(height > 0);
    REQUIRE(height < 30);  // the system's minimised window is lower than the skin's caption
    const KivFrameMetrics& m = *frame->Metrics();
    CHECK(m.captionHeight == height);
    CHECK(m.closeButton.y >= 0);
    CHECK(m.closeButton.y + m.closeButton.height <= height);
    CHECK(m.minButton.y + m.minButton.height <= height);
    // On screen: the close button down to its last row, and the icon.
    const POINT closeBottom = {rect.left + m.closeButton.x + m.closeButton.width / 2,
                               rect.top + m.closeButton.y + m.closeButton.height - 1};
    CHECK(kivtest::PumpUntil(
        [&] { return frametest::ScreenPixel(closeBottom) == skin::SlotColour(skin::CloseDefault); }, 3000));
    kivtest::Canvas shot(rect.right - rect.left, height, 0);
    frametest::CaptureScreen(POINT{rect.left, rect.top}, shot);
    int iconPixels = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 26; ++x)
            iconPixels += IsSkinCaption(shot.Pixel(x, y)) ? 0 : 1;
    CHECK(iconPixels > 20);
    frametest::SaveScreenshot(shot, L"minimised_frame.bmp");
    DestroyWindow(window);
    kivtest::PumpPending();
}

namespace {

// A 32 x 32 icon of one colour.
HICON SolidIcon(COLORREF colour)
{
    const HDC screen = GetDC(nullptr);
    HBITMAP colourBits = CreateCompatibleBitmap(screen, 32, 32);
    ReleaseDC(nullptr, screen);
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, nullptr);
    const HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, colourBits);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, 32, 32};
    FillRect(dc, &all, brush);
    SelectObject(dc, mask);
    PatBlt(dc, 0, 0, 32, 32, BLACKNESS);  // every pixel opaque
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(brush);
    ICONINFO info = {TRUE, 0, 0, mask, colourBits};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colourBits);
    return icon;
}

HICON g_bigIcon = nullptr;

INT_PTR CALLBACK BigIconDialog(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_bigIcon));
    return TRUE;
}

}  // namespace

TEST_CASE("a dialog that set only its big icon shows it in the caption, shrunk")
{
    skin::Install();
    const COLORREF red = RGB(250, 10, 10);
    g_bigIcon = SolidIcon(red);
    REQUIRE(g_bigIcon != nullptr);
    kivtest::DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU, 160, 90, L"Kiv big icon");
    CKivEngine::Instance().Run();
    HWND window =
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.Build(), nullptr, &BigIconDialog, 0);
    CKivEngine::Instance().Stop();
    REQUIRE(window != nullptr);
    CKivFrameWnd* frame = dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(window));
    REQUIRE(frame != nullptr);
    CHECK(SendMessageW(window, WM_GETICON, ICON_SMALL, 0) == 0);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    kivtest::PumpPending();
    RECT rect = {};
    GetWindowRect(window, &rect);
    kivtest::Canvas printed(rect.right - rect.left, rect.bottom - rect.top, 0);
    kivtest::PrintWindowTo(window, printed);
    const KivFrameMetrics& m = *frame->Metrics();
    // The icon's place: (5, C/2 - 8) in the caption, 16 x 16.
    const int x = m.captionRect.left + 5, y = m.captionRect.top + m.captionHeight / 2 - 8;
    CHECK(printed.Pixel(x + 8, y + 8) == red);
    CHECK(printed.Pixel(x + 1, y + 1) == red);
    CHECK(printed.Pixel(x + 14, y + 14) == red);
    CHECK(printed.Pixel(x + 17, y + 8) != red);  // 16 pixels wide, not the icon's own 32
    DestroyWindow(window);
    DestroyIcon(g_bigIcon);
    kivtest::PumpPending();
}

TEST_CASE("a small sizable window keeps its size through its host's first own move")
{
    // The shipped skin's frame is thinner than the system's: attaching would
    // shrink a window that the system already holds at its smallest size.
    REQUIRE(CKivSkinStore::LoadSkin((kivtest::BinaryDir() + L"\\default.kiv").c_str()));
    CKivEngine::Instance().Run();
    HWND window = CreateWindowExW(0, HostClass(), L"Kiv small", WS_OVERLAPPEDWINDOW | WS_HSCROLL, 60, 60, 20, 20,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CKivEngine::Instance().Stop();
    REQUIRE(window != nullptr);
    REQUIRE(dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(window)) != nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    RECT created = {};
    GetWindowRect(window, &created);
    CHECK(created.right - created.left >= GetSystemMetrics(SM_CXMINTRACK));
    const SIZE client = ClientSize(window);
    MoveWindow(window, created.left + 5, created.top + 5, created.right - created.left, created.bottom - created.top,
               TRUE);
    RECT moved = {};
    GetWindowRect(window, &moved);
    CHECK(moved.right - moved.left == created.right - created.left);
    CHECK(moved.bottom - moved.top == created.bottom - created.top);
    CHECK(ClientSize(window).cx == client.cx);
    DestroyWindow(window);
    kivtest::PumpPending();
    skin::Install();
}
