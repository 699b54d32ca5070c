// The preview programs started as the builder starts them: a separate
// process with the skin file as its one argument, driven from outside.
#include <doctest.h>
#include "CKivGraphics.h"
#include "CKivClientDC.h"
#include "CKivCompatibleDC.h"
#include "CKivGdiObject.h"
#include "CKivSelectObject.h"
#include "KivCommandIds.h"
#include "KivSkinSwitchIds.h"
#include "KivDebuggedProcess.h"
#include "KivSkinTestImages.h"
#include "KivTestProcess.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using Pixels = std::vector<DWORD>;

class Program
{
public:
    Program(const wchar_t* exe, const std::wstring& argument)
        : m_process(L"\"" + kivtest::BinaryDir() + L"\\" + exe + L"\"" +
                        (argument.empty() ? std::wstring() : L" \"" + argument + L"\""),
                    nullptr)
    {
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_process.Started(); }
    HWND Find(const wchar_t* className, const wchar_t* title) const
    {
        return kivtest::FindProcessWindow(m_process.Id(), className, title);
    }
    HWND WaitFor(const wchar_t* className, const wchar_t* title) const
    {
        HWND found = nullptr;
        kivtest::PumpUntil([&] { return (found = Find(className, title)) != nullptr; }, 20000);
        return found;
    }
    // The exit code once the program ended by itself, or -1.
    long ExitCode(DWORD timeoutMs = 10000) const { return m_process.ExitCode(timeoutMs); }

private:
    kivtest::TestProcess m_process;
};

std::wstring ItemText(HWND parent, int id)
{
    wchar_t text[256] = {};
    SendMessageW(GetDlgItem(parent, id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

LRESULT Send(HWND parent, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendMessageW(GetDlgItem(parent, id), message, wParam, lParam);
}

// Everything posted before has been handled and the windows are painted.
// Focus rectangles and underlined access keys come and go with keyboard use;
// they are hidden so that two runs can be compared pixel by pixel.
void Settle(HWND window)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0,
                        SMTO_BLOCK, 5000, &ignored);
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
}

Pixels Capture(const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    Pixels pixels;
    if (width <= 0 || height <= 0)
        return pixels;
    BITMAPINFO info = CKivGraphics::TopDown32(width, height);
    void* bits = nullptr;
    CKivClientDC screen(nullptr);
    CKivBitmap bitmap(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return pixels;
    {
        CKivCompatibleDC memory(screen);
        CKivSelectObject select(memory, bitmap.Get());
        BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    }
    GdiFlush();
    const DWORD* first = static_cast<const DWORD*>(bits);
    pixels.assign(first, first + width * height);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// Another process paints when its queue runs empty: take the picture once it
// has stayed the same for 150 ms.
Pixels CaptureSettled(const RECT& area)
{
    Pixels last = Capture(area);
    ULONGLONG since = GetTickCount64();
    kivtest::PumpUntil([&] {
        Pixels now = Capture(area);
        if (now != last)
        {
            last = std::move(now);
            since = GetTickCount64();
        }
        return GetTickCount64() - since >= 150;
    });
    return last;
}

RECT ClientOnScreen(HWND window)
{
    RECT rect;
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// True when the window's frame has exactly the system's size for its style.
bool HasSystemFrame(HWND window)
{
    RECT outer;
    GetWindowRect(window, &outer);
    const RECT inner = ClientOnScreen(window);
    RECT expected = {0, 0, 100, 100};
    AdjustWindowRectEx(&expected, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), GetMenu(window) != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    return inner.left - outer.left == -expected.left && inner.top - outer.top == -expected.top &&
           outer.right - inner.right == expected.right - 100 && outer.bottom - inner.bottom == expected.bottom - 100;
}

// The shipped default skin when the build made it, else a small valid one.
class SkinFile
{
public:
    SkinFile()
    {
        const std::wstring built = kivtest::BinaryDir() + L"\\default.kiv";
        if (GetFileAttributesW(built.c_str()) != INVALID_FILE_ATTRIBUTES)
        {
            m_path = built;
            return;
        }
        m_dir = std::make_unique<kivtest::TempDir>();
        m_path = m_dir->File(L"preview.kiv");
        const auto xml = kivtest::SettingsXml("<WindowEdge><CaptionBar><Height value=\"36\"/></CaptionBar></WindowEdge>");
        kivtest::WriteFileBytes(m_path, kivtest::MakeSkinFile(xml, kivtest::MakeBmp32(16, 16)));
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::unique_ptr<kivtest::TempDir> m_dir;
    std::wstring m_path;
};

HWND VisiblePage(HWND tab)
{
    HWND shown = nullptr;
    int visible = 0;
    for (HWND child = GetWindow(tab, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
        if (IsWindowVisible(child))
        {
            shown = child;
            ++visible;
        }
    }
    return visible == 1 ? shown : nullptr;
}

// Selects the next tab with the keyboard, as a person would, and returns the page shown.
HWND NextPage(HWND tab, int expected)
{
    PostMessageW(tab, WM_KEYDOWN, VK_RIGHT, 0);
    kivtest::PumpUntil([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == expected; });
    Settle(GetParent(tab));
    return VisiblePage(tab);
}

struct Look
{
    Pixels button;       // Button2 on the first page
    Pixels caption;      // the main dialog's caption bar
    Pixels messageBox;   // the client area of the "标题" message box
    bool messageBoxSystemFrame = false;
    bool dialogSystemFrame = false;
    bool highlighted = false;  // "禁用Check1" in the pushed state
    std::wstring notice;       // what the program said before its dialog, if anything
};

Look LookOfDialogProgram(const std::wstring& argument)
{
    Look look;
    Program program(L"KivPreview.exe", argument);
    REQUIRE(program.Started());
    if (!argument.empty() && GetFileAttributesW(argument.c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        // A skin that cannot be loaded is reported before the dialog shows.
        HWND notice = program.WaitFor(L"#32770", L"警告");
        REQUIRE(notice);
        look.notice = ItemText(notice, 0xFFFF);
        PostMessageW(notice, WM_COMMAND, IDOK, 0);
    }
    HWND dialog = program.WaitFor(L"#32770", L"KivPreview");
    REQUIRE(dialog);
    // Every look is taken of the dialog in the background: whether it came up
    // active depends on what was shown before it (a notice, say).
    HWND front = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"front", WS_POPUP | WS_VISIBLE, 1010, 750, 8, 8,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CHECK(kivtest::PumpUntil([&] {
        SetForegroundWindow(front);
        return GetForegroundWindow() == front;
    }));
    HWND tab = GetDlgItem(dialog, 1000);
    HWND page = VisiblePage(tab);
    REQUIRE(page);
    Settle(dialog);
    RECT rect;
    GetWindowRect(GetDlgItem(page, 1004), &rect);
    look.button = CaptureSettled(rect);
    GetWindowRect(dialog, &rect);
    const RECT client = ClientOnScreen(dialog);
    rect.bottom = client.top;
    look.caption = CaptureSettled(rect);
    look.dialogSystemFrame = HasSystemFrame(dialog);
    look.highlighted = (Send(page, 1007, BM_GETSTATE) & BST_PUSHED) != 0;

    PostMessageW(GetDlgItem(page, 1004), BM_CLICK, 0, 0);
    HWND box = program.WaitFor(L"#32770", L"标题");
    REQUIRE(box);
    Settle(box);
    look.messageBox = CaptureSettled(ClientOnScreen(box));
    look.messageBoxSystemFrame = HasSystemFrame(box);
    CHECK(ItemText(box, 0xFFFF) == L"OnBnClieckedButton2");
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    CHECK(kivtest::PumpUntil([&] { return !IsWindow(box); }));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    CHECK(program.ExitCode() == 0);
    DestroyWindow(front);
    return look;
}

}  // namespace

TEST_CASE("KivPreview shows five pages that fill and answer as the samples should")
{
    SkinFile skin;
    Program program(L"KivPreview.exe", skin.Path());
    REQUIRE(program.Started());
    HWND dialog = program.WaitFor(L"#32770", L"KivPreview");
    REQUIRE(dialog);
    HWND tab = GetDlgItem(dialog, 1000);
    REQUIRE(tab);
    CHECK(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0) == 5);
    wchar_t className[64] = {};
    GetClassNameW(GetDlgItem(dialog, 1034), className, 64);
    CHECK(std::wstring(className) == TRACKBAR_CLASSW);
    const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    CHECK((style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    HWND page = VisiblePage(tab);
    REQUIRE(page);
    SUBCASE("page 1: buttons")
    {
        CHECK(Send(page, 1008, BM_GETCHECK) == BST_CHECKED);
        CHECK(Send(page, 1009, BM_GETCHECK) == BST_CHECKED);
        CHECK(Send(page, 1010, BM_GETCHECK) == BST_CHECKED);
        CHECK_FALSE(IsWindowEnabled(GetDlgItem(page, 1005)));
        CHECK((GetWindowLongPtrW(GetDlgItem(page, 1004), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON);

        Send(page, 1001, BM_CLICK);
        CHECK(ItemText(page, 1001) == L"启用Button2");
        CHECK_FALSE(IsWindowEnabled(GetDlgItem(page, 1004)));
        Send(page, 1001, BM_CLICK);
        CHECK(ItemText(page, 1001) == L"禁用Button2");
        CHECK(IsWindowEnabled(GetDlgItem(page, 1004)));

        Send(page, 1039, BM_CLICK);
        CHECK_FALSE(IsWindowEnabled(GetDlgItem(page, 1009)));
        Send(page, 1003, BM_CLICK);
        CHECK(IsWindowEnabled(GetDlgItem(page, 1009)));

        Send(page, 1007, BM_CLICK);
        CHECK(Send(page, 1007, BM_GETCHECK) == BST_CHECKED);
        CHECK_FALSE(IsWindowEnabled(GetDlgItem(page, 1002)));
        Send(page, 1007, BM_CLICK);
        CHECK(IsWindowEnabled(GetDlgItem(page, 1002)));
    }
    SUBCASE("pages 2 to 5, reached with the keyboard")
    {
        page = NextPage(tab, 1);
        REQUIRE(page);
        CHECK(ItemText(page, 1021) == L"文本");
        CHECK(ItemText(page, 1022) == L"TEXT\r\n文本\r\n1234567890\r\nabcdefg123456ABC\r\n");
        CHECK(ItemText(page, 1023) == L"1234567890");
        CHECK(ItemText(page, 1025) == L"abcdefg123456ABC");
        CHECK((GetWindowLongPtrW(GetDlgItem(page, 1023), GWL_STYLE) & ES_NUMBER) != 0);
        CHECK((GetWindowLongPtrW(GetDlgItem(page, 1024), GWL_STYLE) & ES_PASSWORD) != 0);
        CHECK((GetWindowLongPtrW(GetDlgItem(page, 1025), GWL_STYLE) & ES_READONLY) != 0);

        page = NextPage(tab, 2);
        REQUIRE(page);
        CHECK(Send(page, 1027, LB_GETCOUNT) == 13);
        CHECK(Send(page, 1030, LB_GETCOUNT) == 13);
        CHECK(Send(page, 1031, LB_GETCOUNT) == 5);
        CHECK(Send(page, 1029, CB_GETCOUNT) == 7);
        CHECK(Send(page, 1032, CB_GETCOUNT) == 3);
        CHECK(Send(page, 1028, CB_GETCOUNT) == 19);
        CHECK(Send(page, 1028, CB_GETCURSEL) == 3);
        CHECK(ItemText(page, 1028) == L"String12");  // sorted: String1, String10, String11, String12
        CHECK(Send(page, 1026, CB_GETCOUNT) == 100);
        CHECK(ItemText(page, 1026) == L"combobox");

        page = NextPage(tab, 3);
        REQUIRE(page);
        Send(page, 1001, BM_CLICK);
        CHECK(ItemText(page, 1021) == L"pos=60 min=10 max=100");
        Send(page, 1004, BM_CLICK);
        CHECK(ItemText(page, 1021) == L"pos=4 min=1 max=10");
        HWND horizontal = GetDlgItem(page, 1032);
        SendMessageW(page, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 300), reinterpret_cast<LPARAM>(horizontal));
        CHECK(ItemText(page, 1021) == L"min=0, max=1000, page=250, pos=300");
        CHECK(SendMessageW(horizontal, SBM_GETPOS, 0, 0) == 0);
        SendMessageW(page, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), reinterpret_cast<LPARAM>(GetDlgItem(page, 1033)));
        CHECK(ItemText(page, 1021) == L"min=50, max=600, page=250, pos=0");

        page = NextPage(tab, 4);
        REQUIRE(page);
        CHECK(Send(page, 1027, LVM_GETITEMCOUNT) == 8);
        HWND header = reinterpret_cast<HWND>(Send(page, 1027, LVM_GETHEADER));
        CHECK(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) == 4);
        CHECK(Send(page, 1030, LVM_GETITEMCOUNT) == 23);
        CHECK(Send(page, 1038, TVM_GETCOUNT) == 2 + 5 + 5 + 8 + 12);
        CHECK((GetWindowLongPtrW(GetDlgItem(page, 1038), GWL_STYLE) & TVS_CHECKBOXES) != 0);

        // Going back shows the fourth page again and nothing else.
        PostMessageW(tab, WM_KEYDOWN, VK_LEFT, 0);
        CHECK(kivtest::PumpUntil([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == 3; }));
        Settle(dialog);
        page = VisiblePage(tab);
        REQUIRE(page);
        CHECK(GetDlgItem(page, 1035) != nullptr);
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    CHECK(program.ExitCode() == 0);
}

struct Looks
{
    Look plain;    // started without an argument
    Look skinned;  // started with a skin
    Look broken;   // started with a skin file that does not exist
};

// Each run starts the program, so the three are made once for all cases below.
const Looks& TheLooks()
{
    static SkinFile skin;
    static const Looks looks = {LookOfDialogProgram(L""), LookOfDialogProgram(skin.Path()),
                                LookOfDialogProgram(L"Z:\\no\\such\\skin.kiv")};
    return looks;
}

TEST_CASE("with a skin the controls change; without one, or with a bad one, nothing does")
{
    const Looks& looks = TheLooks();
    REQUIRE_FALSE(looks.plain.button.empty());
    // The hook is in place: the push button is drawn from the skin.
    CHECK(looks.skinned.button != looks.plain.button);
    // A skin that cannot be loaded is reported, and leaves the program as it is without one.
    CHECK(looks.broken.notice.find(L"无法加载皮肤文件：\r\nZ:\\no\\such\\skin.kiv\r\n") == 0);
    CHECK(looks.broken.notice.find(L"does not exist") != std::wstring::npos);
    CHECK(looks.plain.notice.empty());
    CHECK(looks.skinned.notice.empty());
    CHECK(looks.broken.button == looks.plain.button);
    CHECK(looks.broken.caption == looks.plain.caption);
    CHECK(looks.broken.messageBox == looks.plain.messageBox);
    CHECK(looks.plain.highlighted);

    CHECK(looks.plain.messageBoxSystemFrame);
    CHECK(looks.plain.dialogSystemFrame);
    // The frame of the main dialog is the frame skin's work; tell when it is not there.
    WARN_MESSAGE(looks.skinned.caption != looks.plain.caption,
                 "the main dialog's caption is not skinned (no frame skin yet)");
}

// Wine's MessageBox creates the box without a caption and sets "标题" only
// after its buttons exist; the box and its buttons must still end up unskinned.
TEST_CASE("under the skin the message box and the pushed check box look as without it")
{
    const Looks& looks = TheLooks();
    CHECK(looks.skinned.messageBoxSystemFrame);
    CHECK(looks.skinned.messageBox == looks.plain.messageBox);
    CHECK(looks.skinned.highlighted);
}

TEST_CASE("KivPreviewMDI opens the skin file as its document and adds windows on command")
{
    SkinFile skin;
    Program program(L"KivPreviewMDI.exe", skin.Path());
    REQUIRE(program.Started());
    HWND frame = program.WaitFor(L"KivPreviewMDIFrame", nullptr);
    REQUIRE(frame);
    HWND client = FindWindowExW(frame, nullptr, L"MDICLIENT", nullptr);
    REQUIRE(client);
    CHECK(FindWindowExW(frame, nullptr, TOOLBARCLASSNAMEW, nullptr) != nullptr);
    CHECK(FindWindowExW(frame, nullptr, STATUSCLASSNAMEW, nullptr) != nullptr);
    // The framework opens the command-line argument as a document, titled by its file name.
    const std::wstring& path = skin.Path();
    const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    CHECK(FindWindowExW(client, nullptr, nullptr, name.c_str()) != nullptr);

    auto children = [&] {
        int count = 0;
        for (HWND child = GetWindow(client, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            count += GetWindow(child, GW_OWNER) == nullptr ? 1 : 0;
        return count;
    };
    CHECK(children() == 1);
    // Commands nobody handles are greyed on the toolbar; the document's own are not.
    HWND toolBar = FindWindowExW(frame, nullptr, TOOLBARCLASSNAMEW, nullptr);
    CHECK(SendMessageW(toolBar, TB_ISBUTTONENABLED, ID_EDIT_CUT, 0) == 0);
    CHECK(SendMessageW(toolBar, TB_ISBUTTONENABLED, ID_FILE_SAVE, 0) != 0);
    CHECK(SendMessageW(toolBar, TB_ISBUTTONENABLED, ID_FILE_NEW, 0) != 0);
    PostMessageW(frame, WM_COMMAND, ID_FILE_NEW, 0);
    CHECK(kivtest::PumpUntil([&] { return children() == 2; }));
    PostMessageW(frame, WM_COMMAND, ID_FILE_CLOSE, 0);
    CHECK(kivtest::PumpUntil([&] { return children() == 1; }));
    // View > Status Bar hides the bar.
    HWND status = FindWindowExW(frame, nullptr, STATUSCLASSNAMEW, nullptr);
    PostMessageW(frame, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    CHECK(kivtest::PumpUntil([&] { return !IsWindowVisible(status); }));

    PostMessageW(frame, WM_CLOSE, 0, 0);
    CHECK(program.ExitCode() == 0);
}

TEST_CASE("KivPreviewMDI ends without an access violation, with and without a skin")
{
    const std::wstring program = L"\"" + kivtest::BinaryDir() + L"\\KivPreviewMDI.exe\"";
    const std::wstring skin = kivtest::BinaryDir() + L"\\default.kiv";
    for (const std::wstring& line : {program, program + L" \"" + skin + L"\""})
    {
        CAPTURE(std::string(line.begin(), line.end()));
        kivtest::DebuggedProcess run(line);
        REQUIRE(run.Started());
        HWND frame = nullptr;
        REQUIRE(run.RunUntil([&] { return (frame = kivtest::FindProcessWindow(run.Id(), L"KivPreviewMDIFrame")); },
                             20000));
        HWND client = FindWindowExW(frame, nullptr, L"MDICLIENT", nullptr);
        REQUIRE(client);
        // A second document, maximised: the frame then also carries the child's menu and buttons.
        PostMessageW(frame, WM_COMMAND, ID_FILE_NEW, 0);
        CHECK(run.RunUntil([&] { return GetWindow(GetWindow(client, GW_CHILD), GW_HWNDNEXT) != nullptr; }, 10000));
        PostMessageW(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(GetWindow(client, GW_CHILD)), 0);
        run.RunUntil([] { return false; }, 300);
        PostMessageW(frame, WM_CLOSE, 0, 0);
        CHECK(run.RunUntil([&] { return run.Ended(); }, 20000));
        CHECK(run.ExitCode() == 0);
        INFO("first at " << run.FirstViolationAddress());
        CHECK(run.AccessViolations() == 0);
    }
}

namespace {

// Ctrl+K, or Ctrl+Shift+K, through the input queue to the foreground window.
void SendSkinKeys(bool shift)
{
    std::vector<INPUT> keys;
    auto key = [&](WORD code, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        keys.push_back(input);
    };
    key(VK_CONTROL, false);
    if (shift)
        key(VK_SHIFT, false);
    key('K', false);
    key('K', true);
    if (shift)
        key(VK_SHIFT, true);
    key(VK_CONTROL, true);
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

// A capture that differs from the one before, once the other process has painted.
Pixels CaptureChanged(const RECT& area, const Pixels& before)
{
    Pixels now;
    kivtest::PumpUntil([&] { return (now = CaptureSettled(area)) != before; }, 10000);
    return now;
}

}  // namespace

TEST_CASE("the preview programs switch skins on their open windows by menu command and by keys")
{
    const std::wstring defaultSkin = kivtest::BinaryDir() + L"\\default.kiv";
    REQUIRE(GetFileAttributesW((kivtest::BinaryDir() + L"\\dark.kiv").c_str()) != INVALID_FILE_ATTRIBUTES);
    SUBCASE("KivPreview: the system menu's command, then Ctrl+K")
    {
        Program program(L"KivPreview.exe", defaultSkin);
        REQUIRE(program.Started());
        HWND dialog = program.WaitFor(L"#32770", L"KivPreview");
        REQUIRE(dialog);
        HWND page = VisiblePage(GetDlgItem(dialog, 1000));
        REQUIRE(page);
        HWND button = GetDlgItem(page, 1004);
        CHECK(kivtest::PumpUntil([&] {
            SetForegroundWindow(dialog);
            return GetForegroundWindow() == dialog;
        }));
        Settle(dialog);
        RECT area;
        GetWindowRect(button, &area);
        const Pixels light = CaptureSettled(area);

        PostMessageW(dialog, WM_SYSCOMMAND, ID_SKIN_NEXT, 0);
        const Pixels dark = CaptureChanged(area, light);
        CHECK(dark != light);
        SendSkinKeys(false);
        const Pixels back = CaptureChanged(area, dark);
        CHECK(back == light);
        // The same windows throughout.
        CHECK(GetDlgItem(page, 1004) == button);
        CHECK(VisiblePage(GetDlgItem(dialog, 1000)) == page);

        // Ctrl+Shift+K asks for a skin file; cancelled, the skin stays.
        SendSkinKeys(true);
        HWND open = program.WaitFor(L"#32770", L"Open");
        REQUIRE(open);
        PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
        CHECK(kivtest::PumpUntil([&] { return !IsWindow(open); }));
        CHECK(CaptureSettled(area) == light);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        CHECK(program.ExitCode() == 0);
    }
    SUBCASE("KivPreviewMDI: View > Next Skin")
    {
        Program program(L"KivPreviewMDI.exe", defaultSkin);
        REQUIRE(program.Started());
        HWND frame = program.WaitFor(L"KivPreviewMDIFrame", nullptr);
        REQUIRE(frame);
        RECT area;
        GetWindowRect(frame, &area);
        area.bottom = ClientOnScreen(frame).top;
        const Pixels light = CaptureSettled(area);
        PostMessageW(frame, WM_COMMAND, ID_SKIN_NEXT, 0);
        const Pixels dark = CaptureChanged(area, light);
        CHECK(dark != light);
        PostMessageW(frame, WM_COMMAND, ID_SKIN_NEXT, 0);
        CHECK(CaptureChanged(area, dark) == light);
        PostMessageW(frame, WM_CLOSE, 0, 0);
        CHECK(program.ExitCode() == 0);
    }
}
