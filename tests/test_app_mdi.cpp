// Command tables, command routing through an MDI frame and its children,
// menu switching, bar layout and the recent-file list.
#include <doctest.h>
#include "CKivCommandMap.h"
#include "CKivMdiChild.h"
#include "CKivMdiFrame.h"
#include "CKivRecentFileList.h"
#include "KivCommandIds.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <string>
#include <vector>

namespace {

const UINT kFrameOnly = 40001;
const UINT kBoth = 40002;
const UINT kNobody = 40003;
const UINT kChecked = 40004;

int g_liveChildren = 0;

class TestChild : public CKivMdiChild
{
public:
    explicit TestChild(std::vector<std::string>& log) : m_log(log)
    {
        ++g_liveChildren;
        Commands().On(kBoth, [this](UINT) { m_log.push_back("child"); });
    }
    ~TestChild() override { --g_liveChildren; }

protected:
    LRESULT OnDestroy() override
    {
        m_log.push_back("child destroyed");
        return Default();
    }

private:
    std::vector<std::string>& m_log;
};

class TestFrame : public CKivMdiFrame
{
public:
    std::vector<std::string> log;
    bool checked = false;

    TestFrame()
    {
        Commands().On(kFrameOnly, [this](UINT) { log.push_back("frame only"); });
        Commands().On(kBoth, [this](UINT) { log.push_back("frame"); });
        Commands().On(kChecked, [this](UINT) { checked = !checked; }, nullptr, [this] { return checked; });
    }
};

struct MdiFixture
{
    HMENU frameMenu = CreateMenu();
    HMENU framePopup = CreatePopupMenu();
    HMENU childMenu = CreateMenu();
    HMENU childPopup = CreatePopupMenu();
    TestFrame frame;

    MdiFixture()
    {
        CKivWindow::RegisterClass(L"KivTestFrame");
        CKivWindow::RegisterClass(L"KivTestChild");
        AppendMenuW(framePopup, MF_STRING, kFrameOnly, L"frame only");
        AppendMenuW(framePopup, MF_STRING, kNobody, L"nobody");
        AppendMenuW(framePopup, MF_STRING, kChecked, L"checked");
        AppendMenuW(frameMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(framePopup), L"&File");
        AppendMenuW(childPopup, MF_STRING, kBoth, L"both");
        AppendMenuW(childMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(childPopup), L"&Window");
        frame.CreateFrame(L"KivTestFrame", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, frameMenu, childPopup);
    }
    ~MdiFixture()
    {
        if (frame.Handle())
        {
            SetMenu(frame.Handle(), nullptr);
            DestroyWindow(frame.Handle());
        }
        DestroyMenu(frameMenu);
        DestroyMenu(childMenu);
    }
    TestChild* AddChild()
    {
        auto* child = new TestChild(frame.log);
        if (!child->CreateChild(frame, L"KivTestChild", L"child", childMenu, childPopup))
        {
            delete child;
            return nullptr;
        }
        return child;
    }
    void Command(UINT id) { SendMessageW(frame.Handle(), WM_COMMAND, id, 0); }
};

UINT MenuState(HMENU menu, UINT id)
{
    return GetMenuState(menu, id, MF_BYCOMMAND);
}

// Notes the MDI client's WM_DESTROY in the frame's log.
std::vector<std::string>* g_clientLog = nullptr;
WNDPROC g_clientProc = nullptr;

LRESULT CALLBACK ClientRecorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY && g_clientLog)
        g_clientLog->push_back("client destroyed");
    return CallWindowProcW(g_clientProc, window, message, wParam, lParam);
}

// Access violations raised in this process, whoever handles them afterwards
// (Wine swallows those raised inside a window procedure called from user32).
LONG g_accessViolations = 0;

LONG CALLBACK CountAccessViolation(EXCEPTION_POINTERS* pointers)
{
    if (pointers && pointers->ExceptionRecord &&
        pointers->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION)
        InterlockedIncrement(&g_accessViolations);
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

TEST_CASE("a command table runs the newest handler for an identifier or range")
{
    CKivCommandMap map;
    std::vector<UINT> ran;
    map.On(5, [&](UINT id) { ran.push_back(id); });
    map.OnRange(100, 103, [&](UINT id) { ran.push_back(id + 1000); });
    CHECK(map.Dispatch(5));
    CHECK(map.Dispatch(100));
    CHECK(map.Dispatch(103));
    CHECK_FALSE(map.Dispatch(104));
    CHECK_FALSE(map.Dispatch(99));
    CHECK(ran == std::vector<UINT>{5, 1100, 1103});

    // A newer entry hides the older one for the same identifier.
    map.On(101, [&](UINT) { ran.push_back(1); });
    ran.clear();
    map.Dispatch(101);
    map.Dispatch(102);
    CHECK(ran == std::vector<UINT>{1, 1102});

    SUBCASE("a disabled command is swallowed without running")
    {
        bool enabled = false;
        int runs = 0;
        map.On(7, [&](UINT) { ++runs; }, [&] { return enabled; }, [] { return true; });
        CHECK(map.Dispatch(7));
        CHECK(runs == 0);
        bool isEnabled = true;
        bool isChecked = false;
        CHECK(map.QueryState(7, isEnabled, isChecked));
        CHECK_FALSE(isEnabled);
        CHECK(isChecked);
        enabled = true;
        CHECK(map.Dispatch(7));
        CHECK(runs == 1);
        CHECK_FALSE(map.QueryState(8, isEnabled, isChecked));
    }
    SUBCASE("a handler may replace its own entry while it runs")
    {
        int runs = 0;
        map.On(9, [&](UINT) {
            ++runs;
            for (UINT id = 200; id < 260; ++id)  // grows the table, moving its entries
                map.On(id, [](UINT) {});
        });
        CHECK(map.Dispatch(9));
        CHECK(runs == 1);
    }
}

TEST_CASE("frame commands go to the active child first, then to the frame")
{
    MdiFixture mdi;
    REQUIRE(mdi.frame.Handle());
    REQUIRE(mdi.frame.MdiClient());

    mdi.Command(kBoth);
    mdi.Command(kFrameOnly);
    CHECK(mdi.frame.log == std::vector<std::string>{"frame", "frame only"});

    TestChild* child = mdi.AddChild();
    REQUIRE(child);
    CHECK(mdi.frame.ActiveChild() == child);
    mdi.frame.log.clear();
    mdi.Command(kBoth);
    mdi.Command(kFrameOnly);
    CHECK(mdi.frame.log == std::vector<std::string>{"child", "frame only"});
    CHECK_FALSE(mdi.frame.RouteCommand(kNobody));

    // The child's menu is up while it is active; the frame's returns after it.
    CHECK(GetMenu(mdi.frame.Handle()) == mdi.childMenu);
    SendMessageW(mdi.frame.MdiClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(child->Handle()), 0);
    CHECK(g_liveChildren == 0);
    CHECK(mdi.frame.ActiveChild() == nullptr);
    CHECK(GetMenu(mdi.frame.Handle()) == mdi.frameMenu);
    mdi.frame.log.clear();
    mdi.Command(kBoth);
    CHECK(mdi.frame.log == std::vector<std::string>{"frame"});
}

TEST_CASE("commands follow the activation among several children")
{
    MdiFixture mdi;
    TestChild* first = mdi.AddChild();
    TestChild* second = mdi.AddChild();
    REQUIRE(first);
    REQUIRE(second);
    CHECK(mdi.frame.ChildCount() == 2);
    CHECK(mdi.frame.ActiveChild() == second);
    SendMessageW(mdi.frame.MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first->Handle()), 0);
    CHECK(mdi.frame.ActiveChild() == first);
    // Closing the active child activates the other, whose menu stays up.
    SendMessageW(mdi.frame.MdiClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(first->Handle()), 0);
    CHECK(mdi.frame.ActiveChild() == second);
    CHECK(GetMenu(mdi.frame.Handle()) == mdi.childMenu);
    CHECK(g_liveChildren == 1);
    DestroyWindow(mdi.frame.Handle());
    CHECK(g_liveChildren == 0);
}

TEST_CASE("opening a menu greys the commands nobody handles and checks the checked ones")
{
    MdiFixture mdi;
    SendMessageW(mdi.frame.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(mdi.framePopup), 0);
    CHECK((MenuState(mdi.framePopup, kFrameOnly) & MF_GRAYED) == 0);
    CHECK((MenuState(mdi.framePopup, kNobody) & MF_GRAYED) != 0);
    CHECK((MenuState(mdi.framePopup, kChecked) & MF_CHECKED) == 0);
    mdi.Command(kChecked);
    SendMessageW(mdi.frame.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(mdi.framePopup), 0);
    CHECK((MenuState(mdi.framePopup, kChecked) & MF_CHECKED) != 0);
}

TEST_CASE("the toolbar and status bar keep their room and the client takes the rest")
{
    MdiFixture mdi;
    HWND frame = mdi.frame.Handle();
    HWND toolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | CCS_TOP, 0, 0, 0, 0, frame,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, frame, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    REQUIRE(toolBar);
    REQUIRE(statusBar);
    SendMessageW(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    mdi.frame.SetToolBar(toolBar);
    mdi.frame.SetStatusBar(statusBar);
    SetWindowPos(frame, nullptr, 0, 0, 500, 400, SWP_NOZORDER | SWP_NOMOVE);

    auto rectIn = [&](HWND window) {
        RECT rect;
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    RECT client;
    GetClientRect(frame, &client);
    const RECT tool = rectIn(toolBar);
    const RECT status = rectIn(statusBar);
    const RECT mdiArea = rectIn(mdi.frame.MdiClient());
    CHECK(tool.bottom > 0);
    CHECK(mdiArea.top == tool.bottom);
    CHECK(mdiArea.bottom == status.top);
    CHECK(status.bottom == client.bottom);

    mdi.frame.ShowBar(toolBar, false);
    CHECK_FALSE(mdi.frame.IsBarVisible(toolBar));
    CHECK(rectIn(mdi.frame.MdiClient()).top == 0);
    mdi.frame.ShowBar(statusBar, false);
    CHECK(rectIn(mdi.frame.MdiClient()).bottom == client.bottom);
}

TEST_CASE("recent files: newest first, no duplicates, a fixed number, kept in the registry")
{
    CKivRecentFileList list(ID_FILE_MRU_FILE1, 4);
    list.Add(L"C:\\a.kiv");
    list.Add(L"C:\\b.kiv");
    list.Add(L"c:\\A.KIV");  // the same file in other case moves to the top
    CHECK(list.Files() == std::vector<std::wstring>{L"c:\\A.KIV", L"C:\\b.kiv"});
    for (const wchar_t* path : {L"C:\\c", L"C:\\d", L"C:\\e"})
        list.Add(path);
    CHECK(list.Files() == std::vector<std::wstring>{L"C:\\e", L"C:\\d", L"C:\\c", L"c:\\A.KIV"});
    CHECK(list.FileForCommand(ID_FILE_MRU_FILE1 + 1) == L"C:\\d");
    CHECK(list.FileForCommand(ID_FILE_MRU_FILE1 + 4).empty());

    const std::wstring key = L"Software\\KivTest\\RecentFiles" + std::to_wstring(GetCurrentProcessId());
    REQUIRE(list.Save(key));
    CKivRecentFileList loaded(ID_FILE_MRU_FILE1, 4);
    loaded.Load(key);
    CHECK(loaded.Files() == list.Files());

    // A shorter list leaves no stale values behind.
    list.Remove(0);
    list.Remove(0);
    list.Save(key);
    loaded.Load(key);
    CHECK(loaded.Files() == std::vector<std::wstring>{L"C:\\c", L"c:\\A.KIV"});
    RegDeleteKeyW(HKEY_CURRENT_USER, (key + L"\\Recent File List").c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

TEST_CASE("recent files appear in the menu in place of the placeholder")
{
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, ID_FILE_OPEN, L"&Open");
    AppendMenuW(popup, MF_STRING | MF_GRAYED, ID_FILE_MRU_FILE1, L"Recent File");
    AppendMenuW(popup, MF_STRING, ID_APP_EXIT, L"E&xit");
    CKivRecentFileList list(ID_FILE_MRU_FILE1, 4);
    list.Add(L"C:\\skins\\R&D.kiv");
    list.Add(L"C:\\skins\\black.kiv");
    list.UpdateMenu(popup);
    REQUIRE(GetMenuItemCount(popup) == 4);
    wchar_t text[64] = {};
    GetMenuStringW(popup, 1, text, 64, MF_BYPOSITION);
    CHECK(std::wstring(text) == L"&1 black.kiv");
    GetMenuStringW(popup, 2, text, 64, MF_BYPOSITION);
    CHECK(std::wstring(text) == L"&2 R&&D.kiv");
    CHECK(GetMenuItemID(popup, 3) == ID_APP_EXIT);

    // Emptied again, the greyed placeholder comes back.
    list.Remove(0);
    list.Remove(0);
    list.UpdateMenu(popup);
    REQUIRE(GetMenuItemCount(popup) == 3);
    CHECK(GetMenuItemID(popup, 1) == ID_FILE_MRU_FILE1);
    CHECK((GetMenuState(popup, 1, MF_BYPOSITION) & MF_GRAYED) != 0);
    DestroyMenu(popup);
}

TEST_CASE("a frame destroyed with children open ends them while its MDI client still lists them")
{
    MdiFixture f;
    for (int i = 0; i < 3; ++i)
        REQUIRE(f.AddChild() != nullptr);
    SendMessageW(f.frame.MdiClient(), WM_MDIMAXIMIZE,
                 SendMessageW(f.frame.MdiClient(), WM_MDIGETACTIVE, 0, 0), 0);
    kivtest::PumpPending();
    REQUIRE(g_liveChildren == 3);
    g_clientLog = &f.frame.log;
    g_clientProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        f.frame.MdiClient(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ClientRecorder)));
    f.frame.log.clear();
    g_accessViolations = 0;
    void* counter = AddVectoredExceptionHandler(1, &CountAccessViolation);
    DestroyWindow(f.frame.Handle());
    RemoveVectoredExceptionHandler(counter);
    g_clientLog = nullptr;
    CHECK(g_liveChildren == 0);
    CHECK(g_accessViolations == 0);
    // Every child is gone before the client frees its list of them.
    const std::vector<std::string> expected = {"child destroyed", "child destroyed", "child destroyed",
                                               "client destroyed"};
    CHECK(f.frame.log == expected);
}
