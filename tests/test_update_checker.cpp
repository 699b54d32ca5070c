// The update checker's worker against a local HTTP server: what it fetches,
// the result codes it reports through message 1184, what it does to the
// update list, and how it behaves while a check runs and when stopped.
#include <doctest.h>
#include "CKivUpdateChecker.h"
#include "CKivUpdateFetch.h"
#include "KivHttpTestServer.h"
#include "KivTestSupport.h"
#include "KivUpdateTestSetup.h"
#include <string>
#include <vector>

namespace {

using kivtest::KivHttpTestServer;
using kivtest::KivUpdateTestFolder;

// What the receiving window heard.
struct Heard
{
    std::vector<int> codes;
    std::wstring text;
    LPARAM announced = -1;
};
Heard g_heard;

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != CKivUpdateChecker::kResultMessage)
        return DefWindowProcW(window, message, wParam, lParam);
    const int code = static_cast<int>(wParam);
    g_heard.codes.push_back(code);
    if (code == CKivUpdateChecker::kNewVersion && lParam)
        g_heard.text = reinterpret_cast<const wchar_t*>(lParam);
    if (code == CKivUpdateChecker::kAboutToRead)
        g_heard.announced = lParam;
    return 0;
}

class Receiver
{
public:
    Receiver()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &ReceiverProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KivUpdateReceiver";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, L"KivUpdateReceiver", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        g_heard = Heard();
    }
    ~Receiver() { DestroyWindow(m_window); }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;
    HWND Get() const { return m_window; }

private:
    HWND m_window;
};

bool HasFinal()
{
    for (int code : g_heard.codes)
    {
        if (code != CKivUpdateChecker::kAboutToRead)
            return true;
    }
    return false;
}

// The codes of one check from start to its final result.
std::vector<int> RunCheck(const KivUpdateTestFolder& folder)
{
    Receiver receiver;
    CKivUpdateChecker checker(folder.Path());
    REQUIRE(checker.Start(receiver.Get()));
    CHECK(kivtest::PumpUntil(HasFinal, 30000));
    CHECK(kivtest::PumpUntil([&] { return !checker.IsRunning(); }, 5000));
    return g_heard.codes;
}

using Setup = kivtest::KivUpdateTestSetup;

const std::string kNewer = "@2.0@Kiv 2.0@http://127.0.0.1/kiv-2.0.zip\r\n";

// A check whose request reached a server that holds back the body.
void StartStalled(CKivUpdateChecker& checker, const Receiver& receiver, Setup& setup)
{
    REQUIRE(checker.Start(receiver.Get()));
    CHECK(checker.IsRunning());
    REQUIRE(kivtest::PumpUntil([&] { return setup.Server().Requests() == 1; }, 20000));
}

}  // namespace

TEST_CASE("a document without the current marker reports a newer version with the fetched text")
{
    Setup setup(Setup::Serving(kNewer));
    CHECK(RunCheck(setup.Folder()) == std::vector<int>({7, 1}));
    CHECK(g_heard.announced == static_cast<LPARAM>(kNewer.size()));
    CHECK(g_heard.text == L"@2.0@Kiv 2.0@http://127.0.0.1/kiv-2.0.zip\r\n");
    CHECK(setup.Server().Requests() == 1);
    const std::string head = setup.Server().LastRequestHead();
    CHECK(head.rfind("GET /update.txt ", 0) == 0);
    CHECK(head.find("User-Agent: KivUpdateNet\r\n") != std::string::npos);
    CHECK(setup.Folder().ReadList() == setup.List());
}

TEST_CASE("a document holding all three markers reports no updates and leaves the list alone")
{
    Setup setup(Setup::Serving(""));
    // The same list with other line ends and text around it.
    setup.Server().SetReply(Setup::Serving("header\n" + Setup::ListFor(setup.Server().Url(), "KivSkin 1.0", "list-7", "\n") + "footer"));
    CHECK(RunCheck(setup.Folder()) == std::vector<int>({7, 2}));
    CHECK(setup.Folder().ReadList() == setup.List());
    CHECK(setup.Folder().StrayConfigFiles() == 0);
}

TEST_CASE("a document with the current marker but another list replaces the list byte for byte")
{
    Setup setup(Setup::Serving(""));
    const std::string newList = Setup::ListFor(L"http://127.0.0.1:1/moved.txt", "KivSkin 1.0", "list-8", "\n");
    setup.Server().SetReply(Setup::Serving(newList));
    CHECK(RunCheck(setup.Folder()) == std::vector<int>({7, 3}));
    CHECK(setup.Folder().ReadList() == newList);
    CHECK(setup.Folder().StrayConfigFiles() == 0);

    SUBCASE("but a document that is no list leaves it alone")
    {
        const std::string notAList = "@KivSkin 1.0 is current\r\n<p>no list here</p>\r\nmore\r\nlines\r\n";
        setup.Server().SetReply(Setup::Serving(notAList));
        REQUIRE(setup.Folder().WriteList(setup.List()));
        CHECK(RunCheck(setup.Folder()) == std::vector<int>({7, 6}));
        CHECK(setup.Folder().ReadList() == setup.List());
        CHECK(setup.Folder().StrayConfigFiles() == 0);
    }
}

TEST_CASE("a list of two lines reports code 4 without any request")
{
    Setup setup(Setup::Serving(kNewer));
    REQUIRE(setup.Folder().WriteList("@KivSkin 1.0\r\n@" + Setup::Narrow(setup.Server().Url()) + "\r\n"));
    CHECK(RunCheck(setup.Folder()) == std::vector<int>({4}));
    REQUIRE(DeleteFileW(setup.Folder().ListPath().c_str()));
    CHECK(RunCheck(setup.Folder()) == std::vector<int>({4}));
    CHECK(setup.Server().Requests() == 0);
}

TEST_CASE("connection and request failures report code 5")
{
    SUBCASE("nothing listens at the address")
    {
        KivHttpTestServer::ClearProxySettings();
        KivUpdateTestFolder folder;
        const unsigned short port = KivHttpTestServer::ClosedPort();
        REQUIRE(port != 0);
        REQUIRE(folder.WriteList(Setup::ListFor(L"http://127.0.0.1:" + std::to_wstring(port) + L"/update.txt")));
        CHECK(RunCheck(folder) == std::vector<int>({5}));
    }
    SUBCASE("the server answers 404 with a page")
    {
        Setup setup(Setup::Serving("<html>not found</html>", 404));
        CHECK(RunCheck(setup.Folder()) == std::vector<int>({5}));
        CHECK(setup.Server().Requests() == 1);
        CHECK(setup.Folder().ReadList() == setup.List());
    }
    SUBCASE("the server answers 500")
    {
        Setup setup(Setup::Serving(kNewer, 500));
        CHECK(RunCheck(setup.Folder()) == std::vector<int>({5}));
    }
    SUBCASE("the list names no web address")
    {
        Setup setup(Setup::Serving(kNewer));
        REQUIRE(setup.Folder().WriteList(Setup::ListFor(L"ftp://127.0.0.1/update.txt")));
        CHECK(RunCheck(setup.Folder()) == std::vector<int>({5}));
        CHECK(setup.Server().Requests() == 0);
    }
}

TEST_CASE("sizes: Content-Length when given, otherwise read to the end, never more than 64 KiB")
{
    SUBCASE("no Content-Length: the whole document is read")
    {
        KivHttpTestServer::Reply reply = Setup::Serving(kNewer);
        reply.sendLength = false;
        Setup setup(reply);
        CHECK(RunCheck(setup.Folder()) == std::vector<int>({7, 1}));
        CHECK(g_heard.announced == 0);
        CHECK(g_heard.text == L"@2.0@Kiv 2.0@http://127.0.0.1/kiv-2.0.zip\r\n");
    }
    SUBCASE("no Content-Length and more than 64 KiB")
    {
        KivHttpTestServer::Reply reply = Setup::Serving(std::string(200 * 1024, 'x'));
        reply.sendLength = false;
        Setup setup(reply);
        CHECK(RunCheck(setup.Folder()) == std::vector<int>({7, 6}));
    }
    SUBCASE("a Content-Length of 64 KiB and one byte is refused before reading")
    {
        Setup setup(Setup::Serving(std::string(64 * 1024 + 1, 'x')));
        CHECK(RunCheck(setup.Folder()) == std::vector<int>({6}));
    }
    SUBCASE("exactly 64 KiB is still a document")
    {
        Setup setup(Setup::Serving(kNewer + std::string(64 * 1024 - kNewer.size(), ' ')));
        CHECK(RunCheck(setup.Folder()) == std::vector<int>({7, 1}));
        CHECK(g_heard.text.size() == 1024);
    }
    SUBCASE("a huge Content-Length")
    {
        for (const char* huge : {"4294967294", "4294967295", "18446744073709551615", "99999999999999999999999"})
        {
            CAPTURE(huge);
            KivHttpTestServer::Reply reply = Setup::Serving(kNewer);
            reply.lengthText = huge;
            Setup setup(reply);
            CHECK(RunCheck(setup.Folder()) == std::vector<int>({6}));
        }
    }
    SUBCASE("an empty document")
    {
        Setup setup(Setup::Serving(""));
        CHECK(RunCheck(setup.Folder()) == std::vector<int>({6}));
    }
    SUBCASE("a server that sends less than it announced")
    {
        KivHttpTestServer::Reply reply = Setup::Serving(kNewer);
        reply.lengthText = "1000";
        Setup setup(reply);
        const std::vector<int> codes = RunCheck(setup.Folder());
        REQUIRE(codes.size() == 2);
        CHECK(codes[0] == 7);
        CHECK(codes[1] == 8);
        CHECK(setup.Folder().ReadList() == setup.List());
    }
}

TEST_CASE("a check while one runs starts nothing; the next starts once the first ended")
{
    Setup setup(Setup::Serving(kNewer, 200, true));
    Receiver receiver;
    CKivUpdateChecker checker(setup.Folder().Path());
    StartStalled(checker, receiver, setup);
    CHECK_FALSE(checker.Start(receiver.Get()));
    CHECK_FALSE(checker.Start(receiver.Get()));
    setup.Server().Release();
    REQUIRE(kivtest::PumpUntil(HasFinal, 20000));
    CHECK(g_heard.codes == std::vector<int>({7, 1}));
    CHECK(setup.Server().Requests() == 1);
    // The flag is down by the time the result arrives.
    CHECK_FALSE(checker.IsRunning());
    g_heard = Heard();
    CHECK(checker.Start(receiver.Get()));
    CHECK(kivtest::PumpUntil(HasFinal, 20000));
    CHECK(g_heard.codes == std::vector<int>({7, 1}));
    CHECK(setup.Server().Requests() == 2);
}

TEST_CASE("a fast check clears the running flag by itself")
{
    Setup setup(Setup::Serving(kNewer));
    REQUIRE(setup.Folder().WriteList("@only one line"));
    Receiver receiver;
    CKivUpdateChecker checker(setup.Folder().Path());
    for (int round = 0; round < 20; ++round)
    {
        g_heard = Heard();
        REQUIRE(checker.Start(receiver.Get()));
        REQUIRE(kivtest::PumpUntil(HasFinal, 10000));
        CHECK(g_heard.codes == std::vector<int>({4}));
        CHECK_FALSE(checker.IsRunning());
    }
}

TEST_CASE("stopping during a stalled download returns within the bound and reports nothing more")
{
    Setup setup(Setup::Serving(kNewer, 200, true));
    Receiver receiver;
    {
        CKivUpdateChecker checker(setup.Folder().Path());
        StartStalled(checker, receiver, setup);
        const ULONGLONG before = GetTickCount64();
        checker.Stop(3000);
        CHECK(GetTickCount64() - before < 4000);
        MESSAGE("Stop took " << GetTickCount64() - before << " ms; worker ended: " << !checker.IsRunning());
    }
    setup.Server().Release();
    kivtest::PumpPending();
    CHECK_FALSE(HasFinal());
    CHECK(setup.Folder().ReadList() == setup.List());
}

namespace {

// The codes of one check with a short deadline, and how long it took.
std::vector<int> RunHostile(const KivUpdateTestFolder& folder, DWORD deadlineMs, ULONGLONG& tookMs)
{
    Receiver receiver;
    CKivUpdateChecker checker(folder.Path(), deadlineMs);
    const ULONGLONG before = GetTickCount64();
    REQUIRE(checker.Start(receiver.Get()));
    CHECK(kivtest::PumpUntil(HasFinal, deadlineMs + 10000));
    tookMs = GetTickCount64() - before;
    CHECK(kivtest::PumpUntil([&] { return !checker.IsRunning(); }, 5000));
    return g_heard.codes;
}

const DWORD kShortDeadlineMs = 2000;
// Starting the fetch's process on a loaded machine.
const DWORD kLateMs = 3000;

}  // namespace

TEST_CASE("the check's own deadline ends it as unreachable, whether the head or the body is held back")
{
    SUBCASE("no answer at all")
    {
        KivHttpTestServer::Reply reply;
        reply.silent = true;
        Setup setup(reply);
        ULONGLONG took = 0;
        CHECK(RunHostile(setup.Folder(), kShortDeadlineMs, took) == std::vector<int>({5}));
        MESSAGE("silent server: " << took << " ms");
        CHECK(took >= kShortDeadlineMs);
        CHECK(took <= kShortDeadlineMs + kLateMs);
        CHECK(setup.Folder().ReadList() == setup.List());
    }
    SUBCASE("the body one byte a second: the size was announced, then the time ran out")
    {
        KivHttpTestServer::Reply reply = Setup::Serving(kNewer + std::string(100, ' '));
        reply.dripMs = 1000;
        reply.dripBodyOnly = true;
        Setup setup(reply);
        ULONGLONG took = 0;
        CHECK(RunHostile(setup.Folder(), kShortDeadlineMs, took) == std::vector<int>({7, 5}));
        CHECK(g_heard.announced == static_cast<LPARAM>(kNewer.size() + 100));
        CHECK(took >= kShortDeadlineMs);
        CHECK(took <= kShortDeadlineMs + kLateMs);
    }
}

TEST_CASE("a redirect loop is cut after five redirects; too much header is a malformed reply")
{
    SUBCASE("redirect loop")
    {
        Setup setup(Setup::Serving(""), 64);
        KivHttpTestServer::Reply loop = Setup::Serving("again", 302);
        loop.headers = "Location: /update.txt\r\n";
        setup.Server().SetReply(loop);
        ULONGLONG took = 0;
        CHECK(RunHostile(setup.Folder(), 20000, took) == std::vector<int>({5}));
        CHECK(setup.Server().Requests() == 1 + CKivUpdateFetch::kMaxRedirects);
    }
    SUBCASE("a 301 without a Location")
    {
        Setup setup(Setup::Serving("moved", 301));
        ULONGLONG took = 0;
        CHECK(RunHostile(setup.Folder(), 20000, took) == std::vector<int>({5}));
    }
    SUBCASE("header lines past the bound, a little and a lot")
    {
        for (size_t extra : {CKivUpdateFetch::kMaxHeaderBytes + 4096, size_t(256) << 10})
        {
            CAPTURE(extra);
            KivHttpTestServer::Reply reply = Setup::Serving(kNewer);
            reply.headerFlood = extra;
            Setup setup(reply);
            ULONGLONG took = 0;
            CHECK(RunHostile(setup.Folder(), 20000, took) == std::vector<int>({6}));
            MESSAGE((extra / 1024) << " KiB of header lines: " << took << " ms");
            CHECK(setup.Folder().ReadList() == setup.List());
        }
        // Just under the bound is still a reply.
        KivHttpTestServer::Reply reply = Setup::Serving(kNewer);
        reply.headerFlood = CKivUpdateFetch::kMaxHeaderBytes / 2;
        Setup setup(reply);
        ULONGLONG took = 0;
        CHECK(RunHostile(setup.Folder(), 20000, took) == std::vector<int>({7, 1}));
    }
}

TEST_CASE("stopping a check held by a silent server is prompt, reports nothing and leaves no fetch running")
{
    KivHttpTestServer::Reply reply;
    reply.silent = true;
    Setup setup(reply);
    Receiver receiver;
    CKivUpdateChecker checker(setup.Folder().Path(), 20000);
    REQUIRE(checker.Start(receiver.Get()));
    REQUIRE(kivtest::PumpUntil([&] { return setup.Server().Requests() == 1; }, 20000));
    const ULONGLONG before = GetTickCount64();
    CHECK(checker.Stop(2000));
    const ULONGLONG took = GetTickCount64() - before;
    MESSAGE("Stop took " << took << " ms");
    CHECK(took < 1000);
    CHECK_FALSE(checker.IsRunning());
    kivtest::PumpPending();
    CHECK_FALSE(HasFinal());
    // The fetch's process went with the check: its connection is closed, so
    // the server's next connection is the only one it serves.
    CHECK(setup.Folder().ReadList() == setup.List());
}

TEST_CASE("without the fetch's program a check fails as a failed request")
{
    Setup setup(Setup::Serving(kNewer));
    Receiver receiver;
    CKivUpdateChecker checker(setup.Folder().Path(), 20000, setup.Folder().Path() + L"\\missing.exe");
    REQUIRE(checker.Start(receiver.Get()));
    CHECK(kivtest::PumpUntil(HasFinal, 10000));
    CHECK(g_heard.codes == std::vector<int>({5}));
    CHECK(setup.Server().Requests() == 0);
}

TEST_CASE("the environment may shorten the deadline, never lengthen it")
{
    CHECK(CKivUpdateChecker::kDeadlineMs == 30000);
    struct Setting
    {
        const wchar_t* value;
        DWORD deadline;
    };
    for (const Setting& setting : {Setting{nullptr, 30000}, Setting{L"1500", 1500}, Setting{L"30000", 30000},
                                   Setting{L"30001", 30000}, Setting{L"99999999999", 30000}, Setting{L"0", 30000},
                                   Setting{L"-5", 30000}, Setting{L"12s", 30000}, Setting{L"", 30000}})
    {
        CAPTURE(setting.deadline);
        SetEnvironmentVariableW(CKivUpdateChecker::kDeadlineVariable, setting.value);
        CHECK(CKivUpdateChecker::DefaultDeadlineMs() == setting.deadline);
        CHECK(CKivUpdateChecker(L"x").DeadlineMs() == setting.deadline);
    }
    SetEnvironmentVariableW(CKivUpdateChecker::kDeadlineVariable, nullptr);
}
