// The skinned menu bar of a program nobody here wrote (Wine's notepad and
// regedit, started with the engine on their UI thread): a click on each bar
// item opens that item's own drop-down, under the item.
#include <doctest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>
#include "CKivGraphics.h"
#include "CKivInjectedProcess.h"
#include "CKivMenuBar.h"
#include "CKivScreenShot.h"
#include "KivFrameTestHost.h"
#include "KivTestSupport.h"

namespace {

const UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU



// Where the skin lays the bar items out, in screen coordinates: from the
// bar's left edge (the client area's left) along the client area's top edge.
// Menus are the other process's own, so their texts are given (Wine's English ones).
std::vector<RECT> BarItems(HWND window, const std::vector<const wchar_t*>& texts)
{
    POINT client = {0, 0};
    ClientToScreen(window, &client);
    std::vector<RECT> items;
    int left = client.x + CKivMenuBar::kFirstInset;
    for (const wchar_t* text : texts)
    {
        const int right = left + frametest::SkinTextWidth(text) + CKivMenuBar::kItemSlack + 2 * CKivMenuBar::kTextPadding;
        items.push_back(RECT{left, client.y - 8, right, client.y});
        left = right + CKivMenuBar::kItemGap;
    }
    return items;
}

void Click(POINT at)
{
    // Wine may deliver an older pointer position after a warp: wait until it holds.
    frametest::MoveCursor(at);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

void PressEscape()
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = VK_ESCAPE;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// The drop-down a click at a screen point opens: its left edge and its menu
// (0 when none opened), closed again with Escape.
struct Opened
{
    LONG left = -1;
    LONG top = -1;
    DWORD_PTR menu = 0;
};

struct PopupSearch
{
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectPopup(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<PopupSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (process == search->process && std::wstring(className) == L"#32768")
        search->windows.push_back(window);
    return TRUE;
}

// The process's drop-down windows, shown or not.
std::vector<HWND> Popups(DWORD process)
{
    PopupSearch search = {process, {}};
    EnumWindows(&CollectPopup, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

// A shown drop-down window that did not exist before, with its menu.
HWND NewPopup(DWORD process, const std::vector<HWND>& before, DWORD_PTR* menu)
{
    for (HWND window : Popups(process))
    {
        if (!IsWindowVisible(window) || std::find(before.begin(), before.end(), window) != before.end())
            continue;
        *menu = 0;
        SendMessageTimeoutW(window, kGetMenuHandle, 0, 0, SMTO_BLOCK, 3000, menu);
        if (*menu != 0)
            return window;
    }
    return nullptr;
}

Opened ClickAndClose(DWORD process, POINT at)
{
    Opened result;
    const std::vector<HWND> before = Popups(process);
    Click(at);
    HWND popup = nullptr;
    if (!CKivScreenShot::WaitFor([&] { return (popup = NewPopup(process, before, &result.menu)) != nullptr; }, 5000))
        return result;
    RECT r = {};
    GetWindowRect(popup, &r);
    result.left = r.left;
    result.top = r.top;
    PressEscape();
    CKivScreenShot::WaitFor([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, 5000);
    return result;
}

// Starts a program with the engine and the default skin; its first window.
HWND StartSkinned(CKivInjectedProcess& process, const wchar_t* program)
{
    SetEnvironmentVariableW(L"KIV_INJECT_SKIN", (kivtest::BinaryDir() + L"\\default.kiv").c_str());
    const bool started = process.Start(L"\"" + kivtest::SystemProgram(program) + L"\"", kivtest::BinaryDir() + L"\\KivInject.dll");
    SetEnvironmentVariableW(L"KIV_INJECT_SKIN", nullptr);
    HWND window = nullptr;
    if (!started ||
        !CKivScreenShot::WaitFor(
            [&] { return (window = CKivScreenShot::FindWindowOf(process.Id(), nullptr, nullptr)) != nullptr; }, 20000))
        return nullptr;
    WaitForInputIdle(process.Process(), 5000);
    SetForegroundWindow(window);
    CKivScreenShot::Settle(window);
    return window;
}

void Close(CKivInjectedProcess& process, HWND window)
{
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    if (!process.WaitForExit(10000, exitCode))
        process.Terminate();
}

void OpensEachDropDown(const wchar_t* program, const std::vector<const wchar_t*>& texts)
{
    CAPTURE(std::string(program, program + wcslen(program)));
    CKivInjectedProcess process;
    const HWND window = StartSkinned(process, program);
    REQUIRE(window != nullptr);
    REQUIRE(GetMenu(window) != nullptr);
    const std::vector<RECT> items = BarItems(window, texts);
    std::vector<DWORD_PTR> seen;
    for (size_t i = 0; i < items.size(); ++i)
    {
        CAPTURE(i);
        const RECT& item = items[i];
        const Opened opened = ClickAndClose(process.Id(), POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        // Each item opens a drop-down of its own, under the item.
        CHECK(opened.menu != 0);
        for (DWORD_PTR before : seen)
            CHECK(opened.menu != before);
        seen.push_back(opened.menu);
        CHECK(opened.left == item.left);
        CHECK(opened.top == item.bottom);
    }
    Close(process, window);
}

}  // namespace

TEST_CASE("a foreign program's skinned menu bar opens the drop-down of the item clicked")
{
    OpensEachDropDown(L"notepad.exe", {L"&File", L"&Edit", L"&Search", L"&Help"});

    // Without knowing the other program's item texts: clicks across the bar
    // open drop-downs whose left edges step right with the click, each one
    // starting at or left of the click, and a drop-down opens from one place only.
    CKivInjectedProcess process;
    const HWND window = StartSkinned(process, L"regedit.exe");
    REQUIRE(window != nullptr);
    POINT client = {0, 0};
    ClientToScreen(window, &client);
    std::vector<Opened> opened;
    for (int x = client.x + 4; x < client.x + 300; x += 12)
    {
        CAPTURE(x);
        const Opened o = ClickAndClose(process.Id(), POINT{x, client.y - 4});
        if (o.menu == 0)
            continue;
        CHECK(o.left <= x);
        CHECK(o.top == client.y);
        for (const Opened& before : opened)
        {
            CHECK(o.left >= before.left);
            CHECK((o.menu == before.menu) == (o.left == before.left));
        }
        opened.push_back(o);
    }
    CHECK(opened.size() >= 10);
    CHECK(opened.back().left > opened.front().left);
    Close(process, window);
}
