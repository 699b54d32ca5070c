// Programs nobody here wrote (Wine's own notepad, regedit, winemine, taskmgr,
// progman), started with the engine running on their UI thread before their
// first window, must work as they do unskinned and only look different.
#include <doctest.h>
#include <windows.h>
#include <string>
#include "CKivInjectedProcess.h"
#include "CKivScreenShot.h"
#include "KivTestSupport.h"

namespace {

using kivtest::BinaryDir;
using kivtest::ReadFileBytes;

struct Observation
{
    bool shown = false;
    std::wstring title;
    bool unicode = false;
    SIZE client = {};
    SIZE window = {};
    int menuItems = -1;
    COLORREF captionPixel = CLR_INVALID;
    bool ended = false;
    DWORD exitCode = 0;
    std::string engine;
};


std::string ReadText(const std::wstring& path)
{
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs the program, reads what a user and an application would see of its
// first visible top-level window, then closes it as a user would.
Observation Observe(const wchar_t* program, bool skinned)
{
    const std::wstring log = BinaryDir() + L"\\foreign-engine.log";
    DeleteFileW(log.c_str());
    SetEnvironmentVariableW(L"KIV_INJECT_SKIN", skinned ? (BinaryDir() + L"\\default.kiv").c_str() : nullptr);
    SetEnvironmentVariableW(L"KIV_INJECT_LOG", skinned ? log.c_str() : nullptr);
    CKivInjectedProcess process;
    Observation seen;
    const bool started = process.Start(L"\"" + kivtest::SystemProgram(program) + L"\"",
                                       skinned ? BinaryDir() + L"\\KivInject.dll" : std::wstring());
    SetEnvironmentVariableW(L"KIV_INJECT_SKIN", nullptr);
    SetEnvironmentVariableW(L"KIV_INJECT_LOG", nullptr);
    if (!started)
        return seen;
    HWND window = nullptr;
    seen.shown = CKivScreenShot::WaitFor(
        [&] { return (window = CKivScreenShot::FindWindowOf(process.Id(), nullptr, nullptr)) != nullptr; }, 20000);
    if (!seen.shown)
    {
        process.Terminate();
        return seen;
    }
    WaitForInputIdle(process.Process(), 5000);
    CKivScreenShot::Settle(window);
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    seen.title = title;
    seen.unicode = IsWindowUnicode(window) != FALSE;
    RECT client = {}, frame = {};
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    seen.client = {client.right, client.bottom};
    seen.window = {frame.right - frame.left, frame.bottom - frame.top};
    HMENU menu = GetMenu(window);
    seen.menuItems = menu ? GetMenuItemCount(menu) : -1;
    HDC screen = GetDC(nullptr);
    seen.captionPixel = GetPixel(screen, (frame.left + frame.right) / 2, frame.top + 6);
    ReleaseDC(nullptr, screen);
    PostMessageW(window, WM_CLOSE, 0, 0);
    seen.ended = process.WaitForExit(10000, seen.exitCode);
    if (!seen.ended)
        process.Terminate();
    seen.engine = ReadText(log);
    DeleteFileW(log.c_str());
    return seen;
}

// How a program sizes its main window decides what the skin can keep:
// a size given only at creation keeps its client area (the skin grows or
// shrinks the window by the difference between its frame and the system's);
// a program that sizes the window again afterwards for the system's frame
// (AdjustWindowRect, or a menu set after creation) gets the window size it
// asked for, and its client area differs by that same difference.
// A menu set after creation takes the skin's bar height instead of the
// system's: the client keeps its width, its height differs by the two bars.
enum class Sizing
{
    AtCreation,
    AfterCreation,
    MenuAfterCreation,
};

void CompareWithUnskinned(const wchar_t* program, Sizing sizing)
{
    CAPTURE(std::string(program, program + wcslen(program)));
    const Observation plain = Observe(program, false);
    const Observation skinned = Observe(program, true);
    REQUIRE(plain.shown);
    REQUIRE(skinned.shown);
    CHECK(skinned.engine.find("KivRun=1") != std::string::npos);
    CHECK(skinned.title == plain.title);
    CHECK(skinned.unicode == plain.unicode);
    CHECK(skinned.menuItems == plain.menuItems);
    if (sizing == Sizing::AtCreation)
    {
        CHECK(skinned.client.cx == plain.client.cx);
        CHECK(skinned.client.cy == plain.client.cy);
    }
    else if (sizing == Sizing::MenuAfterCreation)
    {
        CHECK(skinned.client.cx == plain.client.cx);
    }
    else
    {
        CHECK(skinned.window.cx == plain.window.cx);
        CHECK(skinned.window.cy == plain.window.cy);
    }
    // The skin's caption, not the system's.
    CHECK(skinned.captionPixel != plain.captionPixel);
    CHECK(plain.ended);
    CHECK(skinned.ended);
    CHECK(skinned.exitCode == plain.exitCode);
}

}  // namespace

TEST_CASE("Wine's own programs work skinned as unskinned, with the skin's look")
{
    CompareWithUnskinned(L"notepad.exe", Sizing::AtCreation);
    CompareWithUnskinned(L"regedit.exe", Sizing::AtCreation);
    // Sizes its board with AdjustWindowRect after creation.
    CompareWithUnskinned(L"winemine.exe", Sizing::AfterCreation);
    // Sizes itself from its saved or computed layout after creation.
    CompareWithUnskinned(L"taskmgr.exe", Sizing::AfterCreation);
    // Created untitled and without a menu; both are set afterwards.
    CompareWithUnskinned(L"progman.exe", Sizing::MenuAfterCreation);
}
