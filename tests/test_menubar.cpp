// The skinned menu bar on real windows: layout and pixels, the host's menu
// data, opening drop-downs with the mouse and the keyboard, the notifications
// the host sees and the hooks of the menu loop.
#include <doctest.h>
#include "CKivFrameWnd.h"
#include "CKivGraphics.h"
#include "CKivMenuBar.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"
#include "CKivWindowsHookMouseHook.h"
#include "KivFrameTestHost.h"
#include "KivGdiLeakOracle.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <functional>
#include <string>
#include <vector>

using kivtest::Canvas;
namespace skin = kivtest::skin;

namespace {

const int kBarHeight = 20;

// What the host window saw of the menu mode.
struct MenuLog
{
    int enterLoops = 0;
    int exitLoops = 0;
    std::vector<HMENU> initMenus;
    std::vector<std::pair<HMENU, LPARAM>> popups;
    std::vector<WPARAM> menuChars;
    std::vector<WPARAM> commands;
    int idles = 0;
    // The bar's hook messages that reached the host (never should).
    int hookMessages = 0;
    // The host's own WM_USER+100 and WM_USER+101 that reached it (always should).
    int hostUserMessages = 0;
    // Runs at every WM_ENTERIDLE; the test ends the menu from here.
    std::function<void(HWND)> onIdle;
    LRESULT menuCharAnswer = 0;
};

MenuLog& Log()
{
    static MenuLog log;
    return log;
}

LRESULT CALLBACK MenuHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MenuLog& log = Log();
    if (message == CKivMenuBar::MouseMoveMessage() || message == CKivMenuBar::LeftDownMessage())
        ++log.hookMessages;
    switch (message)
    {
    case WM_ENTERMENULOOP: ++log.enterLoops; return 0;
    case WM_EXITMENULOOP: ++log.exitLoops; return 0;
    case WM_INITMENU: log.initMenus.push_back(reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_INITMENUPOPUP: log.popups.emplace_back(reinterpret_cast<HMENU>(wParam), lParam); return 0;
    case WM_MENUCHAR: log.menuChars.push_back(wParam); return log.menuCharAnswer;
    case WM_COMMAND: log.commands.push_back(wParam); return 0;
    case WM_USER + 100:
    case WM_USER + 101: ++log.hostUserMessages; return message + 7;
    case WM_ENTERIDLE:
        ++log.idles;
        if (wParam == MSGF_MENU && log.onIdle)
            log.onIdle(window);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND CreateMenuHost(HMENU menu)
{
    const wchar_t* host = kivtest::RegisterTestClass(L"KivMenuHost", &MenuHostProc);
    return CreateWindowExW(0, host, L"Kiv menu", WS_OVERLAPPEDWINDOW, 60, 60, 400, 300, nullptr, menu,
                           GetModuleHandleW(nullptr), nullptr);
}

HMENU Popup(const wchar_t* first, UINT id)
{
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, id, first);
    AppendMenuW(popup, MF_STRING, id + 1, L"Second");
    return popup;
}

// File, a greyed Edit, View (all drop-downs) and a command "Go" on the bar.
struct TestMenu
{
    TestMenu()
    {
        bar = CreateMenu();
        file = Popup(L"&Open", 200);
        edit = Popup(L"&Undo", 300);
        view = Popup(L"&Zoom", 400);
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
        AppendMenuW(bar, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
        AppendMenuW(bar, MF_STRING, 500, L"&Go");
    }
    HMENU bar, file, edit, view;
};

// A host window with a skinned frame and the test menu, shown and in front.
struct MenuFrame
{
    explicit MenuFrame(bool show = true) : window(CreateMenuHost(menu.bar)), frame(window, 400, 300, show)
    {
        Log() = MenuLog();
    }
    ~MenuFrame() { Log().onIdle = nullptr; }
    const CKivMenuBar::Item& Item(int index)
    {
        bar().RefreshLayout();
        return bar().Items().at(static_cast<size_t>(index));
    }
    CKivMenuBar& bar() { return frame.Frame().MenuBar(); }
    POINT ItemCentre(int index)
    {
        const RECT r = Item(index).rect;
        return frame.Screen((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void Click(int index)
    {
        const POINT p = ItemCentre(index);
        SendMessageW(window, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(p.x, p.y));
    }
    TestMenu menu;
    HWND window;
    frametest::SkinnedFrame frame;
};

void EndOnIdle()
{
    Log().onIdle = [](HWND) { EndMenu(); };
}

bool HookGone()
{
    return !CKivWindowsHookMouseHook::Instance().IsInstalled();
}

void InstallMenuSkin()
{
    skin::Install();
    CKivSkinStore::Settings().menuBarHeight = kBarHeight;
    CKivSkinStore::Settings().menuBarEnableCustom = 1;
}

// The host's view of one menu item.
struct ItemData
{
    UINT type, state, id;
    HMENU popup;
    ULONG_PTR data;
    HBITMAP bitmap;
    std::wstring text;
    bool operator==(const ItemData& o) const
    {
        return type == o.type && state == o.state && id == o.id && popup == o.popup && data == o.data &&
               bitmap == o.bitmap && text == o.text;
    }
};

std::vector<ItemData> ReadMenu(HMENU menu, bool withType)
{
    std::vector<ItemData> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
    {
        wchar_t text[260] = L"\xDEAD";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_BITMAP | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 260;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        items.push_back(ItemData{withType ? info.fType : 0, info.fState, info.wID, info.hSubMenu, info.dwItemData,
                                 info.hbmpItem, text});
    }
    return items;
}

int CountColour(const Canvas& canvas, const RECT& r, COLORREF colour)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += canvas.Pixel(x, y) == colour;
    return n;
}

// The widest row of a colour in the second picture on a row where the first
// has none of it (an underline below the letters).
int NewRowWidth(const Canvas& before, const Canvas& after, const RECT& r, COLORREF colour)
{
    int best = 0;
    for (int y = r.top; y < r.bottom; ++y)
    {
        const RECT row = {r.left, y, r.right, y + 1};
        if (CountColour(before, row, colour) == 0)
        {
            const int n = CountColour(after, row, colour);
            best = n > best ? n : best;
        }
    }
    return best;
}


}  // namespace

TEST_CASE("mnemonic text: single ampersands go, doubled ones stay")
{
    wchar_t out[32];
    const struct
    {
        const wchar_t* in;
        const wchar_t* shown;
        wchar_t mnemonic;
    } cases[] = {{L"&File", L"File", L'f'},       {L"Sa&ve && E&xit", L"Save && Exit", L'v'},
                 {L"A&&&B", L"A&&B", L'b'},        {L"Plain", L"Plain", 0},
                 {L"&&Only", L"&&Only", 0},        {L"End&", L"End", 0},
                 {L"", L"", 0}};
    for (const auto& c : cases)
    {
        CKivMenuBar::StripMnemonics(c.in, out, 32);
        CHECK(std::wstring(out) == c.shown);
        CHECK(CKivMenuBar::Mnemonic(c.in) == c.mnemonic);
    }
    // A small buffer cuts, never overruns.
    wchar_t small[4] = {L'x', L'x', L'x', L'x'};
    CKivMenuBar::StripMnemonics(L"&Abcdef", small, 3);
    CHECK(std::wstring(small) == L"Ab");
}

TEST_CASE("menu bar layout and pixels: items, greyed text, pushed item and keyboard cues")
{
    InstallMenuSkin();
    MenuFrame f;
    const KivFrameMetrics& m = *f.frame.Frame().Metrics();
    const int barTop = m.borderTop + m.captionHeight;
    const wchar_t* shown[] = {L"File", L"Edit", L"View", L"Go"};
    int left = m.borderLeft + CKivMenuBar::kFirstInset;
    for (int i = 0; i < 4; ++i)
    {
        CAPTURE(i);
        const RECT r = f.Item(i).rect;
        CHECK(r.left == left);
        CHECK(r.right - r.left == frametest::SkinTextWidth(shown[i]) + CKivMenuBar::kItemSlack + 2 * CKivMenuBar::kTextPadding);
        CHECK(r.top == barTop);
        CHECK(r.bottom == barTop + kBarHeight);
        left = r.right + CKivMenuBar::kItemGap;
    }
    const CKivTextContrast::Colours& colours = CKivTextContrast::Current();
    Canvas idle(f.frame.Width(), f.frame.Height(), RGB(1, 2, 3));
    kivtest::PrintWindowTo(f.window, idle);
    const RECT file = f.Item(0).rect, edit = f.Item(1).rect;
    CHECK(idle.Pixel(file.left + 1, file.top + 1) == skin::SlotColour(skin::MenuBarBackground));
    CHECK(CountColour(idle, file, colours.barText) > 10);
    CHECK(CountColour(idle, edit, colours.barGrayText) > 10);
    CHECK(CountColour(idle, edit, colours.barText) == 0);
    // Nothing is drawn past the bar into the client area or the caption.
    const POINT origin = f.frame.ClientOrigin();
    CHECK(idle.Pixel(origin.x + 5, origin.y + 2) != skin::SlotColour(skin::MenuBarBackground));

    SUBCASE("Alt highlights the first item pushed and shows the underline cue")
    {
        Canvas cued(f.frame.Width(), f.frame.Height(), RGB(1, 2, 3));
        Log().onIdle = [&](HWND) {
            if (Log().idles == 1)
            {
                kivtest::PrintWindowTo(f.window, cued);
                PostMessageW(f.window, WM_KEYDOWN, VK_ESCAPE, 0);
            }
        };
        frametest::ModalGuard guard;
        SendMessageW(f.window, WM_SYSCOMMAND, SC_KEYMENU, 0);
        CHECK_FALSE(guard.Fired());
        CHECK(cued.Pixel(file.left + 1, file.top + 1) == skin::SlotColour(skin::MenuBarSelected));
        CHECK(cued.Pixel(edit.left + 1, edit.top + 1) == skin::SlotColour(skin::MenuBarBackground));
        // The underline under F: a row of text colour below the letters.
        CHECK(NewRowWidth(idle, cued, file, colours.barText) >= 4);
        CHECK(NewRowWidth(idle, cued, edit, colours.barGrayText) >= 4);
        CHECK(Log().enterLoops == 1);
        CHECK(Log().exitLoops == 1);
        // Afterwards the bar is back to normal, cues off.
        CHECK(f.bar().KeyboardCues() == 0);
        CHECK(f.bar().PushedItem() == -1);
        Canvas after(f.frame.Width(), f.frame.Height(), RGB(1, 2, 3));
        kivtest::PrintWindowTo(f.window, after);
        CHECK(after.SameAs(idle));
    }
    SUBCASE("a click shows the item pushed while its drop-down is open")
    {
        Canvas open(f.frame.Width(), f.frame.Height(), RGB(1, 2, 3));
        Log().onIdle = [&](HWND) {
            kivtest::PrintWindowTo(f.window, open);
            EndMenu();
        };
        frametest::ModalGuard guard;
        f.Click(2);
        CHECK_FALSE(guard.Fired());
        const RECT view = f.Item(2).rect;
        CHECK(open.Pixel(view.left + 1, view.top + 1) == skin::SlotColour(skin::MenuBarSelected));
        CHECK(open.Pixel(view.right - 1, view.bottom - 1) == skin::SlotColour(skin::MenuBarSelected));
        CHECK(open.Pixel(file.left + 1, file.top + 1) == skin::SlotColour(skin::MenuBarBackground));
        CHECK(open.Pixel(view.right + 2, view.top + 1) == skin::SlotColour(skin::MenuBarBackground));
    }
    skin::Install();
}

TEST_CASE("the host's menu data reads back unchanged after paints and after detach")
{
    InstallMenuSkin();
    TestMenu menu;
    // Items the bar must leave as they are: the host's own owner-draw item,
    // a picture item (as a maximised MDI child adds) and a right-aligned one.
    AppendMenuW(menu.bar, MF_OWNERDRAW, 600, reinterpret_cast<const wchar_t*>(0x1234));
    MENUITEMINFOW picture = {};
    picture.cbSize = sizeof(picture);
    picture.fMask = MIIM_ID | MIIM_BITMAP | MIIM_DATA;
    picture.wID = SC_CLOSE;
    picture.hbmpItem = HBMMENU_MBAR_CLOSE;
    picture.dwItemData = 0x5678;
    InsertMenuItemW(menu.bar, 4, TRUE, &picture);
    AppendMenuW(menu.bar, MF_STRING | MF_RIGHTJUSTIFY, 700, L"&Help");
    MENUITEMINFOW data = {};
    data.cbSize = sizeof(data);
    data.fMask = MIIM_DATA;
    data.dwItemData = 0xC0FFEE;
    SetMenuItemInfoW(menu.bar, 0, TRUE, &data);
    const std::vector<ItemData> before = ReadMenu(menu.bar, true);
    const std::vector<ItemData> fileBefore = ReadMenu(menu.file, true);

    HWND window = CreateMenuHost(menu.bar);
    {
        frametest::SkinnedFrame f(window, 400, 300);
        for (int i = 0; i < 5; ++i)
            RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        CHECK(ReadMenu(menu.bar, false) == ReadMenu(menu.bar, false));
        const std::vector<ItemData> painted = ReadMenu(menu.bar, false);
        for (size_t i = 0; i < before.size(); ++i)
        {
            CAPTURE(i);
            ItemData expected = before[i];
            expected.type = 0;
            CHECK(painted[i] == expected);
        }
        const std::vector<ItemData> typed = ReadMenu(menu.bar, true);
        // The text items carry the owner-draw mark, nothing else changed in their type.
        CHECK(typed[0].type == (before[0].type | MFT_OWNERDRAW));
        CHECK(typed[3].type == (before[3].type | MFT_OWNERDRAW));
        CHECK(typed[4].type == before[4].type);  // picture
        CHECK(typed[5].type == before[5].type);  // the host's owner-draw item
        CHECK(typed[6].type == (before[6].type | MFT_OWNERDRAW));
        CHECK((typed[6].type & MFT_RIGHTJUSTIFY) != 0);
        CHECK(ReadMenu(menu.file, true) == fileBefore);
        // The drop-downs survive (ModifyMenu would have destroyed them).
        CHECK(IsMenu(menu.file));
        CHECK(GetSubMenu(menu.bar, 2) == menu.view);
        // Picture items are not laid out as bar items.
        for (const CKivMenuBar::Item& item : f.Frame().MenuBar().Items())
            CHECK(item.id != SC_CLOSE);
        CHECK(f.Frame().Detach());
        CHECK(ReadMenu(menu.bar, true) == before);
        CHECK(f.Frame().MenuBar().ConvertedMenu() == nullptr);
    }
    skin::Install();
}

TEST_CASE("a click opens the item's drop-down under it with the system's notifications")
{
    InstallMenuSkin();
    MenuFrame f;
    POINT popupAt = {-1, -1};
    Log().onIdle = [&](HWND) {
        HWND popup = FindWindowW(L"#32768", nullptr);
        RECT r = {};
        if (popup && GetWindowRect(popup, &r))
            popupAt = POINT{r.left, r.top};
        EndMenu();
    };
    frametest::ModalGuard guard;
    f.Click(2);
    CHECK_FALSE(guard.Fired());
    CHECK(Log().enterLoops == 1);
    CHECK(Log().exitLoops == 1);
    REQUIRE(Log().initMenus.size() == 1);
    CHECK(Log().initMenus[0] == f.menu.bar);
    REQUIRE(Log().popups.size() == 1);
    CHECK(Log().popups[0].first == f.menu.view);
    CHECK(LOWORD(Log().popups[0].second) == 2);
    CHECK(HIWORD(Log().popups[0].second) == 0);
    const RECT view = f.Item(2).rect;
    const POINT under = f.frame.Screen(view.left, view.bottom);
    CHECK(popupAt.x == under.x);
    CHECK(popupAt.y == under.y);
    CHECK(HookGone());
    CHECK_FALSE(f.bar().IsTracking());

    SUBCASE("a greyed item opens nothing")
    {
        Log() = MenuLog();
        EndOnIdle();
        f.Click(1);
        CHECK(Log().enterLoops == 0);
        CHECK(Log().popups.empty());
    }
    SUBCASE("a command on the bar is sent as WM_COMMAND")
    {
        Log() = MenuLog();
        f.Click(3);
        kivtest::PumpUntil([] { return !Log().commands.empty(); }, 2000);
        REQUIRE(Log().commands.size() == 1);
        CHECK(Log().commands[0] == 500);
        CHECK(Log().popups.empty());
    }
    SUBCASE("a click outside the items does nothing")
    {
        Log() = MenuLog();
        const RECT go = f.Item(3).rect;
        SendMessageW(f.window, WM_NCLBUTTONDOWN, HTMENU, f.frame.ScreenParam(go.right + 30, go.top + 5));
        CHECK(Log().enterLoops == 0);
    }
    skin::Install();
}

TEST_CASE("with the mouse on the screen: moving to another item switches the drop-down")
{
    InstallMenuSkin();
    MenuFrame f;
    SetForegroundWindow(f.window);
    kivtest::PumpPending();
    const POINT view = f.ItemCentre(2);
    Log().onIdle = [&](HWND) {
        if (Log().popups.size() == 1 && Log().idles == 1)
            frametest::MoveCursor(view);  // inside the first drop-down's loop
        else if (Log().popups.size() >= 2)
            EndMenu();
    };
    frametest::ModalGuard guard(6000);
    REQUIRE(frametest::MoveCursor(f.ItemCentre(0)));
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    CHECK(kivtest::PumpUntil([] { return Log().exitLoops > 0; }, 5000));
    CHECK_FALSE(guard.Fired());
    REQUIRE(Log().popups.size() == 2);
    CHECK(Log().popups[0].first == f.menu.file);
    CHECK(Log().popups[1].first == f.menu.view);
    CHECK(LOWORD(Log().popups[1].second) == 2);
    // One menu mode from the first click to the end.
    CHECK(Log().enterLoops == 1);
    CHECK(Log().exitLoops == 1);
    CHECK(HookGone());
    // Only one drop-down was ever open at a time.
    const HWND popup = FindWindowW(L"#32768", nullptr);
    CHECK((popup == nullptr || !IsWindowVisible(popup)));
    skin::Install();
}

TEST_CASE("keyboard: Alt+letter, unmatched letters, Alt and the arrows, Alt+Space")
{
    InstallMenuSkin();
    MenuFrame f;
    frametest::ModalGuard guard(8000);
    SUBCASE("Alt+F opens File")
    {
        EndOnIdle();
        SendMessageW(f.window, WM_SYSCOMMAND, SC_KEYMENU, 'F');
        REQUIRE(Log().popups.size() == 1);
        CHECK(Log().popups[0].first == f.menu.file);
        CHECK(LOWORD(Log().popups[0].second) == 0);
        CHECK(Log().enterLoops == 1);
    }
    SUBCASE("a letter no item has goes to the host as WM_MENUCHAR")
    {
        SendMessageW(f.window, WM_SYSCOMMAND, SC_KEYMENU, 'q');
        REQUIRE(Log().menuChars.size() == 1);
        CHECK(LOWORD(Log().menuChars[0]) == 'q');
        CHECK(Log().enterLoops == 0);
        // The greyed item's letter is no match either.
        SendMessageW(f.window, WM_SYSCOMMAND, SC_KEYMENU, 'e');
        CHECK(Log().menuChars.size() == 2);
        // The host may answer with an item to open.
        EndOnIdle();
        Log().menuCharAnswer = MAKELRESULT(2, MNC_EXECUTE);
        SendMessageW(f.window, WM_SYSCOMMAND, SC_KEYMENU, 'w');
        REQUIRE(Log().popups.size() == 1);
        CHECK(Log().popups[0].first == f.menu.view);
    }
    SUBCASE("Alt alone, Right skips the greyed item, Down opens")
    {
        Log().onIdle = [&](HWND window) {
            if (Log().popups.empty() && Log().idles == 1)
            {
                PostMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);
                PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
            }
            else if (!Log().popups.empty())
                EndMenu();
        };
        SendMessageW(f.window, WM_SYSCOMMAND, SC_KEYMENU, 0);
        REQUIRE(Log().popups.size() == 1);
        CHECK(Log().popups[0].first == f.menu.view);
        CHECK(LOWORD(Log().popups[0].second) == 2);
        CHECK(Log().enterLoops == 1);
        CHECK(Log().exitLoops == 1);
    }
    SUBCASE("Right inside an open drop-down walks on to the next item")
    {
        Log().onIdle = [&](HWND window) {
            if (Log().popups.size() == 1 && Log().idles == 1)
                PostMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);
            else if (Log().popups.size() >= 2)
                EndMenu();
        };
        SendMessageW(f.window, WM_SYSCOMMAND, SC_KEYMENU, 'f');
        REQUIRE(Log().popups.size() == 2);
        CHECK(Log().popups[1].first == f.menu.view);
        CHECK(Log().enterLoops == 1);
    }
    SUBCASE("Alt+Space opens the skin's system menu, not the bar")
    {
        EndOnIdle();
        SendMessageW(f.window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        REQUIRE(Log().popups.size() == 1);
        CHECK(Log().popups[0].first == GetSystemMenu(f.window, FALSE));
        CHECK(f.bar().PushedItem() == -1);
    }
    CHECK_FALSE(guard.Fired());
    CHECK(HookGone());
    CHECK_FALSE(f.bar().IsTracking());
    skin::Install();
}

TEST_CASE("the hooks are gone after the menu even when the frame is destroyed inside it")
{
    InstallMenuSkin();
    MenuFrame f;
    frametest::ModalGuard guard;
    Log().onIdle = [](HWND window) {
        CHECK_FALSE(HookGone());
        DestroyWindow(window);
    };
    f.Click(0);
    CHECK_FALSE(guard.Fired());
    CHECK_FALSE(IsWindow(f.window));
    CHECK(HookGone());
    CHECK_FALSE(CKivWindowsHookMouseHook::IsRegistered(f.window));
    // The hook's message numbers are registered ones, outside the host's WM_USER range.
    CHECK(CKivMenuBar::MouseMoveMessage() >= 0xC000);
    CHECK(CKivMenuBar::LeftDownMessage() >= 0xC000);
    CHECK(CKivWindowsHookMouseHook::Instance().MoveMessage() == CKivMenuBar::MouseMoveMessage());
    skin::Install();
}

TEST_CASE("the hook's messages are the bar's alone and opening menus leaks nothing")
{
    InstallMenuSkin();
    MenuFrame f;
    // Sent outside a menu loop, the bar's numbers are answered and never reach the host.
    SendMessageW(f.window, CKivMenuBar::MouseMoveMessage(), WM_MOUSEMOVE, f.frame.ScreenParam(5, 5));
    SendMessageW(f.window, CKivMenuBar::LeftDownMessage(), WM_LBUTTONDOWN, f.frame.ScreenParam(5, 5));
    CHECK(Log().hookMessages == 0);
    // The host's own numbers in its WM_USER range stay the host's, answers included.
    CHECK(SendMessageW(f.window, WM_USER + 100, WM_MOUSEMOVE, f.frame.ScreenParam(5, 5)) == WM_USER + 107);
    CHECK(SendMessageW(f.window, WM_USER + 101, WM_LBUTTONDOWN, f.frame.ScreenParam(5, 5)) == WM_USER + 108);
    CHECK(Log().hostUserMessages == 2);
    kivtest::GdiLeakOracle oracle;
    REQUIRE(oracle.ReadsHandleTable());
    EndOnIdle();
    frametest::ModalGuard guard(20000);
    for (int i = 0; i < 5; ++i)
        f.Click(i % 2 ? 0 : 2);
    const long warm = oracle.LiveObjects();
    for (int i = 0; i < 60; ++i)
        f.Click(i % 2 ? 0 : 2);
    CHECK_FALSE(guard.Fired());
    CHECK(Log().enterLoops == 65);
    CHECK(oracle.LiveObjects() <= warm);
    skin::Install();
}


TEST_CASE("with the shipped skin: the screen shows the pushed item and its drop-down under it")
{
    const std::wstring path = kivtest::BinaryDir() + L"\\default.kiv";
    REQUIRE(CKivSkinStore::LoadSkin(path.c_str()));
    {
        MenuFrame f;
        SetForegroundWindow(f.window);
        kivtest::PumpPending();
        RECT frame = {};
        GetWindowRect(f.window, &frame);
        Canvas screen(frame.right - frame.left, frame.bottom - frame.top, RGB(1, 2, 3));
        Canvas printed(frame.right - frame.left, frame.bottom - frame.top, RGB(1, 2, 3));
        RECT popup = {};
        Log().onIdle = [&](HWND window) {
            HWND menuWindow = FindWindowW(L"#32768", nullptr);
            if (menuWindow)
                GetWindowRect(menuWindow, &popup);
            frametest::CaptureScreen(POINT{frame.left, frame.top}, screen);
            kivtest::PrintWindowTo(window, printed);
            EndMenu();
        };
        frametest::ModalGuard guard;
        f.Click(0);
        CHECK_FALSE(guard.Fired());
        frametest::SaveScreenshot(screen, L"menu-open.bmp");
        const RECT item = f.Item(0).rect;
        // The drop-down hangs from the item's bottom-left corner.
        CHECK(popup.left == frame.left + item.left);
        CHECK(popup.top == frame.top + item.bottom);
        // On screen the bar shows what the skin draws, the pushed item included.
        int differences = 0;
        for (int y = item.top; y < item.bottom; ++y)
            for (int x = item.left; x < item.right; ++x)
                differences += screen.Pixel(x, y) != printed.Pixel(x, y);
        CHECK(differences == 0);
        CHECK(printed.Pixel(item.left + 1, item.top + 1) != printed.Pixel(item.right + 6, item.top + 1));
    }
    skin::Install();
}

namespace {

// A plain MDI frame (DefFrameProc) with one child, maximised, so the MDI
// client has put the child's buttons on the frame's bar.
HWND g_mdiClient = nullptr;
int g_frameIdles = 0;
std::function<void(HWND)> g_onFrameIdle;

LRESULT CALLBACK MdiFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU)
    {
        ++g_frameIdles;
        if (g_onFrameIdle)
            g_onFrameIdle(window);
    }
    return DefFrameProcW(window, g_mdiClient, message, wParam, lParam);
}

LRESULT CALLBACK MdiChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefMDIChildProcW(window, message, wParam, lParam);
}

struct MdiMenuFrame
{
    MdiMenuFrame()
    {
        static bool registered = false;
        if (!registered)
        {
            WNDCLASSW wc = {};
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
            wc.lpfnWndProc = &MdiFrameProc;
            wc.lpszClassName = L"KivMdiMenuFrame";
            RegisterClassW(&wc);
            wc.lpfnWndProc = &MdiChildProc;
            wc.hIcon = LoadIconW(nullptr, IDI_WARNING);
            wc.lpszClassName = L"KivMdiMenuChild";
            RegisterClassW(&wc);
            registered = true;
        }
        window = CreateWindowExW(0, L"KivMdiMenuFrame", L"Kiv MDI", WS_OVERLAPPEDWINDOW, 60, 60, 500, 320, nullptr,
                                 menu.bar, GetModuleHandleW(nullptr), nullptr);
        CLIENTCREATESTRUCT ccs = {};
        ccs.idFirstChild = 50000;
        g_mdiClient = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 100, 100,
                                      window, nullptr, GetModuleHandleW(nullptr), &ccs);
        g_frameIdles = 0;
        g_onFrameIdle = nullptr;
    }
    ~MdiMenuFrame()
    {
        g_onFrameIdle = nullptr;
        if (IsWindow(window))
        {
            SetMenu(window, nullptr);
            DestroyWindow(window);
        }
        g_mdiClient = nullptr;
    }
    HWND AddMaximisedChild()
    {
        MDICREATESTRUCTW mcs = {};
        mcs.szClass = L"KivMdiMenuChild";
        mcs.szTitle = L"child";
        mcs.hOwner = GetModuleHandleW(nullptr);
        mcs.x = mcs.y = mcs.cx = mcs.cy = static_cast<int>(CW_USEDEFAULT);
        mcs.style = WS_MAXIMIZE;
        const HWND child = reinterpret_cast<HWND>(SendMessageW(g_mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
        SendMessageW(g_mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        return child;
    }
    TestMenu menu;
    HWND window = nullptr;
};

// The button of a kind as laid out now.
struct FoundButton
{
    bool found = false;
    CKivMenuBar::Button button = {};
};

FoundButton FindButton(CKivMenuBar& bar, CKivMenuBar::ButtonKind kind)
{
    bar.RefreshLayout();
    FoundButton result;
    for (const CKivMenuBar::Button& button : bar.Buttons())
        if (button.kind == kind)
        {
            result.found = true;
            result.button = button;
        }
    return result;
}

void ClickButton(frametest::SkinnedFrame& frame, CKivMenuBar::ButtonKind kind)
{
    const FoundButton button = FindButton(frame.Frame().MenuBar(), kind);
    REQUIRE(button.found);
    const RECT r = button.button.rect;
    SendMessageW(frame.Window(), WM_NCLBUTTONDOWN, HTMENU,
                 frame.ScreenParam((r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

}  // namespace

TEST_CASE("a maximised MDI child's buttons on the skinned bar: layout, pixels and commands to the child")
{
    InstallMenuSkin();
    MdiMenuFrame mdi;
    const HWND child = mdi.AddMaximisedChild();
    REQUIRE(child != nullptr);
    REQUIRE(IsZoomed(child));
    const HMENU bar = GetMenu(mdi.window);
    REQUIRE(GetMenuItemCount(bar) > 4);
    const std::vector<ItemData> before = ReadMenu(bar, true);
    frametest::SkinnedFrame f(mdi.window, 500, 320);
    CKivMenuBar& menuBar = f.Frame().MenuBar();
    CHECK(menuBar.ActiveMdiChild() == child);

    // The icon at the left, the text items after it, the three buttons right-aligned.
    const FoundButton icon = FindButton(menuBar, CKivMenuBar::ChildMenuButton);
    const FoundButton minimise = FindButton(menuBar, CKivMenuBar::ChildMinimizeButton);
    const FoundButton restore = FindButton(menuBar, CKivMenuBar::ChildRestoreButton);
    const FoundButton close = FindButton(menuBar, CKivMenuBar::ChildCloseButton);
    REQUIRE(icon.found);
    REQUIRE(minimise.found);
    REQUIRE(restore.found);
    REQUIRE(close.found);
    CHECK(icon.button.index == 0);
    CHECK(icon.button.popup != nullptr);
    const KivFrameMetrics& m = *f.Frame().Metrics();
    const RECT iconRect = icon.button.rect, minRect = minimise.button.rect, restoreRect = restore.button.rect,
               closeRect = close.button.rect;
    CHECK(iconRect.left == m.borderLeft + CKivMenuBar::kFirstInset);
    REQUIRE(menuBar.Items().size() == 4);
    CHECK(menuBar.Items()[0].rect.left >= iconRect.right);
    CHECK(menuBar.Items()[3].rect.right <= minRect.left);
    CHECK(closeRect.right <= f.Width() - m.borderRight);
    CHECK(closeRect.right >= f.Width() - m.borderRight - 3);
    CHECK(minRect.right <= restoreRect.left);
    CHECK(restoreRect.right <= closeRect.left);
    CHECK(closeRect.top >= m.borderTop + m.captionHeight);
    CHECK(closeRect.bottom <= m.borderTop + m.captionHeight + kBarHeight);
    // The bar's own items (which the keyboard walks) are the host's four text items.
    for (const CKivMenuBar::Item& item : menuBar.Items())
        CHECK(item.popup != icon.button.popup);

    // Each button shows the skin's caption-button picture, as the frame's
    // caption buttons do; the icon shows the child's icon, not the bar.
    Canvas canvas(f.Width(), f.Height(), RGB(1, 2, 3));
    kivtest::PrintWindowTo(mdi.window, canvas);
    const COLORREF background = skin::SlotColour(skin::MenuBarBackground);
    const std::pair<RECT, int> pictured[] = {
        {minRect, skin::MinDefault}, {restoreRect, skin::RestoreDefault}, {closeRect, skin::CloseDefault}};
    for (const auto& button : pictured)
    {
        const RECT& r = button.first;
        CAPTURE(r.left);
        const int area = (r.right - r.left) * (r.bottom - r.top);
        CHECK(CountColour(canvas, r, skin::SlotColour(button.second)) == area);
    }
    CHECK(CountColour(canvas, iconRect, background) < (iconRect.right - iconRect.left) * (iconRect.bottom - iconRect.top) - 20);
    // A skin without a close picture leaves that button to the system's glyph.
    CKivSkinStore::Settings().closeButtonDefaultBmp = RECT{};
    Canvas glyph(f.Width(), f.Height(), RGB(1, 2, 3));
    kivtest::PrintWindowTo(mdi.window, glyph);
    CHECK(CountColour(glyph, closeRect, skin::SlotColour(skin::CloseDefault)) == 0);
    CHECK(CountColour(glyph, closeRect, background) < (closeRect.right - closeRect.left) * (closeRect.bottom - closeRect.top) / 4);
    CHECK(CountColour(glyph, closeRect, GetSysColor(COLOR_BTNTEXT)) >= 4);
    CHECK(CountColour(glyph, minRect, skin::SlotColour(skin::MinDefault)) ==
          (minRect.right - minRect.left) * (minRect.bottom - minRect.top));
    CKivSkinStore::Settings().closeButtonDefaultBmp = skin::SlotRect(skin::CloseDefault);

    SUBCASE("restore restores the child, and the icon opens the child's system menu under it")
    {
        ClickButton(f, CKivMenuBar::ChildRestoreButton);
        CHECK(kivtest::PumpUntil([&] { return !IsZoomed(child); }, 3000));
        CHECK(IsWindow(child));
        CHECK(IsWindowVisible(mdi.window));
        CHECK_FALSE(FindButton(menuBar, CKivMenuBar::ChildCloseButton).found);

        mdi.AddMaximisedChild();
        const HWND second = menuBar.ActiveMdiChild();
        REQUIRE(second != nullptr);
        REQUIRE(IsZoomed(second));
        POINT popupAt = {-1, -1};
        g_onFrameIdle = [&](HWND) {
            const HWND popup = FindWindowW(L"#32768", nullptr);
            RECT r = {};
            if (popup && GetWindowRect(popup, &r))
                popupAt = POINT{r.left, r.top};
            EndMenu();
        };
        frametest::ModalGuard guard;
        ClickButton(f, CKivMenuBar::ChildMenuButton);
        CHECK_FALSE(guard.Fired());
        CHECK(g_frameIdles > 0);
        const RECT at = FindButton(menuBar, CKivMenuBar::ChildMenuButton).button.rect;
        const POINT under = f.Screen(at.left, at.bottom);
        CHECK(popupAt.x == under.x);
        CHECK(popupAt.y == under.y);
        // Nothing chosen: the child and the frame stay as they were.
        CHECK(IsZoomed(second));
        CHECK(IsWindow(mdi.window));
    }
    SUBCASE("each text item opens its own drop-down, the last one too, though the icon comes first")
    {
        const std::vector<CKivMenuBar::Item> items = menuBar.Items();
        REQUIRE(items.size() == 4);
        int tried = 0;
        for (const CKivMenuBar::Item& item : items)
        {
            if (item.popup == nullptr || item.grayed)
                continue;
            CAPTURE(item.index);
            ++tried;
            HMENU opened = nullptr;
            g_onFrameIdle = [&](HWND) {
                const HWND popup = FindWindowW(L"#32768", nullptr);
                if (popup != nullptr && opened == nullptr)
                    opened = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
                EndMenu();
            };
            frametest::ModalGuard guard;
            SendMessageW(mdi.window, WM_NCLBUTTONDOWN, HTMENU,
                         f.ScreenParam((item.rect.left + item.rect.right) / 2, (item.rect.top + item.rect.bottom) / 2));
            CHECK_FALSE(guard.Fired());
            CHECK(opened == GetSubMenu(bar, item.index));
            CHECK_FALSE(menuBar.IsTracking());
        }
        CHECK(tried >= 2);
        g_onFrameIdle = nullptr;
    }
    SUBCASE("close destroys the child and leaves the frame alive")
    {
        ClickButton(f, CKivMenuBar::ChildCloseButton);
        CHECK(kivtest::PumpUntil([&] { return !IsWindow(child); }, 3000));
        CHECK(IsWindow(mdi.window));
        CHECK(IsWindowVisible(mdi.window));
        CHECK(menuBar.Buttons().empty());
    }
    SUBCASE("a system command number sent to the frame as WM_COMMAND reaches the child alone")
    {
        // What the system's bar and its keyboard send for the child's buttons.
        SendMessageW(mdi.window, WM_COMMAND, SC_CLOSE, 0);
        CHECK(kivtest::PumpUntil([&] { return !IsWindow(child); }, 3000));
        // Whatever the frame posted itself is handled before the check.
        MSG message = {};
        for (int n = 0; n < 1000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++n)
            DispatchMessageW(&message);
        CHECK(IsWindow(mdi.window));
    }
    SUBCASE("a choice from the frame's own system menu still reaches the frame")
    {
        bool typed = false;
        g_onFrameIdle = [&](HWND window) {
            if (!typed)
                PostMessageW(window, WM_CHAR, L'c', 0);
            typed = true;
        };
        frametest::ModalGuard guard;
        SendMessageW(mdi.window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        CHECK(kivtest::PumpUntil([&] { return !IsWindow(mdi.window); }, 3000));
        CHECK(typed);
        CHECK_FALSE(guard.Fired());
    }
    SUBCASE("minimise minimises the child, not the frame")
    {
        ClickButton(f, CKivMenuBar::ChildMinimizeButton);
        CHECK(kivtest::PumpUntil([&] { return IsIconic(child) != FALSE; }, 3000));
        CHECK_FALSE(IsIconic(mdi.window));
    }
    SUBCASE("the host's bar data reads back unchanged after detach")
    {
        for (int i = 0; i < 3; ++i)
            RedrawWindow(mdi.window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        CHECK(f.Frame().Detach());
        CHECK(ReadMenu(bar, true) == before);
    }
    skin::Install();
}
