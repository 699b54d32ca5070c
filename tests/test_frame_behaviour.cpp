// A skinned frame changes pixels only: maximising, caption buttons, self-sizing
// dialogs, title and icon changes, hit-testing, scroll bars, the keyboard
// system menu and attaching behave as they do for the unskinned window.
#include <doctest.h>
#include <windows.h>
#include <commctrl.h>
#include "CKivEngine.h"
#include "CKivFrameWnd.h"
#include "CKivSkinStore.h"
#include "KivDialogTemplate.h"
#include "KivFrameTestHost.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <vector>

using frametest::SkinnedFrame;
using kivtest::Canvas;
namespace skin = kivtest::skin;

namespace {

KivSkinSettings& Settings()
{
    return CKivSkinStore::Settings();
}

COLORREF Slot(int slot)
{
    return skin::SlotColour(slot);
}

// What the application window procedure below saw and how it answers.
struct AppLog
{
    std::vector<WPARAM> commands;
    std::vector<LPARAM> commandPoints;
    int closes = 0;
    bool hideOnMinimize = false;
    LRESULT clientHitCode = 0;  // 0: the default answer
    // Caption pixels that were not the skin's, seen while a title or icon change was handled.
    int foreignCaptionPixels = -1;
};

AppLog& App()
{
    static AppLog log;
    return log;
}

bool IsSkinCaption(COLORREF colour)
{
    return colour == Slot(skin::CaptionActive) || colour == Slot(skin::CaptionDefault);
}

// Samples the caption row above the title on the screen for a while, letting
// Wine flush the window's picture to the screen meanwhile.
int SampleCaption(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    int foreign = 0;
    const DWORD until = GetTickCount() + 150;
    do
    {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        HDC screen = GetDC(nullptr);
        for (int x = r.left + 30; x < r.left + 200; x += 5)
            foreign += !IsSkinCaption(GetPixel(screen, x, r.top + 6));
        ReleaseDC(nullptr, screen);
    } while (static_cast<int>(until - GetTickCount()) > 0);
    return foreign;
}

LRESULT CALLBACK AppProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_SYSCOMMAND:
        App().commands.push_back(wParam & 0xFFF0);
        App().commandPoints.push_back(lParam);
        if ((wParam & 0xFFF0) == SC_MINIMIZE && App().hideOnMinimize)
        {
            ShowWindow(window, SW_HIDE);
            return 0;
        }
        break;
    case WM_CLOSE: ++App().closes; return 0;
    case WM_NCHITTEST:
    {
        const LRESULT code = DefWindowProcW(window, message, wParam, lParam);
        return code == HTCLIENT && App().clientHitCode ? App().clientHitCode : code;
    }
    case WM_SETTEXT:
    case WM_SETICON:
    {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        if (App().foreignCaptionPixels >= 0)
            App().foreignCaptionPixels += SampleCaption(window);
        return result;
    }
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateApp(DWORD style, DWORD exStyle = 0, UINT classStyle = 0)
{
    const wchar_t* name = classStyle & CS_NOCLOSE ? L"KivAppNoClose" : L"KivApp";
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), name, &wc))
    {
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS | classStyle;
        wc.lpfnWndProc = &AppProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = name;
        RegisterClassExW(&wc);
    }
    App() = AppLog();
    return CreateWindowExW(exStyle, name, L"Kiv app", style & ~WS_VISIBLE, 60, 60, 300, 200, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// Presses and releases a caption button the way the mouse does.
void Click(SkinnedFrame& f, int x, int y)
{
    const POINT p = f.Screen(x, y);
    REQUIRE(frametest::MoveCursor(p));
    SendMessageW(f.Window(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
    SendMessageW(f.Window(), WM_LBUTTONUP, 0, 0);
    kivtest::PumpPending();
}

// The close button shows its disabled picture and neither a click nor a double click does anything.
void CheckCloseDisabled(SkinnedFrame& f)
{
    Canvas printed(300, 200, 0);
    kivtest::PrintWindowTo(f.Window(), printed);
    CHECK(printed.Pixel(282, 19) == Slot(skin::CloseDisable));
    Click(f, 282, 19);
    CHECK(App().commands.empty());
    CHECK(App().closes == 0);
    CHECK(f.Frame().Pressed() == 0);
    CHECK(GetCapture() != f.Window());
    CHECK(frametest::ScreenPixel(f.Screen(282, 19)) == Slot(skin::CloseDisable));
    SendMessageW(f.Window(), WM_NCLBUTTONDBLCLK, HTCAPTION, f.ScreenParam(282, 19));
    kivtest::PumpPending();
    CHECK_FALSE(IsZoomed(f.Window()));
    CHECK(App().commands.empty());
}

RECT ClientOnScreen(HWND window)
{
    RECT r = {};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT WorkArea(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

bool ScreenShows(POINT p, COLORREF colour)
{
    return kivtest::PumpUntil([&] { return frametest::ScreenPixel(p) == colour; }, 2000);
}

RECT RegionBox(HWND window)
{
    RECT box = {};
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, region) != ERROR)
        GetRgnBox(region, &box);
    DeleteObject(region);
    return box;
}

SIZE WindowSize(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

TEST_CASE("maximised, the client area covers the work area of the window's monitor")
{
    skin::Install();
    Settings().edgeEnableBackColor = 1;
    Settings().edgeBackgroundColor = RGB(10, 200, 30);
    RECT original = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &original, 0);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // A taskbar on the right and bottom, then on the left and top.
    const RECT areas[] = {original, {0, 0, screenWidth - 40, screenHeight - 30}, {50, 36, screenWidth, screenHeight}};
    // The first style made in the process must not decide the frame width of the others.
    const DWORD styles[] = {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX, WS_OVERLAPPEDWINDOW,
                            WS_OVERLAPPEDWINDOW & ~WS_THICKFRAME};
    for (const RECT& area : areas)
    {
        RECT wanted = area;
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &wanted, 0);
        // Wine keeps the monitor's work area when it is set this way; the
        // cases then repeat the full screen, and say so.
        const RECT monitorWork = WorkArea(GetDesktopWindow());
        if (!EqualRect(&monitorWork, &wanted))
            MESSAGE("the monitor's work area stays " << monitorWork.left << "," << monitorWork.top << ","
                                                     << monitorWork.right << "," << monitorWork.bottom);
        for (DWORD style : styles)
        {
            CAPTURE(style);
            SkinnedFrame f(style, 400, 300);
            const RECT work = WorkArea(f.Window());
            CAPTURE(work.left);
            CAPTURE(work.top);
            CAPTURE(work.right);
            CAPTURE(work.bottom);
            ShowWindow(f.Window(), SW_MAXIMIZE);
            kivtest::PumpPending();
            REQUIRE(IsZoomed(f.Window()));
            const RECT client = ClientOnScreen(f.Window());
            // The same window unskinned reaches the same edges.
            HWND plain = CreateApp(style);
            ShowWindow(plain, SW_SHOWMAXIMIZED);
            const RECT plainClient = ClientOnScreen(plain);
            DestroyWindow(plain);
            CHECK(client.left == plainClient.left);
            CHECK(client.right == plainClient.right);
            CHECK(client.bottom == plainClient.bottom);
            CHECK(client.left == work.left);
            CHECK(client.right == work.right);
            CHECK(client.bottom == work.bottom);
            // The caption starts at the top of the work area.
            RECT outer = {};
            GetWindowRect(f.Window(), &outer);
            CHECK(outer.top + f.Frame().Metrics()->borderTop == work.top);
            const POINT corner = {work.right - 1, work.bottom - 1};
            CHECK(WindowFromPoint(corner) == f.Window());
            CHECK(SendMessageW(f.Window(), WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)) == HTCLIENT);
            CHECK(ScreenShows(corner, RGB(10, 200, 30)));
            // Nothing of the window hangs below the work area.
            CHECK(WindowFromPoint(POINT{work.left + 100, work.bottom}) != f.Window());
            if (&area == &areas[1] && style == WS_OVERLAPPEDWINDOW)
            {
                Canvas screen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 0);
                frametest::CaptureScreen(POINT{0, 0}, screen);
                frametest::SaveScreenshot(screen, L"maximised_frame.bmp");
            }
        }
    }
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &original, 0);
    skin::Install();
}

TEST_CASE("caption buttons ask the application through WM_SYSCOMMAND")
{
    skin::Install();
    frametest::ModalGuard guard;
    SUBCASE("close, maximise, restore and minimise with the cursor position")
    {
        SkinnedFrame f(CreateApp(WS_OVERLAPPEDWINDOW), 300, 200);
        Click(f, 282, 19);
        REQUIRE(App().commands.size() == 1);
        CHECK(App().commands[0] == SC_CLOSE);
        const POINT close = f.Screen(282, 19);
        CHECK(App().commandPoints[0] == MAKELPARAM(close.x, close.y));
        CHECK(App().closes == 1);  // the default handling of SC_CLOSE
        Click(f, 260, 19);
        REQUIRE(IsZoomed(f.Window()));
        const KivButtonBox box = f.Frame().Metrics()->maxButton;
        Click(f, box.x + 10, box.y + 9);
        CHECK_FALSE(IsZoomed(f.Window()));
        Click(f, 238, 19);
        CHECK(IsIconic(f.Window()));
        const std::vector<WPARAM> expected = {SC_CLOSE, SC_MAXIMIZE, SC_RESTORE, SC_MINIMIZE};
        CHECK(App().commands == expected);
    }
    SUBCASE("an application that hides instead of minimising is not minimised")
    {
        SkinnedFrame f(CreateApp(WS_OVERLAPPEDWINDOW), 300, 200);
        App().hideOnMinimize = true;
        Click(f, 238, 19);
        CHECK_FALSE(IsIconic(f.Window()));
        CHECK_FALSE(IsWindowVisible(f.Window()));
    }
    SUBCASE("a greyed close is drawn disabled and does nothing")
    {
        SkinnedFrame f(CreateApp(WS_OVERLAPPEDWINDOW), 300, 200, false);
        EnableMenuItem(GetSystemMenu(f.Window(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        ShowWindow(f.Window(), SW_SHOW);
        kivtest::PumpPending();
        CheckCloseDisabled(f);
    }
    SUBCASE("a class without close draws it disabled and does nothing")
    {
        SkinnedFrame f(CreateApp(WS_OVERLAPPEDWINDOW, 0, CS_NOCLOSE), 300, 200);
        CheckCloseDisabled(f);
    }
    SUBCASE("a double click on maximise neither maximises nor restores")
    {
        SkinnedFrame f(CreateApp(WS_OVERLAPPEDWINDOW), 300, 200);
        SendMessageW(f.Window(), WM_NCLBUTTONDBLCLK, HTCAPTION, f.ScreenParam(260, 19));
        kivtest::PumpPending();
        CHECK_FALSE(IsZoomed(f.Window()));
        Click(f, 260, 19);
        REQUIRE(IsZoomed(f.Window()));
        // The second click of the pair lands on the restore button of the maximised window.
        const KivButtonBox box = f.Frame().Metrics()->maxButton;
        SendMessageW(f.Window(), WM_NCLBUTTONDBLCLK, HTCAPTION, f.ScreenParam(box.x + 10, box.y + 9));
        SendMessageW(f.Window(), WM_LBUTTONUP, 0, 0);
        kivtest::PumpPending();
        CHECK(IsZoomed(f.Window()));
        CHECK(App().commands == std::vector<WPARAM>{SC_MAXIMIZE});
        // In the caption away from the buttons the system's double click still works.
        SendMessageW(f.Window(), WM_NCLBUTTONDBLCLK, HTCAPTION, f.ScreenParam(100, box.y + 9));
        kivtest::PumpPending();
        CHECK_FALSE(IsZoomed(f.Window()));
    }
    CHECK_FALSE(guard.Fired());
}

namespace {

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Grows itself while it is created, as a property sheet does.
INT_PTR CALLBACK GrowingDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    SetWindowPos(dialog, nullptr, 0, 0, 460, 340, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

// The bottom-right pixel inside the frame shows the dialog, not what lies behind it.
void CheckPaintedToTheCorner(HWND dialog)
{
    const RECT client = ClientOnScreen(dialog);
    const POINT corner = {client.right - 1, client.bottom - 1};
    const RECT box = RegionBox(dialog);
    const SIZE size = WindowSize(dialog);
    CHECK(box.right == size.cx);
    CHECK(box.bottom == size.cy);
    const HWND hit = WindowFromPoint(corner);
    CHECK((hit == dialog || IsChild(dialog, hit)));
    CHECK(ScreenShows(corner, GetSysColor(COLOR_BTNFACE)));
}

}  // namespace

TEST_CASE("a dialog that sizes itself is skinned and painted to its new edges")
{
    skin::Install();
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    CKivEngine::Instance().Run();
    SUBCASE("a modeless property sheet")
    {
        kivtest::DialogTemplate page(WS_CHILD | WS_CAPTION | DS_3DLOOK | DS_CONTROL, 320, 210, L"Page");
        page.Add(0x0082, 100, SS_LEFT, 10, 10, 200, 10, L"A page larger than the sheet's own template.");
        PROPSHEETPAGEW pageInfo = {};
        pageInfo.dwSize = sizeof(pageInfo);
        pageInfo.dwFlags = PSP_DLGINDIRECT;
        pageInfo.pResource = page.Build();
        pageInfo.pfnDlgProc = &PageProc;
        PROPSHEETHEADERW header = {};
        header.dwSize = sizeof(header);
        header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE;
        header.pszCaption = L"Kiv sheet";
        header.nPages = 1;
        header.ppsp = &pageInfo;
        HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
        REQUIRE(sheet != nullptr);
        CHECK(dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(sheet)) != nullptr);
        ShowWindow(sheet, SW_SHOW);
        SetForegroundWindow(sheet);
        kivtest::PumpPending();
        MESSAGE("sheet size " << WindowSize(sheet).cx << "x" << WindowSize(sheet).cy);
        CheckPaintedToTheCorner(sheet);
        RECT place = {};
        GetWindowRect(sheet, &place);
        // The sheet with a margin of what lies around it, within the screen.
        const POINT from = {place.left > 20 ? place.left - 20 : 0, place.top > 20 ? place.top - 20 : 0};
        Canvas shot(place.right + 20 - from.x, place.bottom + 20 - from.y, 0);
        frametest::CaptureScreen(from, shot);
        frametest::SaveScreenshot(shot, L"property_sheet.bmp");
        DestroyWindow(sheet);
    }
    SUBCASE("SetWindowPos in WM_INITDIALOG and while hidden")
    {
        kivtest::DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 120, 60, L"Kiv growing");
        HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.Build(), nullptr,
                                                 &GrowingDialogProc, 0);
        REQUIRE(window != nullptr);
        REQUIRE(dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(window)) != nullptr);
        CHECK(WindowSize(window).cx == 460);
        CHECK(RegionBox(window).right == 460);
        SetWindowPos(window, nullptr, 80, 80, 520, 380, SWP_NOZORDER | SWP_NOACTIVATE);
        CHECK(RegionBox(window).bottom == 380);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        kivtest::PumpPending();
        CheckPaintedToTheCorner(window);
        DestroyWindow(window);
    }
    CKivEngine::Instance().Stop();
}

TEST_CASE("no system caption reaches the screen when the title or icon changes")
{
    skin::Install();
    SkinnedFrame f(CreateApp(WS_OVERLAPPEDWINDOW), 300, 200);
    SendMessageW(f.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
    REQUIRE(kivtest::PumpUntil([&] { return SampleCaption(f.Window()) == 0; }, 2000));
    App().foreignCaptionPixels = 0;
    SetWindowTextW(f.Window(), L"A new title");
    CHECK(App().foreignCaptionPixels == 0);
    wchar_t title[32] = {};
    GetWindowTextW(f.Window(), title, 32);
    CHECK(std::wstring(title) == L"A new title");
    HICON icon = static_cast<HICON>(LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, 16, 16, LR_SHARED));
    SendMessageW(f.Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    CHECK(App().foreignCaptionPixels == 0);
    CHECK(reinterpret_cast<HICON>(SendMessageW(f.Window(), WM_GETICON, ICON_SMALL, 0)) == icon);
    App().foreignCaptionPixels = -1;
    // A paint the client was waiting for still comes, and the window stays visible.
    kivtest::PumpPending();
    InvalidateRect(f.Window(), nullptr, TRUE);
    SetWindowTextW(f.Window(), L"Again");
    CHECK(IsWindowVisible(f.Window()));
    CHECK(GetUpdateRect(f.Window(), nullptr, FALSE));
    kivtest::PumpPending();
    CHECK_FALSE(GetUpdateRect(f.Window(), nullptr, FALSE));
}

namespace {

// Absolute positions: Wine may drop relative moves while it warps the pointer.
INPUT AbsoluteMouse(DWORD flags, POINT at)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    return input;
}

struct DragRelease
{
    HWND window;
    RECT before;
    POINT at;
    volatile LONG moved;
};

// Lets the mouse button go once the window has left its place (at most 3 s).
DWORD WINAPI ReleaseWhenMoved(void* parameter)
{
    DragRelease* drag = static_cast<DragRelease*>(parameter);
    const DWORD until = GetTickCount() + 3000;
    while (static_cast<int>(until - GetTickCount()) > 0)
    {
        RECT now = {};
        GetWindowRect(drag->window, &now);
        if (now.left != drag->before.left || now.top != drag->before.top)
        {
            InterlockedExchange(&drag->moved, 1);
            break;
        }
        Sleep(5);
    }
    INPUT release = AbsoluteMouse(MOUSEEVENTF_LEFTUP, drag->at);
    SendInput(1, &release, sizeof(INPUT));
    return 0;
}

}  // namespace

TEST_CASE("the application answers hit-testing in its client area")
{
    skin::Install();
    SkinnedFrame f(CreateApp(WS_OVERLAPPEDWINDOW), 300, 200);
    CHECK(f.HitTest(150, 100) == HTCLIENT);
    App().clientHitCode = HTTRANSPARENT;
    CHECK(f.HitTest(150, 100) == HTTRANSPARENT);
    App().clientHitCode = HTCAPTION;
    CHECK(f.HitTest(150, 100) == HTCAPTION);
    // The frame is still the skin's.
    CHECK(f.HitTest(0, 100) == HTLEFT);
    CHECK(f.HitTest(150, 3) == HTTOP);

    SUBCASE("dragging by the client area moves the window")
    {
        frametest::ModalGuard guard(6000);
        SetForegroundWindow(f.Window());
        RECT before = {};
        GetWindowRect(f.Window(), &before);
        REQUIRE(kivtest::PumpUntil([&] { return GetForegroundWindow() == f.Window(); }, 2000));
        const POINT from = f.Screen(150, 100);
        REQUIRE(frametest::MoveCursor(from));
        INPUT inputs[5] = {AbsoluteMouse(MOUSEEVENTF_MOVE, from), AbsoluteMouse(MOUSEEVENTF_LEFTDOWN, from)};
        for (int i = 1; i <= 3; ++i)
            inputs[1 + i] = AbsoluteMouse(MOUSEEVENTF_MOVE, POINT{from.x + 12 * i, from.y + 6 * i});
        SendInput(5, inputs, sizeof(INPUT));
        // The system's move loop ends at once when it finds the button already
        // up, so the button goes up only once the window has moved.
        DragRelease release = {f.Window(), before, POINT{from.x + 36, from.y + 18}, 0};
        HANDLE releaser = CreateThread(nullptr, 0, &ReleaseWhenMoved, &release, 0, nullptr);
        REQUIRE(releaser != nullptr);
        CHECK(kivtest::PumpUntil([&] { return WaitForSingleObject(releaser, 0) == WAIT_OBJECT_0; }, 5000));
        CloseHandle(releaser);
        CHECK(release.moved == 1);
        kivtest::PumpPending();
        RECT after = {};
        GetWindowRect(f.Window(), &after);
        CHECK(after.left > before.left);
        CHECK(after.top > before.top);
        CHECK_FALSE(guard.Fired());
    }
}

TEST_CASE("a top-level window keeps its scroll bars and client edge")
{
    skin::Install();
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL;
    SkinnedFrame f(CreateApp(style, WS_EX_CLIENTEDGE), 300, 200);
    SetForegroundWindow(f.Window());
    kivtest::PumpPending();
    const int edgeX = GetSystemMetrics(SM_CXEDGE), edgeY = GetSystemMetrics(SM_CYEDGE);
    const int barW = GetSystemMetrics(SM_CXVSCROLL), barH = GetSystemMetrics(SM_CYHSCROLL);
    const POINT origin = f.ClientOrigin();
    CHECK(origin.x == 4 + edgeX);
    CHECK(origin.y == 34 + edgeY);
    RECT client = {};
    GetClientRect(f.Window(), &client);
    CHECK(client.right == 300 - 8 - 2 * edgeX - barW);
    CHECK(client.bottom == 200 - 38 - 2 * edgeY - barH);
    // The bars sit where the system puts them and answer for themselves.
    const int barX = origin.x + client.right;
    const int barY = origin.y + client.bottom;
    CHECK(f.HitTest(barX + barW / 2, origin.y + client.bottom / 2) == HTVSCROLL);
    CHECK(f.HitTest(origin.x + client.right / 2, barY + barH / 2) == HTHSCROLL);
    SCROLLBARINFO info = {};
    info.cbSize = sizeof(info);
    REQUIRE(GetScrollBarInfo(f.Window(), OBJID_VSCROLL, &info));
    const POINT barOnScreen = f.Screen(barX, origin.y);
    CHECK(info.rcScrollBar.left == barOnScreen.x);
    CHECK(info.rcScrollBar.top == barOnScreen.y);
    // On screen: the system's arrow button face in the bars, the sunken edge around them.
    // On screen the bars look exactly as on the same window unskinned.
    HWND plain = CreateApp(style, WS_EX_CLIENTEDGE);
    SetWindowPos(plain, HWND_TOP, 420, 300, 300, 200, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    RECT plainBar = {};
    SCROLLBARINFO plainInfo = {};
    plainInfo.cbSize = sizeof(plainInfo);
    REQUIRE(GetScrollBarInfo(plain, OBJID_VSCROLL, &plainInfo));
    plainBar = plainInfo.rcScrollBar;
    const RECT skinnedBar = info.rcScrollBar;
    CHECK(skinnedBar.right - skinnedBar.left == plainBar.right - plainBar.left);
    // The arrow buttons at both ends (the track is as long as each client is high).
    const int side = skinnedBar.right - skinnedBar.left;
    const auto sameBars = [&] {
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (frametest::ScreenPixel(POINT{skinnedBar.left + x, skinnedBar.top + y}) !=
                        frametest::ScreenPixel(POINT{plainBar.left + x, plainBar.top + y}) ||
                    frametest::ScreenPixel(POINT{skinnedBar.left + x, skinnedBar.bottom - 1 - y}) !=
                        frametest::ScreenPixel(POINT{plainBar.left + x, plainBar.bottom - 1 - y}))
                    return false;
        return true;
    };
    CHECK(kivtest::PumpUntil(sameBars, 3000));
    REQUIRE(GetScrollBarInfo(f.Window(), OBJID_HSCROLL, &info));
    REQUIRE(GetScrollBarInfo(plain, OBJID_HSCROLL, &plainInfo));
    const POINT hbar = f.Screen(origin.x, barY);
    CHECK(info.rcScrollBar.left == hbar.x);
    CHECK(info.rcScrollBar.top == hbar.y);
    const POINT skinnedArrow = {info.rcScrollBar.left + 8, info.rcScrollBar.top + 8};
    const POINT plainArrow = {plainInfo.rcScrollBar.left + 8, plainInfo.rcScrollBar.top + 8};
    CHECK(kivtest::PumpUntil([&] { return frametest::ScreenPixel(skinnedArrow) == frametest::ScreenPixel(plainArrow); }, 2000));
    DestroyWindow(plain);
    CHECK(ScreenShows(f.Screen(origin.x - 2, 100), GetSysColor(COLOR_BTNSHADOW)));
    CHECK(ScreenShows(f.Screen(origin.x - 1, 100), GetSysColor(COLOR_3DDKSHADOW)));
    Canvas printed(300, 200, 0);
    kivtest::PrintWindowTo(f.Window(), printed);
    CHECK(printed.Pixel(origin.x - 2, 100) == GetSysColor(COLOR_BTNSHADOW));
    CHECK(printed.Pixel(barX + barW + 1, 100) == GetSysColor(COLOR_BTNHIGHLIGHT));
    CHECK(printed.Pixel(2, 100) == Slot(skin::BorderLeftActive));
}

TEST_CASE("Alt+Space opens the skin's system menu from the keyboard")
{
    skin::Install();
    SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
    frametest::ModalGuard guard(6000);
    frametest::ResetLog();
    SendMessageW(f.Window(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    REQUIRE(frametest::Log().menuStatesRead);
    // Moving and sizing are offered, so the keyboard can do both from here.
    CHECK(frametest::Log().menuStates[0] == 0);
    CHECK(frametest::Log().menuStates[1] == 0);
    // Other keys keep their meaning (no menu bar here: nothing opens).
    frametest::ResetLog();
    SendMessageW(f.Window(), WM_SYSCOMMAND, SC_KEYMENU, 'x');
    CHECK(frametest::Log().menuLoops == 0);

    SUBCASE("typed on the keyboard")
    {
        SetForegroundWindow(f.Window());
        SetFocus(f.Window());
        kivtest::PumpPending();
        frametest::ResetLog();
        INPUT keys[4] = {};
        const WORD codes[4] = {VK_MENU, VK_SPACE, VK_SPACE, VK_MENU};
        for (int i = 0; i < 4; ++i)
        {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = codes[i];
            keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
        }
        SendInput(4, keys, sizeof(INPUT));
        CHECK(kivtest::PumpUntil([] { return frametest::Log().menuStatesRead; }, 3000));
    }
    CHECK_FALSE(guard.Fired());
}

TEST_CASE("attaching keeps the client size for skins thinner and thicker than the system frame")
{
    skin::Install();
    const struct
    {
        int border;
        int caption;
    } skins[] = {{1, 8}, {12, 60}};
    for (const auto& s : skins)
    {
        CAPTURE(s.border);
        Settings().borderLeftWidth = Settings().borderTopWidth = s.border;
        Settings().borderRightWidth = Settings().borderBottomWidth = s.border;
        Settings().captionBarHeight = s.caption;
        HWND window = frametest::CreateHost(WS_OVERLAPPEDWINDOW, 40, 40, 320, 240);
        RECT before = {};
        GetClientRect(window, &before);
        CKivFrameWnd frame;
        REQUIRE(frame.Attach(window));
        RECT after = {};
        GetClientRect(window, &after);
        CHECK(after.right == before.right);
        CHECK(after.bottom == before.bottom);
        const SIZE size = WindowSize(window);
        CHECK(size.cx == before.right + 2 * s.border);
        CHECK(size.cy == before.bottom + 2 * s.border + s.caption);
        CHECK(frame.Detach());
        DestroyWindow(window);
    }
    skin::Install();
}
