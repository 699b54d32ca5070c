// KivUpdate.exe started as the builder starts it (by full path, no
// argument) from a folder holding its update list and skin, against a local
// HTTP server; the dialog is found and read from outside. Each outcome is
// pictured into screenshots\update-*.bmp beside the test programs.
#include <doctest.h>
#include "CKivGdiObject.h"
#include "CKivScreenShot.h"
#include "CKivUpdateDlg.h"
#include "KivHttpTestServer.h"
#include "KivTestProcess.h"
#include "KivTestSupport.h"
#include "KivUpdateRes.h"
#include "KivUpdateTestSetup.h"
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using kivtest::KivHttpTestServer;
using kivtest::KivUpdateTestFolder;

const wchar_t kChecking[] = L"检察更新 ...";

using Setup = kivtest::KivUpdateTestSetup;

// The program copied into the installation folder, with the shipped black
// skin beside it unless told otherwise, and started there.
class UpdateProgram
{
public:
    explicit UpdateProgram(const KivUpdateTestFolder& folder, bool withSkin = true)
    {
        const std::wstring exe = folder.Path() + L"\\KivUpdate.exe";
        REQUIRE(CopyFileW((kivtest::BinaryDir() + L"\\KivUpdate.exe").c_str(), exe.c_str(), FALSE));
        if (withSkin)
            REQUIRE(CopyFileW((kivtest::BinaryDir() + L"\\skin\\black.kiv").c_str(),
                              (folder.Skin() + L"\\black.kiv").c_str(), FALSE));
        m_process = std::make_unique<kivtest::TestProcess>(L"\"" + exe + L"\"", folder.Path().c_str());
        REQUIRE(m_process->Started());
        kivtest::PumpUntil([&] { return (m_dialog = CKivScreenShot::FindWindowOf(m_process->Id(), L"#32770", L"更新")) != nullptr; },
                           20000);
        REQUIRE(m_dialog != nullptr);
    }
    UpdateProgram(const UpdateProgram&) = delete;
    UpdateProgram& operator=(const UpdateProgram&) = delete;

    HWND Dialog() const { return m_dialog; }
    std::wstring Text(int id = IDC_UPDATE_TEXT) const
    {
        wchar_t text[2048] = {};
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(GetDlgItem(m_dialog, id), WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                            5000, &ignored);
        return text;
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(m_dialog, id)) != FALSE; }
    // The text once the check has ended.
    std::wstring Outcome() const
    {
        std::wstring text;
        kivtest::PumpUntil([&] { return (text = Text()) != kChecking; }, 30000);
        return text;
    }
    void Click(int id) const
    {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(GetDlgItem(m_dialog, id), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, &ignored);
    }
    void Shoot(const wchar_t* name) const
    {
        const std::wstring folder = kivtest::BinaryDir() + L"\\screenshots";
        CreateDirectoryW(folder.c_str(), nullptr);
        CHECK(CKivScreenShot::Shoot(m_dialog, folder + L"\\" + name + L".bmp"));
    }
    // Ends the program with its close button; the exit code, or -1 when it
    // did not end within timeoutMs.
    long Close(DWORD timeoutMs = 10000) const
    {
        PostMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_UPDATE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_dialog, IDC_CLOSE_UPDATE)));
        return m_process->ExitCode(timeoutMs);
    }
    // Waits for a second dialog of the program (a message box, the About
    // box), which must make the main one modal-disabled, and closes it with
    // OK; its title, or "-" when none came or it did not go.
    std::wstring DismissOtherDialog() const
    {
        HWND other = nullptr;
        if (!kivtest::PumpUntil([&] { return (other = OtherDialog()) != nullptr; }, 10000))
            return L"-";
        CHECK_FALSE(IsWindowEnabled(m_dialog));
        wchar_t title[64] = {};
        GetWindowTextW(other, title, 64);
        PostMessageW(other, WM_COMMAND, IDOK, 0);
        if (!kivtest::PumpUntil([&] { return !IsWindow(other); }, 10000))
            return L"-";
        return title;
    }

private:
    // A visible dialog of the program other than the main one.
    HWND OtherDialog() const
    {
        std::pair<const UpdateProgram*, HWND> search(this, nullptr);
        EnumWindows(&UpdateProgram::MatchOther, reinterpret_cast<LPARAM>(&search));
        return search.second;
    }
    static BOOL CALLBACK MatchOther(HWND window, LPARAM param)
    {
        auto* search = reinterpret_cast<std::pair<const UpdateProgram*, HWND>*>(param);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (process != search->first->m_process->Id() || window == search->first->m_dialog ||
            !IsWindowVisible(window) || lstrcmpW(name, L"#32770") != 0)
            return TRUE;
        search->second = window;
        return FALSE;
    }

    std::unique_ptr<kivtest::TestProcess> m_process;
    HWND m_dialog = nullptr;
};

// Frame insets of a window: left, top, right, bottom.
std::vector<long> Insets(HWND window)
{
    RECT outer;
    RECT inner;
    GetWindowRect(window, &outer);
    GetClientRect(window, &inner);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&inner), 2);
    return {inner.left - outer.left, inner.top - outer.top, outer.right - inner.right, outer.bottom - inner.bottom};
}

const std::string kNewerPrefix = "@2.0@Kiv 2.0@";

}  // namespace

TEST_CASE("a newer version shows its name and address and enables the download button")
{
    Setup setup(Setup::Serving(""));
    const std::wstring address = setup.Server().Url(L"/kiv-2.0.zip");
    setup.Server().SetReply(Setup::Serving(kNewerPrefix + Setup::Narrow(address) + "\r\n"));
    UpdateProgram program(setup.Folder());
    CHECK(program.Outcome() == L"有更新版本（2.0），请手动下载.\r\n    " + address);
    CHECK(program.Enabled(IDC_DOWNLOAD_UPDATE));
    CHECK(program.Enabled(IDC_CHECK_UPDATE));
    CHECK(program.Text(IDC_CHECK_UPDATE) == L"检查更新");
    CHECK(program.Text(IDC_DOWNLOAD_UPDATE) == L"下载更新");
    CHECK(program.Text(IDC_CLOSE_UPDATE) == L"取消");
    CHECK(setup.Server().Requests() == 1);
    CHECK(setup.Server().LastRequestHead().find("User-Agent: KivUpdateNet\r\n") != std::string::npos);
    program.Shoot(L"update-newer");
    CHECK(program.Close() == 0);
}

TEST_CASE("all markers present: no updates, and the list stays as it was")
{
    Setup setup(Setup::Serving(""));
    setup.Server().SetReply(Setup::Serving(setup.List()));
    UpdateProgram program(setup.Folder());
    CHECK(program.Outcome() == L"没有任何更新.");
    CHECK_FALSE(program.Enabled(IDC_DOWNLOAD_UPDATE));
    CHECK(setup.Folder().ReadList() == setup.List());
    program.Shoot(L"update-none");
    CHECK(program.Close() == 0);
}

TEST_CASE("the list marker missing: the list is replaced byte for byte")
{
    Setup setup(Setup::Serving(""));
    const std::string served = "@KivSkin 1.0\n@" + Setup::Narrow(setup.Server().Url(L"/v2.txt")) + "\n@list-8\n";
    setup.Server().SetReply(Setup::Serving(served));
    UpdateProgram program(setup.Folder());
    CHECK(program.Outcome() == L"配置文件已更新.");
    CHECK(setup.Folder().ReadList() == served);
    CHECK(setup.Folder().StrayConfigFiles() == 0);
    program.Shoot(L"update-replaced");
    CHECK(program.Close() == 0);
}

TEST_CASE("failures show their code: a two-line list without any request, a 404 page, nobody listening")
{
    SUBCASE("two lines")
    {
        Setup setup(Setup::Serving("@2.0@Kiv 2.0@http://127.0.0.1/kiv.zip"));
        REQUIRE(setup.Folder().WriteList("@KivSkin 1.0\r\n@" + Setup::Narrow(setup.Server().Url()) + "\r\n"));
        UpdateProgram program(setup.Folder());
        CHECK(program.Outcome() == L"更新有错误. 错误：4");
        CHECK(setup.Server().Requests() == 0);
        program.Shoot(L"update-error4");
        CHECK(program.Close() == 0);
    }
    SUBCASE("404")
    {
        Setup setup(Setup::Serving("<html>@2.0@not found@http://127.0.0.1/x</html>", 404));
        UpdateProgram program(setup.Folder());
        CHECK(program.Outcome() == L"更新有错误. 错误：5");
        CHECK_FALSE(program.Enabled(IDC_DOWNLOAD_UPDATE));
        CHECK(setup.Server().Requests() == 1);
        program.Shoot(L"update-error5-404");
        CHECK(program.Close() == 0);
    }
    SUBCASE("nobody listening")
    {
        KivHttpTestServer::ClearProxySettings();
        KivUpdateTestFolder folder;
        REQUIRE(folder.WriteList(Setup::ListFor(L"http://127.0.0.1:" + std::to_wstring(KivHttpTestServer::ClosedPort()) +
                                         L"/update.txt")));
        UpdateProgram program(folder);
        CHECK(program.Outcome() == L"更新有错误. 错误：5");
        program.Shoot(L"update-error5-unreachable");
        CHECK(program.Close() == 0);
    }
    SUBCASE("a huge Content-Length")
    {
        KivHttpTestServer::Reply reply = Setup::Serving("@2.0@Kiv 2.0@http://127.0.0.1/kiv.zip");
        reply.lengthText = "4294967294";
        Setup setup(reply);
        UpdateProgram program(setup.Folder());
        CHECK(program.Outcome() == L"更新有错误. 错误：6");
        program.Shoot(L"update-error6");
        CHECK(program.Close() == 0);
    }
}

TEST_CASE("a download address that is not http or https leaves the button disabled and is never opened")
{
    Setup setup(Setup::Serving("@2.0@Kiv 2.0@C:\\windows\\system32\\winver.exe\r\n"));
    UpdateProgram program(setup.Folder());
    CHECK(program.Outcome() == L"有更新版本（2.0），请手动下载.\r\n    C:\\windows\\system32\\winver.exe");
    CHECK_FALSE(program.Enabled(IDC_DOWNLOAD_UPDATE));
    program.Shoot(L"update-not-web");
    // The command sent anyway only shows an error.
    PostMessageW(program.Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DOWNLOAD_UPDATE, BN_CLICKED), 0);
    CHECK(program.DismissOtherDialog() == L"更新");
    CHECK(program.Close() == 0);
}

TEST_CASE("every WM_CTLCOLOR* gets the one white brush, and the About box opens from the system command")
{
    // The dialog in this process, from the program file's resources: a
    // brush's handle can be compared only where it lives.
    HMODULE resources = LoadLibraryExW((kivtest::BinaryDir() + L"\\KivUpdate.exe").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(resources != nullptr);
    KivUpdateTestFolder folder;
    REQUIRE(folder.WriteList("@KivSkin 1.0\r\n"));
    {
        CKivUpdateDlg dialog(folder.Path(), resources);
        REQUIRE(dialog.Create(nullptr));
        CHECK(kivtest::PumpUntil([&] { return dialog.ItemText(IDC_UPDATE_TEXT) == L"更新有错误. 错误：4"; }, 10000));
        const long before = CKivGdiObjectCount::Live();
        HWND text = dialog.Item(IDC_UPDATE_TEXT);
        std::vector<LRESULT> brushes;
        for (UINT message : {WM_CTLCOLORSTATIC, WM_CTLCOLORDLG, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC})
        {
            for (int round = 0; round < 50; ++round)
            {
                HDC dc = GetDC(text);
                brushes.push_back(SendMessageW(dialog.Handle(), message, reinterpret_cast<WPARAM>(dc),
                                               reinterpret_cast<LPARAM>(text)));
                CHECK(GetBkMode(dc) == TRANSPARENT);
                ReleaseDC(text, dc);
            }
        }
        CHECK(brushes.front() != 0);
        CHECK(std::count(brushes.begin(), brushes.end(), brushes.front()) == static_cast<long>(brushes.size()));
        LOGBRUSH brush = {};
        CHECK(GetObjectW(reinterpret_cast<HBRUSH>(brushes.front()), sizeof(brush), &brush) == sizeof(brush));
        CHECK(brush.lbColor == RGB(255, 255, 255));
        CHECK(CKivGdiObjectCount::Live() == before);
        dialog.EndDialog(IDCANCEL);
    }
    FreeLibrary(resources);

    Setup setup(Setup::Serving("", 404));
    UpdateProgram program(setup.Folder());
    CHECK(program.Outcome() == L"更新有错误. 错误：5");
    PostMessageW(program.Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    CHECK(program.DismissOtherDialog() == L"关于 KivUpdate");
    CHECK(program.Close() == 0);
}

TEST_CASE("pressing the check button while a check runs starts nothing")
{
    Setup setup(Setup::Serving("", 200, true));
    setup.Server().SetReply(Setup::Serving(kNewerPrefix + Setup::Narrow(setup.Server().Url(L"/kiv.zip")), 200, true));
    UpdateProgram program(setup.Folder());
    REQUIRE(kivtest::PumpUntil([&] { return setup.Server().Requests() == 1; }, 20000));
    program.Click(IDC_CHECK_UPDATE);
    program.Click(IDC_CHECK_UPDATE);
    CHECK(program.Text() == kChecking);
    program.Shoot(L"update-checking");
    setup.Server().Release();
    CHECK(program.Outcome().rfind(L"有更新版本（2.0）", 0) == 0);
    CHECK(setup.Server().Requests() == 1);
    // Idle again: the button checks anew.
    program.Click(IDC_CHECK_UPDATE);
    CHECK(kivtest::PumpUntil([&] { return setup.Server().Requests() == 2; }, 20000));
    CHECK(program.Outcome().rfind(L"有更新版本（2.0）", 0) == 0);
    CHECK(program.Close() == 0);
}

TEST_CASE("closing during a stalled check ends the program within a bound")
{
    Setup setup(Setup::Serving("", 200, true));
    setup.Server().SetReply(Setup::Serving(kNewerPrefix + "http://127.0.0.1/kiv.zip", 200, true));
    UpdateProgram program(setup.Folder());
    REQUIRE(kivtest::PumpUntil([&] { return setup.Server().Requests() == 1; }, 20000));
    const ULONGLONG before = GetTickCount64();
    CHECK(program.Close(10000) == 0);
    MESSAGE("the program ended " << GetTickCount64() - before << " ms after the close command");
    CHECK(setup.Folder().ReadList() == setup.List());
}

TEST_CASE("without an argument the program wears skin\\black.kiv from its folder, and runs plain without it")
{
    Setup setup(Setup::Serving("", 404));
    std::vector<long> skinned;
    {
        UpdateProgram program(setup.Folder());
        CHECK(program.Outcome() == L"更新有错误. 错误：5");
        skinned = Insets(program.Dialog());
        CHECK(program.Close() == 0);
    }
    REQUIRE(DeleteFileW((setup.Folder().Skin() + L"\\black.kiv").c_str()));
    UpdateProgram plain(setup.Folder(), false);
    CHECK(plain.Outcome() == L"更新有错误. 错误：5");
    const std::vector<long> system = Insets(plain.Dialog());
    // The shipped black skin has a 30-pixel caption bar and 3-pixel borders.
    MESSAGE("skinned insets " << skinned[0] << " " << skinned[1] << " " << skinned[2] << " " << skinned[3]
            << ", plain " << system[0] << " " << system[1] << " " << system[2] << " " << system[3]);
    CHECK(skinned != system);
    CHECK(skinned[1] >= 30);
    CHECK(plain.Close() == 0);
}
