// KivUpdate.exe started as the builder starts it (by full path, no
// argument) from a folder holding its update list and skin, against a
// friendly local HTTP server; the dialog is found and read from outside.
// Each outcome is pictured into screenshots\update-*.bmp beside the test
// programs.
#include <doctest.h>
#include "CKivGdiObject.h"
#include "CKivScreenShot.h"
#include "CKivUpdateDlg.h"
#include "KivHttpTestServer.h"
#include "KivTestProcess.h"
#include "KivTestSupport.h"
#include "KivUpdateRes.h"
#include "KivUpdateProgram.h"
#include "KivUpdateTestSetup.h"
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using kivtest::KivHttpTestServer;
using kivtest::KivUpdateTestFolder;

const wchar_t* const kChecking = kivtest::KivUpdateProgram::kChecking;

using Setup = kivtest::KivUpdateTestSetup;

using UpdateProgram = kivtest::KivUpdateProgram;

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

// The dialog in this process, from the program file's resources (a brush's
// handle can be compared only where it lives), once the check it starts has
// ended: its list has one line, so error 4.
class InProcessDialog
{
public:
    InProcessDialog()
    {
        REQUIRE(m_resources.module != nullptr);
        REQUIRE(m_folder.WriteList("@KivSkin 1.0\r\n"));
        m_dialog = std::make_unique<CKivUpdateDlg>(m_folder.Path(), m_resources.module);
        REQUIRE(m_dialog->Create(nullptr));
        REQUIRE(kivtest::PumpUntil(
            [&] { return m_dialog->ItemText(IDC_UPDATE_TEXT).rfind(L"更新有错误. 错误：4\r\n", 0) == 0; }, 10000));
    }
    ~InProcessDialog()
    {
        if (m_dialog)
            m_dialog->EndDialog(IDCANCEL);
    }
    InProcessDialog(const InProcessDialog&) = delete;
    InProcessDialog& operator=(const InProcessDialog&) = delete;
    CKivUpdateDlg& operator*() { return *m_dialog; }
    CKivUpdateDlg* operator->() { return m_dialog.get(); }

private:
    struct Resources
    {
        Resources()
            : module(LoadLibraryExW((kivtest::BinaryDir() + L"\\KivUpdate.exe").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE))
        {
        }
        ~Resources()
        {
            if (module != nullptr)
                FreeLibrary(module);
        }
        HMODULE module;
    };

    // Declared first: the dialog goes before the resources it was made from.
    Resources m_resources;
    KivUpdateTestFolder m_folder;
    std::unique_ptr<CKivUpdateDlg> m_dialog;
};

}  // namespace

TEST_CASE("a newer version shows its name and address and enables the download button")
{
    Setup setup(Setup::Serving(""));
    const std::wstring address = setup.Server().Url(L"/kiv-2.0.zip");
    setup.Server().SetReply(Setup::Serving(kNewerPrefix + Setup::Narrow(address) + "\r\n"));
    UpdateProgram program(setup.Folder());
    CHECK(program.Outcome().rfind(L"有更新版本（2.0），请手动下载.\r\n    " + address + L"\r\n", 0) == 0);
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
    CHECK(program.OutcomeLine() == L"没有任何更新.");
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
    CHECK(program.OutcomeLine() == L"配置文件已更新.");
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
        CHECK(program.OutcomeLine() == L"更新有错误. 错误：4");
        CHECK(setup.Server().Requests() == 0);
        program.Shoot(L"update-error4");
        CHECK(program.Close() == 0);
    }
    SUBCASE("404")
    {
        Setup setup(Setup::Serving("<html>@2.0@not found@http://127.0.0.1/x</html>", 404));
        UpdateProgram program(setup.Folder());
        CHECK(program.OutcomeLine() == L"更新有错误. 错误：5");
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
        CHECK(program.OutcomeLine() == L"更新有错误. 错误：5");
        program.Shoot(L"update-error5-unreachable");
        CHECK(program.Close() == 0);
    }
    SUBCASE("a huge Content-Length")
    {
        KivHttpTestServer::Reply reply = Setup::Serving("@2.0@Kiv 2.0@http://127.0.0.1/kiv.zip");
        reply.lengthText = "4294967294";
        Setup setup(reply);
        UpdateProgram program(setup.Folder());
        CHECK(program.OutcomeLine() == L"更新有错误. 错误：6");
        program.Shoot(L"update-error6");
        CHECK(program.Close() == 0);
    }
}

TEST_CASE("a download address that is not http or https makes the reply malformed and is never offered")
{
    Setup setup(Setup::Serving("@2.0@Kiv 2.0@C:\\windows\\system32\\winver.exe\r\n"));
    UpdateProgram program(setup.Folder());
    CHECK(program.OutcomeLine() == L"更新有错误. 错误：6");
    CHECK_FALSE(program.Enabled(IDC_DOWNLOAD_UPDATE));
    program.Shoot(L"update-not-web");
    CHECK(setup.Folder().ReadList() == setup.List());
    CHECK(program.Close() == 0);
}

TEST_CASE("whatever a newer-version result brings, the dialog keeps and shows only a canonical web address")
{
    InProcessDialog dialog;
    struct Offer
    {
        const wchar_t* text;
        const wchar_t* kept;
    };
    for (const Offer& offer : {Offer{L"@2.0@Kiv 2.0@http://h/a\"b|c^d&e=%PATH%", L"http://h/a%22b%7Cc%5Ed&e=%25PATH%25"},
                               Offer{L"@2.0@Kiv 2.0@C:\\windows\\system32\\winver.exe", L""},
                               Offer{L"@2.0@Kiv 2.0@javascript:alert(1)", L""},
                               Offer{L"@2.0@Kiv 2.0@HTTPS://H/k.zip", L"https://h/k.zip"}})
    {
        CAPTURE(Setup::Narrow(offer.text));
        SendMessageW(dialog->Handle(), CKivUpdateChecker::kResultMessage, CKivUpdateChecker::kNewVersion,
                     reinterpret_cast<LPARAM>(offer.text));
        CHECK(dialog->DownloadAddress() == offer.kept);
        CHECK(IsWindowEnabled(dialog->Item(IDC_DOWNLOAD_UPDATE)) == (*offer.kept != L'\0'));
        CHECK(dialog->ItemText(IDC_UPDATE_TEXT).rfind(std::wstring(L"有更新版本（2.0），请手动下载.\r\n    ") + offer.kept + L"\r\n", 0) ==
              0);
    }
}

TEST_CASE("every WM_CTLCOLOR* gets the one white brush, and the About box opens from the system command")
{
    {
        InProcessDialog dialog;
        const long before = CKivGdiObjectCount::Live();
        HWND text = dialog->Item(IDC_UPDATE_TEXT);
        std::vector<LRESULT> brushes;
        for (UINT message : {WM_CTLCOLORSTATIC, WM_CTLCOLORDLG, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC})
        {
            for (int round = 0; round < 50; ++round)
            {
                HDC dc = GetDC(text);
                brushes.push_back(SendMessageW(dialog->Handle(), message, reinterpret_cast<WPARAM>(dc),
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
    }

    Setup setup(Setup::Serving("", 404));
    UpdateProgram program(setup.Folder());
    CHECK(program.OutcomeLine() == L"更新有错误. 错误：5");
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
        CHECK(program.OutcomeLine() == L"更新有错误. 错误：5");
        skinned = Insets(program.Dialog());
        CHECK(program.Close() == 0);
    }
    REQUIRE(DeleteFileW((setup.Folder().Skin() + L"\\black.kiv").c_str()));
    UpdateProgram plain(setup.Folder(), false);
    CHECK(plain.OutcomeLine() == L"更新有错误. 错误：5");
    const std::vector<long> system = Insets(plain.Dialog());
    // The shipped black skin has a 30-pixel caption bar and 3-pixel borders.
    MESSAGE("skinned insets " << skinned[0] << " " << skinned[1] << " " << skinned[2] << " " << skinned[3]
            << ", plain " << system[0] << " " << system[1] << " " << system[2] << " " << system[3]);
    CHECK(skinned != system);
    CHECK(skinned[1] >= 30);
    CHECK(plain.Close() == 0);
}
