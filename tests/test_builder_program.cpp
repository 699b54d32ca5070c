// KivBuilder.exe driven from outside, as a designer would: single instance,
// the dialog keys, New/Open/Save/Save As/Close, Build and Preview. Each case
// runs its own copy of the program folder, with a stand-in preview program
// that records how it was started.
#include <doctest.h>
#include "CKivFileBuilder.h"
#include "CKivScreenShot.h"
#include "CKivSkinStore.h"
#include "CKivSkinValidator.h"
#include "KivBuilderRes.h"
#include "KivTestInput.h"
#include "KivTestProcess.h"
#include "KivTestSupport.h"
#include <shlwapi.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

const DWORD kWait = 30000;

bool CopyInto(const std::wstring& from, const std::wstring& to)
{
    CreateDirectoryW(to.substr(0, to.find_last_of(L'\\')).c_str(), nullptr);
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

std::set<std::wstring> Listing(const std::wstring& folder)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// A copy of the builder's folder: the program, its configuration, skin, clip,
// plug-in and documents, and the stand-in as KivPreview.exe. The example
// default skin is copied as the project to work on.
class Setup
{
public:
    Setup()
    {
        const std::wstring bin = kivtest::BinaryDir();
        m_app = m_dir.File(L"app");
        m_project = m_dir.File(L"project");
        CreateDirectoryW(m_app.c_str(), nullptr);
        CreateDirectoryW(m_project.c_str(), nullptr);
        m_ready = CopyInto(bin + L"\\KivBuilder.exe", m_app + L"\\KivBuilder.exe") &&
                  CopyInto(bin + L"\\config\\KivConfig.xml", m_app + L"\\config\\KivConfig.xml") &&
                  CopyInto(bin + L"\\skin\\black.kiv", m_app + L"\\skin\\black.kiv") &&
                  CopyInto(bin + L"\\media\\Wait.avi", m_app + L"\\media\\Wait.avi") &&
                  CopyInto(bin + L"\\func\\pack.dll", m_app + L"\\func\\pack.dll") &&
                  CopyInto(bin + L"\\builder_standin.exe", m_app + L"\\KivPreview.exe");
        for (const std::wstring& name : Listing(bin + L"\\example\\default"))
            if (name != L"." && name != L".." && name != L"default.kiv")
                m_ready = m_ready && CopyInto(bin + L"\\example\\default\\" + name, m_project + L"\\" + name);
        for (const std::wstring& name : Listing(bin + L"\\template"))
            if (name != L"." && name != L"..")
                m_ready = m_ready && CopyInto(bin + L"\\template\\" + name, m_app + L"\\template\\" + name);
    }
    bool Ready() const { return m_ready; }
    const std::wstring& App() const { return m_app; }
    const std::wstring& ProjectDir() const { return m_project; }
    std::wstring ProjectFile() const { return m_project + L"\\default.kivproj"; }
    std::wstring SkinFile() const { return m_project + L"\\default.kiv"; }
    std::wstring Folder(const wchar_t* name) const { return m_dir.File(name); }

private:
    kivtest::TempDir m_dir;
    std::wstring m_app;
    std::wstring m_project;
    bool m_ready = false;
};

class Builder
{
public:
    // The folder the builder starts in is not its own: nothing may depend on it.
    Builder(const Setup& setup, const std::wstring& argument)
        : m_process(L"\"" + setup.App() + L"\\KivBuilder.exe\"" +
                        (argument.empty() ? std::wstring() : L" \"" + argument + L"\""),
                    setup.ProjectDir().c_str())
    {
    }
    Builder(const Builder&) = delete;
    Builder& operator=(const Builder&) = delete;

    bool Started() const { return m_process.Started(); }
    long ExitCode(DWORD timeoutMs = kWait) const { return m_process.ExitCode(timeoutMs); }

    // A visible top-level dialog of the process with that title (any when null),
    // other than except.
    HWND FindDialog(const wchar_t* title, HWND except = nullptr) const
    {
        return kivtest::FindProcessWindowIf(m_process.Id(), [&](HWND window) {
            return window != except && kivtest::WindowClass(window) == L"#32770" &&
                   (title == nullptr || kivtest::WindowTitle(window) == title);
        });
    }
    HWND WaitDialog(const wchar_t* title, HWND except = nullptr) const
    {
        HWND found = nullptr;
        kivtest::PumpUntil([&] { return (found = FindDialog(title, except)) != nullptr; }, kWait);
        return found;
    }
    HWND Main()
    {
        if (!m_main)
            kivtest::PumpUntil([&] { return (m_main = FindMain()) != nullptr; }, kWait);
        return m_main;
    }
    std::wstring Title()
    {
        wchar_t text[256] = {};
        GetWindowTextW(Main(), text, 256);
        return text;
    }
    bool WaitTitle(const std::wstring& title)
    {
        return kivtest::PumpUntil([&] { return Title() == title; }, kWait);
    }
    void Command(UINT id) { PostMessageW(Main(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    // Everything posted to the builder before has been handled.
    bool Settle()
    {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(Main(), WM_NULL, 0, 0, SMTO_BLOCK, kWait, &ignored) != 0;
    }

    // A message box with that caption: its text, then the button pressed.
    std::wstring Answer(const wchar_t* caption, UINT button)
    {
        HWND box = WaitDialog(caption, Main());
        if (box == nullptr)
            return L"<no message box>";
        wchar_t text[4096] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 4096);
        PostMessageW(box, WM_COMMAND, button, 0);
        kivtest::PumpUntil([&] { return !IsWindow(box); }, kWait);
        return text;
    }
    // Fills the file dialog that is showing with path and confirms it.
    bool ChooseFile(const std::wstring& path)
    {
        HWND dialog = nullptr;
        kivtest::PumpUntil([&] {
            dialog = FindDialog(nullptr, Main());
            return dialog && (GetDlgItem(dialog, 1148) || GetDlgItem(dialog, 1152));
        }, kWait);
        if (dialog == nullptr)
            return false;
        if (!SetDlgItemTextW(dialog, GetDlgItem(dialog, 1148) ? 1148 : 1152, path.c_str()))
            return false;
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return kivtest::PumpUntil([&] { return !IsWindow(dialog); }, kWait);
    }

private:
    HWND FindMain() const
    {
        // The main dialog is the process's visible window with a menu.
        return kivtest::FindProcessWindowIf(m_process.Id(), [](HWND window) { return GetMenu(window) != nullptr; });
    }

    kivtest::TestProcess m_process;
    HWND m_main = nullptr;
};

std::wstring ReadText(const std::wstring& path)
{
    const std::vector<unsigned char> bytes = kivtest::ReadFileBytes(path);
    std::wstring text(bytes.size() / 2, L'\0');
    if (!text.empty())
        memcpy(&text[0], bytes.data(), text.size() * 2);
    return text;
}

}  // namespace

namespace {

}  // namespace

TEST_CASE("the splash shows with the library's glow around it, and the glow ends with it")
{
    Setup setup;
    Builder builder(setup, L"");
    REQUIRE(builder.Started());
    HWND splash = nullptr;
    HWND glow = nullptr;
    RECT splashRect = {};
    RECT glowRect = {};
    // The splash is the process's first dialog, shown before the main window.
    const bool seen = kivtest::PumpUntil([&] {
        splash = builder.FindDialog(nullptr);
        if (splash == nullptr || GetMenu(splash) != nullptr)
            return false;
        DWORD process = 0;
        GetWindowThreadProcessId(splash, &process);
        glow = kivtest::FindProcessWindowIf(
            process, [](HWND window) { return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; });
        return glow != nullptr && GetWindowRect(splash, &splashRect) && GetWindowRect(glow, &glowRect) &&
               glowRect.left == splashRect.left - 9 && glowRect.top == splashRect.top - 9;
    }, kWait);
    REQUIRE(seen);
    CHECK(glowRect.right == splashRect.right + 8);
    CHECK(glowRect.bottom == splashRect.bottom + 8);
    CHECK(builder.Main() != nullptr);
    CHECK(kivtest::PumpUntil([&] { return !IsWindow(glow); }, kWait));
    builder.Command(ID_BUILDER_EXIT);
    CHECK(builder.ExitCode() == 0);
}

TEST_CASE("a second instance activates the first; Enter and Escape leave the dialog open; Exit closes")
{
    Setup setup;
    REQUIRE(setup.Ready());
    Builder first(setup, setup.ProjectFile());
    REQUIRE(first.Started());
    REQUIRE(first.Main() != nullptr);
    CHECK(first.WaitTitle(L"default - KivBuilder"));

    // Enter and Escape through the dialog manager, and their commands sent directly.
    PostMessageW(first.Main(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(first.Main(), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(first.Main(), WM_COMMAND, IDOK, 0);
    PostMessageW(first.Main(), WM_COMMAND, IDCANCEL, 0);
    REQUIRE(first.Settle());
    CHECK(IsWindow(first.Main()));
    CHECK(IsWindowVisible(first.Main()));
    CHECK(first.ExitCode(0) == -1);

    // Another window in front, then the second start.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(other);
    kivtest::PumpPending();
    {
        Builder second(setup, std::wstring());
        REQUIRE(second.Started());
        CHECK(second.ExitCode() == 0);
    }
    CHECK(kivtest::PumpUntil([&] { return GetForegroundWindow() == first.Main(); }, kWait));
    DestroyWindow(other);

    first.Command(ID_BUILDER_EXIT);
    CHECK(first.ExitCode() == 0);
}

TEST_CASE("New, Open, Save, Save As and Close with their messages")
{
    Setup setup;
    REQUIRE(setup.Ready());
    Builder builder(setup, std::wstring());
    REQUIRE(builder.Main() != nullptr);
    CHECK(builder.WaitTitle(L"KivBuilder"));
    const std::wstring folder = setup.Folder(L"new");
    CreateDirectoryW(folder.c_str(), nullptr);

    // Save without a project.
    builder.Command(ID_BUILDER_SAVE);
    CHECK(builder.Answer(L"KivBuilder", IDOK) == L"保存失败。");

    // New with a fresh name creates exactly name.kivproj.
    builder.Command(ID_BUILDER_NEW);
    REQUIRE(builder.ChooseFile(folder + L"\\fresh"));
    CHECK(builder.WaitTitle(L"fresh - KivBuilder"));
    CHECK(Exists(folder + L"\\fresh.kivproj"));

    // The same name again, and a name whose file would be the same.
    builder.Command(ID_BUILDER_NEW);
    REQUIRE(builder.ChooseFile(folder + L"\\fresh.kivproj"));
    CHECK(builder.Answer(L"KivBuilder", IDOK) == L"文件已存在.");
    builder.Command(ID_BUILDER_NEW);
    REQUIRE(builder.ChooseFile(folder + L"\\fresh.skin"));
    CHECK(builder.Answer(L"KivBuilder", IDOK) == L"文件已存在.");
    CHECK(builder.Title() == L"fresh - KivBuilder");
    // The new project and the folder of the template's pictures it copied.
    CHECK(Listing(folder) == std::set<std::wstring>({L".", L"..", L"fresh", L"fresh.kivproj"}));

    // Open the example project, save it anew and under another name.
    builder.Command(ID_BUILDER_OPEN);
    REQUIRE(builder.ChooseFile(setup.ProjectFile()));
    CHECK(builder.WaitTitle(L"default - KivBuilder"));
    REQUIRE(DeleteFileW(setup.ProjectFile().c_str()));
    builder.Command(ID_BUILDER_SAVE);
    CHECK(kivtest::PumpUntil([&] { return Exists(setup.ProjectFile()); }, kWait));

    builder.Command(ID_BUILDER_SAVE_AS);
    REQUIRE(builder.ChooseFile(folder + L"\\copy"));
    CHECK(builder.WaitTitle(L"copy - KivBuilder"));
    REQUIRE(Exists(folder + L"\\copy.kivproj"));
    {
        // Pictures named relative to the old folder now name the same files absolutely.
        CKivFileBuilder copy;
        REQUIRE(copy.OpenProject((folder + L"\\copy.kivproj").c_str()));
        const KivProjectItem* picture = copy.FindItem(L"SystemControl\\Button\\NormalBmp");
        REQUIRE(picture != nullptr);
        INFO(Narrow(picture->value) << " vs " << Narrow(setup.ProjectDir()));
        CHECK(picture->value == setup.ProjectDir() + L"\\button_normal.bmp");
        CHECK(copy.Items().size() == 146);
    }

    // Close returns to the start page; Save then fails again.
    builder.Command(ID_BUILDER_CLOSE);
    CHECK(builder.WaitTitle(L"KivBuilder"));
    builder.Command(ID_BUILDER_SAVE);
    CHECK(builder.Answer(L"KivBuilder", IDOK) == L"保存失败。");

    // The copy builds from another folder: its pictures still name the originals.
    builder.Command(ID_BUILDER_OPEN);
    REQUIRE(builder.ChooseFile(folder + L"\\copy.kivproj"));
    CHECK(builder.WaitTitle(L"copy - KivBuilder"));
    builder.Command(ID_BUILDER_BUILD);
    CHECK(builder.Answer(L"生成.KIV文件", IDYES) == L"生成到以下位置：\r\n" + folder + L"\\copy.kiv");
    CHECK(kivtest::PumpUntil([&] { return Exists(folder + L"\\copy.kiv") || builder.FindDialog(L"错误"); }, kWait));
    CHECK(builder.FindDialog(L"错误") == nullptr);
    CHECK(Exists(folder + L"\\copy.kiv"));
    CHECK(builder.Answer(L"提示", IDOK) == L"生成成功：\r\n" + folder + L"\\copy.kiv");

    builder.Command(ID_BUILDER_EXIT);
    CHECK(builder.ExitCode() == 0);
}

TEST_CASE("Build makes a skin the library loads; a deleted picture fails with error 1 and changes nothing")
{
    Setup setup;
    REQUIRE(setup.Ready());
    Builder builder(setup, setup.ProjectFile());
    CHECK(builder.WaitTitle(L"default - KivBuilder"));
    const std::set<std::wstring> before = Listing(setup.ProjectDir());

    builder.Command(ID_BUILDER_BUILD);
    CHECK(builder.Answer(L"生成.KIV文件", IDYES) == L"生成到以下位置：\r\n" + setup.SkinFile());
    const auto start = std::chrono::steady_clock::now();
    REQUIRE(kivtest::PumpUntil([&] { return Exists(setup.SkinFile()); }, kWait));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    MESSAGE("building the default skin in the builder took " << took.count() << " ms");
    CHECK(builder.Answer(L"提示", IDOK) == L"生成成功：\r\n" + setup.SkinFile());
    REQUIRE(builder.Settle());
    CHECK(CKivSkinStore::LoadSkin(setup.SkinFile().c_str()));
    std::set<std::wstring> expected = before;
    expected.insert(L"default.kiv");
    CHECK(kivtest::PumpUntil([&] { return Listing(setup.ProjectDir()) == expected; }, kWait));

    // The designer's picture goes missing: error 1, the last good skin stays.
    const std::vector<unsigned char> good = kivtest::ReadFileBytes(setup.SkinFile());
    REQUIRE(DeleteFileW((setup.ProjectDir() + L"\\button_normal.bmp").c_str()));
    expected.erase(L"button_normal.bmp");
    // The message names the key and the file, in the words of kivtool check.
    CKivFileBuilder project;
    REQUIRE(project.OpenProject(setup.ProjectFile().c_str()));
    const std::vector<std::wstring> problems = CKivSkinValidator::CheckProject(project);
    REQUIRE(problems.size() == 1);
    CHECK(problems[0].find(L"SystemControl\\Button\\NormalBmp") == 0);
    const std::wstring failure = L"操作失败，错误:1\r\n" + CKivSkinValidator::Describe(setup.ProjectFile(), problems[0]);
    builder.Command(ID_BUILDER_BUILD);
    CHECK(builder.Answer(L"生成.KIV文件", IDYES).find(L"default.kiv") != std::wstring::npos);
    CHECK(builder.Answer(L"错误", IDOK) == failure);
    CHECK(Listing(setup.ProjectDir()) == expected);
    CHECK(kivtest::ReadFileBytes(setup.SkinFile()) == good);

    // A preview after a failed build starts nothing.
    builder.Command(ID_BUILDER_PREVIEW);
    CHECK(builder.Answer(L"错误", IDOK) == failure);
    CHECK_FALSE(Exists(setup.App() + L"\\commandline.txt"));
    builder.Command(ID_BUILDER_EXIT);
    CHECK(builder.ExitCode() == 0);
}

TEST_CASE("Preview starts the preview program from the program folder with the quoted skin path")
{
    Setup setup;
    REQUIRE(setup.Ready());
    Builder builder(setup, setup.ProjectFile());
    CHECK(builder.WaitTitle(L"default - KivBuilder"));

    builder.Command(ID_BUILDER_PREVIEW);
    const std::wstring record = setup.App() + L"\\commandline.txt";
    REQUIRE(kivtest::PumpUntil([&] { return Exists(record) && !ReadText(record).empty(); }, kWait));
    const std::wstring line = ReadText(record);
    INFO(Narrow(line));
    CHECK(line.find(L"KivPreview.exe") != std::wstring::npos);
    const std::wstring quoted = L"\"" + setup.SkinFile() + L"\"";
    REQUIRE(line.size() >= quoted.size());
    CHECK(line.compare(line.size() - quoted.size(), quoted.size(), quoted) == 0);
    CHECK(Exists(setup.SkinFile()));

    // A preview program that is not there is reported.
    builder.Command(ID_BUILDER_PREVIEW_MDI);
    CHECK(builder.Answer(L"错误", IDOK) == L"文件不存在.");
    builder.Command(ID_BUILDER_EXIT);
    CHECK(builder.ExitCode() == 0);
}

TEST_CASE("the packaging plug-in writes a package that builds on its own; a missing plug-in is reported")
{
    Setup setup;
    REQUIRE(setup.Ready());
    Builder builder(setup, setup.ProjectFile());
    CHECK(builder.WaitTitle(L"default - KivBuilder"));

    builder.Command(ID_BUILDER_PACK);
    CHECK(builder.Answer(L"提示", IDOK) == L"已在当前kivproj同一目录下创建成功.");
    const std::wstring package = setup.ProjectDir() + L"\\default_package";
    CHECK(Exists(package + L"\\default.kivproj"));
    CHECK(Exists(package + L"\\button_normal.bmp"));
    REQUIRE(Exists(package + L"\\default.kiv"));
    CHECK(CKivSkinStore::LoadSkin((package + L"\\default.kiv").c_str()));
    CKivFileBuilder packed;
    REQUIRE(packed.OpenProject((package + L"\\default.kivproj").c_str()));
    const KivProjectItem* picture = packed.FindItem(L"SystemControl\\Button\\NormalBmp");
    REQUIRE(picture != nullptr);
    CHECK(picture->value == L"button_normal.bmp");

    // A plug-in lying in the current folder is never loaded: only the program folder counts.
    CreateDirectoryW((setup.ProjectDir() + L"\\func").c_str(), nullptr);
    REQUIRE(MoveFileW((setup.App() + L"\\func\\pack.dll").c_str(), (setup.ProjectDir() + L"\\func\\pack.dll").c_str()));
    builder.Command(ID_BUILDER_PACK);
    CHECK(builder.Answer(L"错误", IDOK) == L"缺少动态链接库或加载失败.");
    builder.Command(ID_BUILDER_EXIT);
    CHECK(builder.ExitCode() == 0);
}

namespace {

HWND ChildOfClass(HWND parent, const wchar_t* className)
{
    return FindWindowExW(parent, nullptr, className, nullptr);
}

// The builder's two panes, once it shows them.
struct Panes
{
    HWND groups;
    HWND list;
};

Panes PanesOf(Builder& builder)
{
    const Panes panes = {ChildOfClass(builder.Main(), L"KivGroupItemBox"),
                         ChildOfClass(builder.Main(), L"KivMultiListCtrl")};
    REQUIRE(panes.groups != nullptr);
    REQUIRE(panes.list != nullptr);
    return panes;
}

// Whether the property list shows a property row at that index (its name
// cell drawn in the row colour), read from the screen.
bool PropertyRowShown(HWND list, int row)
{
    POINT point = {50, 26 + row * 25 + 12};
    ClientToScreen(list, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour == RGB(224, 224, 224);
}

void Click(HWND window, int x, int y)
{
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace

TEST_CASE("an edited value reaches the project: Enter then Save, and Close while editing asks to save it")
{
    Setup setup;
    REQUIRE(setup.Ready());
    Builder builder(setup, setup.ProjectFile());
    REQUIRE(builder.WaitTitle(L"default - KivBuilder"));
    const Panes panes = PanesOf(builder);
    HWND groups = panes.groups;
    HWND list = panes.list;
    const wchar_t* key = L"WindowEdge\\Edge\\EnableSizeCtl";
    std::wstring last;
    auto saved = [&](const wchar_t* value) {
        CKivFileBuilder project;
        const KivProjectItem* item = project.OpenProject(setup.ProjectFile().c_str()) ? project.FindItem(key) : nullptr;
        last = item ? item->value : L"<none>";
        return last == value;
    };
    REQUIRE(saved(L"1"));

    // Shrinking to nothing and minimising leave the panes with sizes of zero or more.
    PostMessageW(builder.Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(4, 4));
    PostMessageW(builder.Main(), WM_SIZE, SIZE_MINIMIZED, 0);
    REQUIRE(builder.Settle());
    RECT pane = {};
    GetWindowRect(list, &pane);
    CHECK(pane.right >= pane.left);
    CHECK(pane.bottom >= pane.top);
    RECT client = {};
    GetClientRect(builder.Main(), &client);
    PostMessageW(builder.Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));

    Click(groups, 50, 26 + 10);            // the window edge group
    Click(groups, 50, 26 + 11 * 25 + 10);  // its element "Edge"
    REQUIRE(kivtest::PumpUntil([&] { return PropertyRowShown(list, 1); }, kWait));
    Click(list, 300, 26 + 1 * 25 + 10);    // EnableSizeCtl, a text row
    HWND edit = nullptr;
    REQUIRE(kivtest::PumpUntil([&] {
        edit = FindWindowExW(list, nullptr, L"Edit", nullptr);
        return edit != nullptr && IsWindowVisible(edit);
    }, kWait));
    SendMessageW(edit, WM_CHAR, L'0', 0);
    wchar_t typed[16] = {};
    SendMessageW(edit, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(typed));
    INFO(Narrow(typed));
    CHECK(std::wstring(typed) == L"0");
    // Save right behind the edit, before its report has travelled. The file
    // is watched by its name only: reading it while it is replaced would
    // make the save fail.
    REQUIRE(DeleteFileW(setup.ProjectFile().c_str()));
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(edit, WM_KEYUP, VK_RETURN, 0);
    builder.Command(ID_BUILDER_SAVE);
    REQUIRE(kivtest::PumpUntil([&] { return Exists(setup.ProjectFile()); }, kWait));
    REQUIRE(builder.Settle());
    CHECK(saved(L"0"));
    INFO(Narrow(last));
    CHECK_FALSE(IsWindowVisible(edit));

    // Typed but not confirmed, then Close: the edit is not lost, the builder asks.
    Click(list, 300, 26 + 1 * 25 + 10);
    REQUIRE(kivtest::PumpUntil([&] { return IsWindowVisible(edit) != FALSE; }, kWait));
    PostMessageW(edit, WM_CHAR, L'1', 0);
    builder.Command(ID_BUILDER_CLOSE);
    REQUIRE(DeleteFileW(setup.ProjectFile().c_str()));
    CHECK(builder.Answer(L"KivBuilder", IDYES) == L"项目已修改，是否保存？");
    CHECK(builder.WaitTitle(L"KivBuilder"));
    REQUIRE(kivtest::PumpUntil([&] { return Exists(setup.ProjectFile()); }, kWait));
    CHECK(saved(L"1"));
    builder.Command(ID_BUILDER_EXIT);
    CHECK(builder.ExitCode() == 0);
}

namespace {

// Asked of the window itself: another process's edit keeps its text to itself.
std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

// The window of the builder's thread that has the keyboard focus.
HWND FocusOf(HWND main)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Waits for the message box that ends a build and answers it: its caption and text.
std::pair<std::wstring, std::wstring> BuildOutcome(Builder& builder)
{
    HWND box = nullptr;
    kivtest::PumpUntil([&] {
        box = builder.FindDialog(L"提示", builder.Main());
        if (box == nullptr)
            box = builder.FindDialog(L"错误", builder.Main());
        return box != nullptr;
    }, kWait);
    if (box == nullptr)
        return {L"<none>", L""};
    const std::wstring caption = WindowText(box);
    return {caption, builder.Answer(caption.c_str(), IDOK)};
}

}  // namespace

TEST_CASE("Save As, then Build: the rows show what was saved and the saved project stays whole")
{
    Setup setup;
    REQUIRE(setup.Ready());
    Builder builder(setup, setup.ProjectFile());
    REQUIRE(builder.WaitTitle(L"default - KivBuilder"));
    const Panes panes = PanesOf(builder);
    HWND groups = panes.groups;
    HWND list = panes.list;
    Click(groups, 50, 26 + 10);       // 窗口边框
    Click(groups, 50, 26 + 25 + 10);  // 标题栏, whose pictures are named relative to the project
    REQUIRE(kivtest::PumpUntil([&] { return PropertyRowShown(list, 10); }, kWait));

    const std::wstring folder = setup.Folder(L"elsewhere");
    REQUIRE(CreateDirectoryW(folder.c_str(), nullptr));
    builder.Command(ID_BUILDER_SAVE_AS);
    REQUIRE(builder.ChooseFile(folder + L"\\moved"));
    REQUIRE(builder.WaitTitle(L"moved - KivBuilder"));
    builder.Command(ID_BUILDER_BUILD);
    CHECK(builder.Answer(L"生成.KIV文件", IDYES) == L"生成到以下位置：\r\n" + folder + L"\\moved.kiv");
    const auto outcome = BuildOutcome(builder);
    INFO(Narrow(outcome.second));
    CHECK(outcome.first == L"提示");
    CHECK(Exists(folder + L"\\moved.kiv"));

    // Every picture of the saved project, those on screen included, names its file.
    CKivFileBuilder saved;
    REQUIRE(saved.OpenProject((folder + L"\\moved.kivproj").c_str()));
    CHECK(CKivSkinValidator::CheckProject(saved).empty());
    REQUIRE(saved.FindItem(L"WindowEdge\\CaptionBar\\ActiveBmp") != nullptr);
    CHECK(saved.FindItem(L"WindowEdge\\CaptionBar\\ActiveBmp")->value == setup.ProjectDir() + L"\\caption_active.bmp");
    CHECK(builder.Title() == L"moved - KivBuilder");
    builder.Command(ID_BUILDER_EXIT);
    CHECK(builder.ExitCode() == 0);
}

TEST_CASE("opening says what is wrong: a project that cannot be read, and one that cannot be built yet")
{
    Setup setup;
    REQUIRE(setup.Ready());
    const std::wstring broken = setup.ProjectDir() + L"\\broken.kivproj";
    REQUIRE(kivtest::WriteFileBytes(broken, std::vector<unsigned char>(48, 'x')));
    {
        CKivFileBuilder project;
        REQUIRE(project.OpenProject(setup.ProjectFile().c_str()));
        project.SetItem(L"WindowEdge\\Edge\\ShadowColor", L"#FF0000", kKivItemColor);
        REQUIRE(project.SaveProject());
    }
    REQUIRE(DeleteFileW((setup.ProjectDir() + L"\\button_normal.bmp").c_str()));
    CKivFileBuilder project;
    REQUIRE(project.OpenProject(setup.ProjectFile().c_str()));
    const std::vector<std::wstring> problems = CKivSkinValidator::CheckProject(project);
    REQUIRE(problems.size() == 2);

    Builder builder(setup, std::wstring());
    REQUIRE(builder.WaitTitle(L"KivBuilder"));
    builder.Command(ID_BUILDER_OPEN);
    REQUIRE(builder.ChooseFile(broken));
    const std::wstring refused = builder.Answer(L"错误", IDOK);
    INFO(Narrow(refused));
    CHECK(refused.find(L"无法打开项目：\r\n") == 0);
    CHECK(refused.find(broken) != std::wstring::npos);
    REQUIRE(builder.Settle());
    CHECK(builder.Title() == L"KivBuilder");

    builder.Command(ID_BUILDER_OPEN);
    REQUIRE(builder.ChooseFile(setup.ProjectFile()));
    CHECK(builder.Answer(L"警告", IDOK) == L"这个项目还不能生成，请先修正：\r\n" +
                                              CKivSkinValidator::Describe(setup.ProjectFile(), problems[0]) + L"\r\n" +
                                              CKivSkinValidator::Describe(setup.ProjectFile(), problems[1]));
    CHECK(builder.WaitTitle(L"default - KivBuilder"));
    builder.Command(ID_BUILDER_EXIT);
    CHECK(builder.ExitCode() == 0);
}

TEST_CASE("New starts from a complete template that builds at once and never replaces a designer's file")
{
    Setup setup;
    REQUIRE(setup.Ready());
    const std::wstring folder = setup.Folder(L"new");
    REQUIRE(CreateDirectoryW(folder.c_str(), nullptr));
    // The folder the template's pictures go to exists and holds a picture of the designer's.
    REQUIRE(CreateDirectoryW((folder + L"\\mine").c_str(), nullptr));
    const std::vector<unsigned char> mine = {'m', 'i', 'n', 'e'};
    REQUIRE(kivtest::WriteFileBytes(folder + L"\\mine\\caption_active.bmp", mine));

    Builder builder(setup, std::wstring());
    REQUIRE(builder.WaitTitle(L"KivBuilder"));
    builder.Command(ID_BUILDER_NEW);
    REQUIRE(builder.ChooseFile(folder + L"\\mine.kivproj"));
    REQUIRE(builder.WaitTitle(L"mine - KivBuilder"));
    CKivFileBuilder created;
    REQUIRE(created.OpenProject((folder + L"\\mine.kivproj").c_str()));
    CHECK(created.Items().size() == 146);
    CHECK(CKivSkinValidator::CheckProject(created).empty());
    CHECK(kivtest::ReadFileBytes(folder + L"\\mine\\caption_active.bmp") == mine);
    REQUIRE(created.FindItem(L"WindowEdge\\CaptionBar\\ActiveBmp") != nullptr);
    CHECK(created.FindItem(L"WindowEdge\\CaptionBar\\ActiveBmp")->value == L"mine\\caption_active_2.bmp");
    CHECK(kivtest::ReadFileBytes(folder + L"\\mine\\caption_active_2.bmp") ==
          kivtest::ReadFileBytes(setup.App() + L"\\template\\caption_active.bmp"));

    builder.Command(ID_BUILDER_BUILD);
    CHECK(builder.Answer(L"生成.KIV文件", IDYES) == L"生成到以下位置：\r\n" + folder + L"\\mine.kiv");
    const auto outcome = BuildOutcome(builder);
    INFO(Narrow(outcome.second));
    CHECK(outcome.first == L"提示");
    CHECK(CKivSkinStore::LoadSkin((folder + L"\\mine.kiv").c_str()));
    builder.Command(ID_BUILDER_EXIT);
    CHECK(builder.ExitCode() == 0);
}

TEST_CASE("the panes are walked with the keyboard; a switch takes only 0 or 1; the title marks unsaved changes")
{
    Setup setup;
    REQUIRE(setup.Ready());
    Builder builder(setup, setup.ProjectFile());
    REQUIRE(builder.WaitTitle(L"default - KivBuilder"));
    const Panes panes = PanesOf(builder);
    HWND groups = panes.groups;
    HWND list = panes.list;
    SetForegroundWindow(builder.Main());
    REQUIRE(kivtest::PumpUntil([&] { return GetForegroundWindow() == builder.Main(); }, kWait));
    REQUIRE(kivtest::PumpUntil([&] { return FocusOf(builder.Main()) == groups; }, kWait));

    // Enter opens the first group; eleven rows down is its element "窗口".
    kivtest::SendKey(VK_RETURN);
    for (int i = 0; i < 11; ++i)
        kivtest::SendKey(VK_DOWN);
    kivtest::SendKey(VK_RETURN);
    CHECK(kivtest::PumpUntil([&] { return WindowText(list) == L"[窗口]属性"; }, kWait));
    kivtest::SendKey(VK_TAB);
    REQUIRE(kivtest::PumpUntil([&] { return FocusOf(builder.Main()) == list; }, kWait));

    // Entering the list puts the keyboard on its first property, 允许调整大小(0/1),
    // a switch holding 1; Down and Up come back to it.
    kivtest::SendKey(VK_DOWN);
    kivtest::SendKey(VK_UP);
    kivtest::SendKey(VK_RETURN);
    HWND edit = nullptr;
    const bool editing = kivtest::PumpUntil([&] {
        edit = FindWindowExW(list, nullptr, L"Edit", nullptr);
        return edit != nullptr && IsWindowVisible(edit) && FocusOf(builder.Main()) == edit;
    }, kWait);
    REQUIRE(editing);
    CHECK(WindowText(edit) == L"1");
    // Typed over the selected 1: 2 is refused, 0 taken, 5 after it refused.
    kivtest::SendKey('2');
    kivtest::SendKey('0');
    CHECK(kivtest::PumpUntil([&] { return WindowText(edit) == L"0"; }, kWait));
    kivtest::SendKey('5');
    kivtest::SendKey(VK_RETURN);
    CHECK(kivtest::PumpUntil([&] { return builder.Title() == L"default* - KivBuilder"; }, kWait));
    CHECK(FocusOf(builder.Main()) == list);

    builder.Command(ID_BUILDER_SAVE);
    CHECK(builder.WaitTitle(L"default - KivBuilder"));
    CKivFileBuilder saved;
    REQUIRE(saved.OpenProject(setup.ProjectFile().c_str()));
    CHECK(saved.FindItem(L"WindowEdge\\Edge\\EnableSizeCtl")->value == L"0");
    builder.Command(ID_BUILDER_EXIT);
    CHECK(builder.ExitCode() == 0);
}

// Pictures for the documentation: run with --no-skip; KIV_SCREENSHOTS names the folder.
TEST_CASE("screenshots of the builder" * doctest::skip())
{
    wchar_t folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"KIV_SCREENSHOTS", folder, MAX_PATH))
        lstrcpyW(folder, kivtest::BinaryDir().c_str());
    const std::wstring out = folder;
    Setup setup;
    REQUIRE(setup.Ready());
    {
        // The start page needs the examples beside the program.
        const std::wstring bin = kivtest::BinaryDir();
        CopyInto(bin + L"\\example\\examples.xml", setup.App() + L"\\example\\examples.xml");
        for (const wchar_t* skin : {L"default", L"dark"})
        {
            const std::wstring from = bin + L"\\example\\" + skin;
            const std::wstring to = setup.App() + L"\\example\\" + skin;
            CreateDirectoryW(to.c_str(), nullptr);
            for (const std::wstring& name : Listing(from))
                if (name != L"." && name != L"..")
                    CopyInto(from + L"\\" + name, to + L"\\" + name);
        }
    }
    {
        Builder builder(setup, std::wstring());
        REQUIRE(builder.WaitTitle(L"KivBuilder"));
        CHECK(CKivScreenShot::Shoot(builder.Main(), out + L"\\builder-start.bmp"));
        builder.Command(ID_BUILDER_EXIT);
        CHECK(builder.ExitCode() == 0);
    }
    Builder builder(setup, setup.ProjectFile());
    REQUIRE(builder.WaitTitle(L"default - KivBuilder"));
    const Panes panes = PanesOf(builder);
    HWND groups = panes.groups;
    HWND list = panes.list;
    Click(groups, 50, 26 + 10);            // expand the first group
    Click(groups, 50, 26 + 11 * 25 + 10);  // its eleventh element: the window edge
    REQUIRE(kivtest::PumpUntil([&] { return PropertyRowShown(list, 1); }, kWait));
    Click(list, 300, 26 + 1 * 25 + 10);    // a switch value: the inline editor
    REQUIRE(builder.Settle());
    CHECK(CKivScreenShot::Shoot(builder.Main(), out + L"\\builder-editing.bmp"));

    RECT client = {};
    GetClientRect(list, &client);
    Click(list, client.right - 16 - 5, 26 + 2 * 25 + 10);  // the shadow colour's button
    HWND colour = nullptr;
    REQUIRE(CKivScreenShot::WaitFor([&] {
        colour = builder.FindDialog(nullptr, builder.Main());
        return colour && GetWindowTextLengthW(colour) > 0;  // the wait screen has no title
    }, kWait));
    RECT both = {};
    RECT dialog = {};
    GetWindowRect(builder.Main(), &both);
    GetWindowRect(colour, &dialog);
    UnionRect(&both, &both, &dialog);
    CKivScreenShot::Settle(colour);
    CHECK(CKivScreenShot::SaveScreenArea(out + L"\\builder-colour.bmp", both));
    PostMessageW(colour, WM_COMMAND, IDCANCEL, 0);
    REQUIRE(builder.Settle());

    builder.Command(ID_BUILDER_BUILD);
    HWND question = builder.WaitDialog(L"生成.KIV文件", builder.Main());
    REQUIRE(question != nullptr);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    HWND wait = nullptr;
    if (CKivScreenShot::WaitFor([&] {
            wait = builder.FindDialog(L"", builder.Main());
            return !IsWindow(question) && wait != nullptr;
        }, kWait))
    {
        CKivScreenShot::Settle(wait);
        RECT area = {};
        GetWindowRect(builder.Main(), &area);
        CHECK(CKivScreenShot::SaveScreenArea(out + L"\\builder-wait.bmp", area));
    }
    CHECK(kivtest::PumpUntil([&] { return Exists(setup.SkinFile()); }, kWait));
    CHECK(builder.Answer(L"提示", IDOK).find(L"生成成功") == 0);

    // A picture goes missing: the failed build says which key and which file.
    REQUIRE(DeleteFileW((setup.ProjectDir() + L"\\caption_active.bmp").c_str()));
    builder.Command(ID_BUILDER_BUILD);
    CHECK(builder.Answer(L"生成.KIV文件", IDYES).find(L"default.kiv") != std::wstring::npos);
    HWND error = builder.WaitDialog(L"错误", builder.Main());
    REQUIRE(error != nullptr);
    RECT withError = {};
    RECT box = {};
    GetWindowRect(builder.Main(), &withError);
    GetWindowRect(error, &box);
    UnionRect(&withError, &withError, &box);
    CKivScreenShot::Settle(error);
    CHECK(CKivScreenShot::SaveScreenArea(out + L"\\builder-error.bmp", withError));
    PostMessageW(error, WM_COMMAND, IDOK, 0);
    REQUIRE(builder.Settle());

    builder.Command(ID_BUILDER_EXIT);
    if (HWND ask = builder.WaitDialog(L"KivBuilder", builder.Main()))
        PostMessageW(ask, WM_COMMAND, IDNO, 0);
    CHECK(builder.ExitCode() == 0);
}
