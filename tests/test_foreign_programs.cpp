// Programs nobody here wrote (Wine's own notepad, regedit, winemine, taskmgr,
// progman, winefile, winecfg, wordpad), started with the engine running on
// their UI thread before their first window, must work as they do unskinned
// and only look different: with the dark skin the main window is dark and
// its texts read; with the default skin it stays light.
#include <doctest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include "CKivInjectedProcess.h"
#include "CKivScreenShot.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include "KivTextSample.h"

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

// Programs keep their window's place and size under HKCU and start from it
// next time; each run here starts from the program's own defaults instead,
// so what an earlier run left (a window taller than the screen, say) cannot
// decide a comparison.
void ForgetSavedSettings(const wchar_t* key)
{
    if (key != nullptr)
        RegDeleteTreeW(HKEY_CURRENT_USER, key);
}

void CompareWithUnskinned(const wchar_t* program, Sizing sizing, const wchar_t* settingsKey = nullptr)
{
    CAPTURE(std::string(program, program + wcslen(program)));
    ForgetSavedSettings(settingsKey);
    const Observation plain = Observe(program, false);
    ForgetSavedSettings(settingsKey);
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
    CompareWithUnskinned(L"notepad.exe", Sizing::AtCreation, L"Software\\Microsoft\\Notepad");
    CompareWithUnskinned(L"regedit.exe", Sizing::AtCreation,
                         L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit");
    // Sizes its board with AdjustWindowRect after creation.
    CompareWithUnskinned(L"winemine.exe", Sizing::AfterCreation, L"Software\\Microsoft\\WinMine");
    // Sizes itself from its saved layout after creation (so that layout stays).
    CompareWithUnskinned(L"taskmgr.exe", Sizing::AfterCreation);
    // Created untitled and without a menu; both are set afterwards.
    CompareWithUnskinned(L"progman.exe", Sizing::MenuAfterCreation);
}

namespace {

// Memory in another process, for the control messages that answer through a
// pointer (the system does not carry those between processes).
class RemoteBuffer
{
public:
    RemoteBuffer(HANDLE process, SIZE_T size)
        : m_process(process), m_size(size),
          m_address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
    {
    }
    ~RemoteBuffer()
    {
        if (m_address != nullptr)
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    LPARAM Address() const { return reinterpret_cast<LPARAM>(m_address); }
    bool Write(const void* data, SIZE_T size) const
    {
        SIZE_T done = 0;
        return m_address != nullptr && size <= m_size && WriteProcessMemory(m_process, m_address, data, size, &done) &&
               done == size;
    }
    bool Read(void* data, SIZE_T size) const
    {
        SIZE_T done = 0;
        return m_address != nullptr && size <= m_size && ReadProcessMemory(m_process, m_address, data, size, &done) &&
               done == size;
    }

private:
    HANDLE m_process;
    SIZE_T m_size;
    void* m_address;
};

// A control message whose lParam points to a RECT (filled in beforehand with
// what the message reads from it); false when the control said no.
bool RemoteRect(HANDLE process, HWND control, UINT message, WPARAM wParam, RECT* rect)
{
    RemoteBuffer buffer(process, sizeof(RECT));
    if (!buffer.Write(rect, sizeof(RECT)))
        return false;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(control, message, wParam, buffer.Address(), SMTO_BLOCK, 5000, &answer) || answer == 0)
        return false;
    return buffer.Read(rect, sizeof(RECT));
}

struct ChildSearch
{
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindVisibleChild(HWND window, LPARAM param)
{
    ChildSearch* search = reinterpret_cast<ChildSearch*>(param);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (IsWindowVisible(window) && lstrcmpiW(name, search->className) == 0)
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleChild(HWND main, const wchar_t* className)
{
    ChildSearch search = {className, nullptr};
    EnumChildWindows(main, &FindVisibleChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT ToScreen(HWND window, RECT r)
{
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Where one sampled text lies on the screen; false when the program has no such text.
using FindText = std::function<bool(HWND main, HANDLE process, RECT* screen)>;

struct Sample
{
    const char* what;
    FindText find;
    // False: measured and reported only, for a text the engine leaves in
    // the system's colours for now.
    bool asserted = true;
    // True: with the dark skin the text lies on a dark ground (the skin's,
    // not the system's white or highlight).
    bool darkGround = false;
};

// The share of full brightness of a colour's luma (as the dark share counts it).
double Luma(COLORREF colour)
{
    return (0.299 * GetRValue(colour) + 0.587 * GetGValue(colour) + 0.114 * GetBValue(colour)) / 255.0;
}

// The first line of an edit or rich edit, given a text to show.
FindText EditLine(const wchar_t* className)
{
    return [className](HWND main, HANDLE, RECT* screen) {
        const HWND edit = VisibleChild(main, className);
        if (edit == nullptr)
            return false;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"The quick brown fox jumps over the lazy dog"),
                            SMTO_BLOCK, 5000, &ignored);
        CKivScreenShot::Settle(main);
        RECT client = {};
        GetClientRect(edit, &client);
        *screen = ToScreen(edit, RECT{2, 1, client.right / 2, 17});
        return true;
    };
}

FindText HeaderItem()
{
    return [](HWND main, HANDLE process, RECT* screen) {
        const HWND header = VisibleChild(main, L"SysHeader32");
        RECT item = {};
        if (header == nullptr || !RemoteRect(process, header, HDM_GETITEMRECT, 0, &item))
            return false;
        *screen = ToScreen(header, item);
        return true;
    };
}

FindText StatusPart()
{
    return [](HWND main, HANDLE process, RECT* screen) {
        const HWND status = VisibleChild(main, STATUSCLASSNAMEW);
        RECT part = {};
        if (status == nullptr || !RemoteRect(process, status, SB_GETRECT, 0, &part))
            return false;
        *screen = ToScreen(status, part);
        return true;
    };
}

FindText TabItem()
{
    return [](HWND main, HANDLE process, RECT* screen) {
        const HWND tab = VisibleChild(main, WC_TABCONTROLW);
        RECT item = {};
        if (tab == nullptr || !RemoteRect(process, tab, TCM_GETITEMRECT, 0, &item))
            return false;
        *screen = ToScreen(tab, item);
        return true;
    };
}

// The label of the list view's first item.
FindText ListRow()
{
    return [](HWND main, HANDLE process, RECT* screen) {
        const HWND list = VisibleChild(main, WC_LISTVIEWW);
        RECT label = {LVIR_LABEL, 0, 0, 0};
        if (list == nullptr || !RemoteRect(process, list, LVM_GETITEMRECT, 0, &label))
            return false;
        *screen = ToScreen(list, label);
        return true;
    };
}

// The text of the tree view's first item.
FindText TreeRow()
{
    return [](HWND main, HANDLE process, RECT* screen) {
        const HWND tree = VisibleChild(main, WC_TREEVIEWW);
        if (tree == nullptr)
            return false;
        DWORD_PTR root = 0;
        SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, SMTO_BLOCK, 5000, &root);
        RECT text = {};
        // The rectangle's first bytes name the item.
        std::memcpy(&text, &root, sizeof(root));
        if (root == 0 || !RemoteRect(process, tree, TVM_GETITEMRECT, TRUE, &text))
            return false;
        *screen = ToScreen(tree, text);
        return true;
    };
}

// The face of a drop-down list combo box, its button left out.
FindText ComboFace()
{
    return [](HWND main, HANDLE, RECT* screen) {
        const HWND combo = VisibleChild(main, WC_COMBOBOXW);
        if (combo == nullptr)
            return false;
        RECT client = {};
        GetClientRect(combo, &client);
        *screen = ToScreen(combo, RECT{2, 2, client.right - GetSystemMetrics(SM_CXVSCROLL) - 2, client.bottom - 2});
        return true;
    };
}

struct Program
{
    const wchar_t* file;
    // The least dark share the dark skin must reach; below 0 it is only
    // reported, for a window mostly made of classes the engine leaves alone.
    double darkTarget;
    std::vector<Sample> samples;
};

struct Look
{
    bool shown = false;
    double darkShare = 0.0;
    std::vector<std::pair<const Sample*, kivtest::TextSample>> texts;
};

const wchar_t* SkinFile(int skin)
{
    return skin == 1 ? L"\\default.kiv" : L"\\dark.kiv";
}

// Starts the program (skin 0: unskinned, 1: default, 2: dark), lets it
// settle, and reads its main window off the screen.
Look LookAt(const Program& program, int skin)
{
    Look look;
    SetEnvironmentVariableW(L"KIV_INJECT_SKIN", skin != 0 ? (BinaryDir() + SkinFile(skin)).c_str() : nullptr);
    CKivInjectedProcess process;
    const bool started = process.Start(L"\"" + kivtest::SystemProgram(program.file) + L"\"",
                                       skin != 0 ? BinaryDir() + L"\\KivInject.dll" : std::wstring());
    SetEnvironmentVariableW(L"KIV_INJECT_SKIN", nullptr);
    if (!started)
        return look;
    HWND window = nullptr;
    look.shown = CKivScreenShot::WaitFor(
        [&] { return (window = CKivScreenShot::FindWindowOf(process.Id(), nullptr, nullptr)) != nullptr; }, 20000);
    if (!look.shown)
    {
        process.Terminate();
        return look;
    }
    WaitForInputIdle(process.Process(), 5000);
    CKivScreenShot::Settle(window);
    std::vector<std::pair<const Sample*, RECT>> places;
    for (const Sample& sample : program.samples)
    {
        RECT place = {};
        if (sample.find(window, process.Process(), &place))
        {
            // The edges of an item are lines, not text.
            InflateRect(&place, -3, -1);
            places.emplace_back(&sample, place);
        }
        else
            places.emplace_back(&sample, RECT{});
    }
    CKivScreenShot::Settle(window);
    RECT frame = {};
    GetWindowRect(window, &frame);
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&frame, &frame, &screen);
    kivtest::Canvas canvas(frame.right - frame.left, frame.bottom - frame.top, RGB(255, 0, 255));
    kivtest::CaptureScreenAt(POINT{frame.left, frame.top}, canvas);
    look.darkShare = kivtest::DarkShare(canvas);
    // KIV_PROGRAM_SHOTS names a folder that keeps each picture (program-skin.bmp).
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"KIV_PROGRAM_SHOTS", folder, MAX_PATH) - 1u < MAX_PATH - 1u)
    {
        static const wchar_t* const kSkinNames[] = {L"unskinned", L"default", L"dark"};
        std::wstring name = program.file;
        name = name.substr(0, name.find(L'.'));
        canvas.Save((std::wstring(folder) + L"\\" + name + L"-" + kSkinNames[skin] + L".bmp").c_str());
    }
    for (const auto& place : places)
    {
        RECT area = place.second;
        OffsetRect(&area, -frame.left, -frame.top);
        look.texts.emplace_back(place.first, IsRectEmpty(&place.second) ? kivtest::TextSample()
                                                                      : kivtest::SampleText(canvas, area));
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    if (!process.WaitForExit(10000, exitCode))
        process.Terminate();
    return look;
}

std::string Narrow(const wchar_t* text)
{
    std::string narrow;
    for (; *text != 0; ++text)
        narrow += static_cast<char>(*text);
    return narrow;
}

// The dark skin makes the main window dark and keeps every sampled text
// readable; the default skin keeps it about as light as the system's look.
void CheckLook(const Program& program)
{
    const std::string name = Narrow(program.file);
    CAPTURE(name);
    const Look plain = LookAt(program, 0);
    const Look light = LookAt(program, 1);
    const Look dark = LookAt(program, 2);
    REQUIRE(plain.shown);
    REQUIRE(light.shown);
    REQUIRE(dark.shown);
    char line[160];
    std::snprintf(line, sizeof(line), "%s: dark share unskinned %.1f %%, default skin %.1f %%, dark skin %.1f %%",
                  name.c_str(), 100.0 * plain.darkShare, 100.0 * light.darkShare, 100.0 * dark.darkShare);
    MESSAGE(line);
    if (program.darkTarget >= 0.0)
        CHECK(dark.darkShare >= program.darkTarget);
    // Light stays light: the default skin darkens no more than its own
    // caption and bar do.
    CHECK(light.darkShare <= plain.darkShare + 0.10);
    for (const Look* look : {&light, &dark})
        for (const auto& text : look->texts)
        {
            const std::string what = text.first->what;
            const std::string skinName = look == &dark ? "dark" : "default";
            CAPTURE(what);
            CAPTURE(skinName);
            std::snprintf(line, sizeof(line), "%s, %s skin, %s: %.1f:1 (ink %06lx on %06lx, %d pixels)", name.c_str(),
                          skinName.c_str(), what.c_str(), text.second.ratio,
                          static_cast<unsigned long>(text.second.ink), static_cast<unsigned long>(text.second.background),
                          text.second.inkPixels);
            MESSAGE(line);
            if (!text.first->asserted)
                continue;
            // Something is written there.
            CHECK(text.second.inkPixels >= 15);
            CHECK(text.second.ratio >= 4.5);
            if (look == &dark && text.first->darkGround)
                CHECK(Luma(text.second.background) < 0.5);
        }
}

}  // namespace

TEST_CASE("notepad: dark with the dark skin, its edit line readable")
{
    CheckLook(Program{L"notepad.exe", 0.85, {{"edit line", EditLine(L"Edit")}}});
}

// The selected tree row lies on the skin's selection colour.
TEST_CASE("regedit: dark with the dark skin; selected tree row, header and status bar readable")
{
    CheckLook(Program{L"regedit.exe", 0.85,
                      {{"tree row", TreeRow(), true, true}, {"header", HeaderItem()}, {"status bar", StatusPart()}}});
}

// Winefile draws each row itself, white with black text, in colours it
// names itself (a solid white brush and black text in its WM_DRAWITEM):
// those stay. What it leaves to the system (the list's background beside and
// below the rows, the lists' scroll bars) takes the skin, and so the share
// is held to what that gives. How much of the window its rows fill depends
// on the folders it shows (here the build tree: 44 to 48 % dark); without
// the skin's list background it was 27 %.
TEST_CASE("winefile: its owner-drawn rows keep its own colours; the rest dark; status bar readable")
{
    CheckLook(Program{L"winefile.exe", 0.38, {{"header", HeaderItem(), false}, {"status bar", StatusPart()}}});
}

TEST_CASE("taskmgr: dark with the dark skin; tab, header and status bar readable")
{
    CheckLook(Program{L"taskmgr.exe", 0.85, {{"tab", TabItem()}, {"header", HeaderItem()}, {"status bar", StatusPart()}}});
}

TEST_CASE("winecfg: dark with the dark skin; tab, list row and combo face readable")
{
    CheckLook(Program{L"winecfg.exe", 0.85,
                      {{"tab", TabItem()}, {"list row", ListRow()}, {"combo face", ComboFace(), true, true}}});
}

TEST_CASE("wordpad: dark with the dark skin; document line and status bar readable")
{
    CheckLook(Program{L"wordpad.exe", 0.85, {{"edit line", EditLine(L"RichEdit20W")}, {"status bar", StatusPart()}}});
}

TEST_CASE("winemine: dark with the dark skin")
{
    CheckLook(Program{L"winemine.exe", 0.85, {}});
}

TEST_CASE("progman: dark with the dark skin, its MDI client included")
{
    CheckLook(Program{L"progman.exe", 0.85, {}});
}
