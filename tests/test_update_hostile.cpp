// KivUpdate.exe against a hostile server on 127.0.0.1: servers that hold a
// check (silent, dripping, flooding with headers, redirecting in a loop),
// replies that would re-point the update list, bytes that are no update
// document, and download addresses made to break the shell's quoting. Each
// case asserts the outcome, the time to it, the update list unchanged and
// nothing written to WinINet's cache. The check's deadline is shortened
// through the environment, except in the one case that holds the real one.
#include <doctest.h>
#include "KivHttpTestServer.h"
#include "KivTestSupport.h"
#include "KivUpdateCacheProbe.h"
#include "KivUpdateProgram.h"
#include "KivUpdateRes.h"
#include "KivUpdateTestSetup.h"
#include <string>
#include <vector>

namespace {

using kivtest::KivHttpTestServer;
using kivtest::KivUpdateCacheProbe;
using Program = kivtest::KivUpdateProgram;
using Setup = kivtest::KivUpdateTestSetup;

const wchar_t kDeadlineVariable[] = L"KIV_UPDATE_DEADLINE_MS";
// The deadline the hostile cases run with.
const DWORD kDeadlineMs = 4000;
// The program's start and skin load before its check begins, on a loaded machine.
const DWORD kStartSlackMs = 4000;
// How long a test waits for an outcome before it gives up on it.
const DWORD kOutcomeWaitMs = kDeadlineMs + kStartSlackMs + 8000;
const DWORD kCancelBoundMs = 2500;

const wchar_t kUnreachable[] = L"更新有错误. 错误：5";
const wchar_t kMalformed[] = L"更新有错误. 错误：6";

// What a case saw, for the figures printed with each run.
void Report(const char* name, const std::wstring& outcome, ULONGLONG ms)
{
    MESSAGE("case: " << std::string(name) << " | " << ms << " ms | " << kivtest::KivUpdateTestSetup::Utf8(outcome));
}

// The list as written and no file added to WinINet's cache, nor an entry
// for any of the server's addresses (an entry left from an earlier run on
// the same port is removed first).
class Untouched
{
public:
    explicit Untouched(Setup& setup) : m_setup(setup)
    {
        for (const wchar_t* path : {L"/update.txt", L"/a", L"/b", L"/c"})
            KivUpdateCacheProbe::Forget(setup.Server().Url(path));
        m_cacheFiles = KivUpdateCacheProbe::FileCount();
    }
    void Check(const std::vector<std::wstring>& urls) const
    {
        CHECK(m_setup.Folder().ReadList() == m_setup.List());
        CHECK(m_setup.Folder().StrayConfigFiles() == 0);
        CHECK(KivUpdateCacheProbe::FileCount() == m_cacheFiles);
        for (const std::wstring& url : urls)
        {
            CAPTURE(Setup::Narrow(url));
            CHECK_FALSE(KivUpdateCacheProbe::HasEntry(url));
        }
    }

private:
    const Setup& m_setup;
    int m_cacheFiles = 0;
};

// Runs the program against the setup's server and returns the first line of
// its outcome, having checked the list and the cache.
std::wstring Outcome(Setup& setup, const char* name, std::wstring* text = nullptr)
{
    const Untouched untouched(setup);
    Program program(setup.Folder());
    const std::wstring shown = program.Outcome(kOutcomeWaitMs);
    Report(name, shown, program.OutcomeMs());
    MESSAGE("requests: " << setup.Server().Requests());
    untouched.Check({setup.Server().Url()});
    CHECK(program.Close() == 0);
    if (text != nullptr)
        *text = shown;
    return shown.substr(0, shown.find(L"\r\n"));
}

KivHttpTestServer::Reply Silent()
{
    KivHttpTestServer::Reply reply;
    reply.silent = true;
    return reply;
}

KivHttpTestServer::Reply Dripping(bool bodyOnly)
{
    KivHttpTestServer::Reply reply = Setup::Serving("@2.0@Kiv 2.0@http://127.0.0.1/kiv-2.0.zip\r\n" + std::string(200, ' '));
    reply.dripMs = 1000;
    reply.dripBodyOnly = bodyOnly;
    return reply;
}

KivHttpTestServer::Reply Flooding()
{
    KivHttpTestServer::Reply reply = Setup::Serving("@2.0@Kiv 2.0@http://127.0.0.1/kiv-2.0.zip\r\n");
    reply.headerFlood = 64u << 20;
    return reply;
}

KivHttpTestServer::Reply Redirect(const std::wstring& to, int status = 302)
{
    KivHttpTestServer::Reply reply = Setup::Serving("moved", status);
    reply.headers = "Location: " + Setup::Narrow(to) + "\r\n";
    return reply;
}

}  // namespace

TEST_CASE("a server that holds the check ends it at the deadline, as an unreachable server")
{
    const kivtest::KivScopedEnvironment deadline(kDeadlineVariable, std::to_wstring(kDeadlineMs));
    struct Hostile
    {
        const char* name;
        KivHttpTestServer::Reply reply;
    };
    for (const Hostile& hostile : {Hostile{"silent server", Silent()}, Hostile{"head and body dripped 1 byte/s", Dripping(false)},
                                   Hostile{"body dripped 1 byte/s", Dripping(true)}})
    {
        CAPTURE(hostile.name);
        Setup setup(hostile.reply);
        const Untouched untouched(setup);
        Program program(setup.Folder());
        const std::wstring shown = program.Outcome(kOutcomeWaitMs);
        Report(hostile.name, shown, program.OutcomeMs());
        CHECK(shown.substr(0, shown.find(L"\r\n")) == kUnreachable);
        CHECK(program.OutcomeMs() >= kDeadlineMs);
        CHECK(program.OutcomeMs() <= kDeadlineMs + kStartSlackMs);
        CHECK(setup.Server().Requests() == 1);
        // Idle again, and nothing of the check is left running.
        CHECK(program.Enabled(IDC_CHECK_UPDATE));
        CHECK(kivtest::PumpUntil([&] { return program.Children() == 0; }, 5000));
        untouched.Check({setup.Server().Url()});
        const long closeMs = program.CloseMs();
        CHECK(closeMs >= 0);
        CHECK(closeMs <= static_cast<long>(kCancelBoundMs));
    }
}

TEST_CASE("header lines: too many are a malformed reply, and a flood is cut off before it fills the memory")
{
    const kivtest::KivScopedEnvironment deadline(kDeadlineVariable, std::to_wstring(kDeadlineMs));
    for (size_t headerBytes : {size_t(256) << 10, size_t(64) << 20})
    {
        CAPTURE(headerBytes);
        KivHttpTestServer::Reply reply = Flooding();
        reply.headerFlood = headerBytes;
        Setup setup(reply);
        const Untouched untouched(setup);
        Program program(setup.Folder());
        const std::wstring shown = program.Outcome(kOutcomeWaitMs);
        Report(headerBytes > (1u << 20) ? "64 MiB of header lines" : "256 KiB of header lines", shown, program.OutcomeMs());
        MESSAGE("peak memory of the program: " << program.PeakMemory() / (1024 * 1024) << " MiB; server sent "
                                              << setup.Server().SentBytes() / 1024 << " KiB");
        // A little is refused once it has come; a flood is cut off by the
        // fetch's memory bound or, where it grows slower, by the deadline.
        const std::wstring line = shown.substr(0, shown.find(L"\r\n"));
        if (headerBytes < (1u << 20))
            CHECK(line == kMalformed);
        else
            CHECK((line == kMalformed || line == kUnreachable));
        CHECK(program.OutcomeMs() <= kDeadlineMs + kStartSlackMs);
        CHECK(program.PeakMemory() < 64u * 1024 * 1024);
        CHECK(kivtest::PumpUntil([&] { return program.Children() == 0; }, 5000));
        untouched.Check({setup.Server().Url()});
        CHECK(program.Close() == 0);
    }
}

TEST_CASE("cancelling while a hostile server holds the check ends the program within 2.5 s")
{
    const kivtest::KivScopedEnvironment deadline(kDeadlineVariable, L"");
    // (A flood of header lines may meet the fetch's memory bound before the
    // close: it is not a case of a held check.)
    for (const KivHttpTestServer::Reply& reply : {Silent(), Dripping(false), Dripping(true)})
    {
        Setup setup(reply);
        const Untouched untouched(setup);
        Program program(setup.Folder());
        REQUIRE(kivtest::PumpUntil([&] { return setup.Server().Requests() == 1; }, 20000));
        // Well into the check: the server has begun to answer, or to hold back.
        kivtest::PumpUntil([] { return false; }, 1500);
        CHECK(program.Text() == Program::kChecking);
        // The fetch runs in a child of the program, which must go with it.
        CHECK(program.Children() == 1);
        const long closeMs = program.CloseMs(15000);
        MESSAGE("closed " << closeMs << " ms after the close command");
        CHECK(closeMs >= 0);
        CHECK(closeMs <= static_cast<long>(kCancelBoundMs));
        CHECK(kivtest::PumpUntil([&] { return program.Children() == 0; }, 5000));
        untouched.Check({setup.Server().Url()});
    }
}

TEST_CASE("the real deadline: a silent server is reported unreachable after 30 s")
{
    const kivtest::KivScopedEnvironment deadline(kDeadlineVariable, L"");
    Setup setup(Silent());
    const Untouched untouched(setup);
    Program program(setup.Folder());
    const std::wstring line = program.OutcomeLine(30000 + kStartSlackMs + 10000);
    Report("silent server, default deadline", line, program.OutcomeMs());
    CHECK(line == kUnreachable);
    CHECK(program.OutcomeMs() >= 30000);
    CHECK(program.OutcomeMs() <= 30000 + kStartSlackMs);
    untouched.Check({setup.Server().Url()});
    CHECK(program.Close() == 0);
}

TEST_CASE("redirects: a handful are followed, a loop or a step off the web is refused")
{
    const kivtest::KivScopedEnvironment deadline(kDeadlineVariable, std::to_wstring(kDeadlineMs));
    SUBCASE("three redirects to the document")
    {
        Setup setup(Setup::Serving(""));
        KivHttpTestServer& server = setup.Server();
        const std::wstring address = server.Url(L"/kiv-2.0.zip");
        server.SetReply("/update.txt", Redirect(server.Url(L"/a"), 301));
        server.SetReply("/a", Redirect(L"/b"));
        server.SetReply("/b", Redirect(server.Url(L"/c"), 307));
        server.SetReply("/c", Setup::Serving("@2.0@Kiv 2.0@" + Setup::Narrow(address) + "\r\n"));
        const Untouched untouched(setup);
        Program program(setup.Folder());
        const std::wstring line = program.OutcomeLine(kOutcomeWaitMs);
        Report("three redirects", line, program.OutcomeMs());
        CHECK(line == L"有更新版本（2.0），请手动下载.");
        CHECK(server.Requests() == 4);
        untouched.Check({server.Url(), server.Url(L"/a"), server.Url(L"/b"), server.Url(L"/c")});
        CHECK(program.Close() == 0);
    }
    SUBCASE("a redirect to itself")
    {
        // Room for many more requests than may come.
        Setup setup(Setup::Serving(""), 64);
        setup.Server().SetReply(Redirect(setup.Server().Url()));
        CHECK(Outcome(setup, "redirect to itself") == kUnreachable);
        MESSAGE("requests: " << setup.Server().Requests());
        CHECK(setup.Server().Requests() >= 2);
        CHECK(setup.Server().Requests() <= 6);
    }
    SUBCASE("redirects to other schemes")
    {
        for (const wchar_t* to : {L"ftp://127.0.0.1/update.txt", L"file:///C:/windows/win.ini"})
        {
            CAPTURE(Setup::Narrow(to));
            Setup setup(Redirect(to));
            CHECK(Outcome(setup, "redirect off the web") == kUnreachable);
            CHECK(setup.Server().Requests() == 1);
        }
    }
}

TEST_CASE("a reply may replace the list only with a short web address on the list's own host")
{
    const kivtest::KivScopedEnvironment deadline(kDeadlineVariable, std::to_wstring(kDeadlineMs));
    const std::string longPath = "/" + std::string(300, 'p') + ".txt";
    for (const std::string& address :
         {std::string("http://example.invalid/update.txt"), std::string("https://example.invalid/update.txt"),
          std::string("ftp://127.0.0.1/update.txt"), std::string("file:///C:/windows/win.ini"), std::string("file:update.txt"),
          std::string("http://127.0.0.1") + longPath})
    {
        CAPTURE(address);
        Setup setup(Setup::Serving(""));
        setup.Server().SetReply(Setup::Serving("@KivSkin 1.0\r\n@" + address + "\r\n@list-8\r\n"));
        CHECK(Outcome(setup, "re-pointing list") == kMalformed);
    }
}

TEST_CASE("only a well-formed update document announces a newer version")
{
    const kivtest::KivScopedEnvironment deadline(kDeadlineVariable, std::to_wstring(kDeadlineMs));
    struct NotADocument
    {
        const char* name;
        std::string body;
        std::string headers;
    };
    const std::string gzip("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03\x4b\x4c\x4a\x06\x00\xc2\x41\x24\x35\x03\x00\x00\x00", 23);
    const std::string program("MZ\x90\x00\x03\x00\x00\x00\x04\x00\x00\x00\xff\xff\x00\x00@2.0@x@http://127.0.0.1/", 40);
    for (const NotADocument& reply :
         {NotADocument{"gzip body", gzip, "Content-Encoding: gzip\r\n"}, NotADocument{"program bytes", program, ""},
          NotADocument{"portal page", "<html><body><h1>Sign in to the network</h1></body></html>\r\n", ""},
          NotADocument{"portal page with an e-mail address",
                       "<html><p>Write to admin@portal.example for access</p></html>\r\n", ""},
          NotADocument{"no name", "@2.0@@http://127.0.0.1/kiv.zip\r\n", ""},
          NotADocument{"no web address", "@2.0@Kiv 2.0@C:\\windows\\system32\\winver.exe\r\n", ""},
          NotADocument{"a script address", "@2.0@Kiv 2.0@javascript:alert(1)\r\n", ""},
          NotADocument{"plain text", "Service temporarily unavailable\r\n", ""}})
    {
        CAPTURE(reply.name);
        KivHttpTestServer::Reply served = Setup::Serving(reply.body);
        served.headers = reply.headers;
        Setup setup(served);
        CHECK(Outcome(setup, reply.name) == kMalformed);
    }
    SUBCASE("markers match whole fields: KIV-1.0.0.1 is not KIV-1.0.0")
    {
        Setup setup(Setup::Serving("@KIV-1.0.0.1@Kiv 1.0.0.1@http://127.0.0.1/kiv-1.0.0.1.zip\r\n"));
        REQUIRE(setup.WriteList(Setup::ListFor(setup.Server().Url(), "KIV-1.0.0")));
        CHECK(Outcome(setup, "longer version marker") == L"有更新版本（KIV-1.0.0.1），请手动下载.");
    }
}

TEST_CASE("the download address is shown and opened only in its canonical form")
{
    const kivtest::KivScopedEnvironment deadline(kDeadlineVariable, std::to_wstring(kDeadlineMs));
    Setup setup(Setup::Serving("@2.0@Kiv 2.0@http://127.0.0.1/get\"x|y^z&w=%USERNAME%<>`{}.zip\r\n"));
    std::wstring text;
    CHECK(Outcome(setup, "address with shell characters", &text) == L"有更新版本（2.0），请手动下载.");
    const std::wstring canonical = L"http://127.0.0.1/get%22x%7Cy%5Ez&w=%25USERNAME%25%3C%3E%60%7B%7D.zip";
    CHECK(text.find(L"\r\n    " + canonical + L"\r\n") != std::wstring::npos);
    for (const wchar_t* raw : {L"\"", L"|", L"^", L"%U", L"<", L"`"})
    {
        CAPTURE(Setup::Narrow(raw));
        CHECK(text.find(raw) == std::wstring::npos);
    }
}

TEST_CASE("an authentication page fails the request and is cached nowhere")
{
    const kivtest::KivScopedEnvironment deadline(kDeadlineVariable, std::to_wstring(kDeadlineMs));
    KivHttpTestServer::Reply reply = Setup::Serving("<html>401 @2.0@Kiv 2.0@http://127.0.0.1/x</html>", 401);
    reply.headers = "WWW-Authenticate: Basic realm=\"kiv\"\r\n";
    Setup setup(reply);
    CHECK(Outcome(setup, "401 page") == kUnreachable);
}

TEST_CASE("each outcome says in a second line what it means")
{
    const kivtest::KivScopedEnvironment deadline(kDeadlineVariable, std::to_wstring(kDeadlineMs));
    SUBCASE("no list: where the list lives")
    {
        Setup setup(Setup::Serving(""));
        REQUIRE(DeleteFileW(setup.Folder().ListPath().c_str()));
        Program program(setup.Folder());
        const std::wstring text = program.Outcome(kOutcomeWaitMs);
        Report("no update list", text, program.OutcomeMs());
        CHECK(text.rfind(L"更新有错误. 错误：4\r\n", 0) == 0);
        CHECK(text.find(setup.Folder().ListPath()) != std::wstring::npos);
        program.Shoot(L"update-error4-explained");
        CHECK(program.Close() == 0);
    }
    SUBCASE("unreachable, malformed")
    {
        std::wstring unreachable;
        Setup refused(Setup::Serving("", 404));
        CHECK(Outcome(refused, "404", &unreachable) == kUnreachable);
        std::wstring malformed;
        Setup portal(Setup::Serving("<html>portal</html>"));
        CHECK(Outcome(portal, "portal", &malformed) == kMalformed);
        const std::wstring unreachableLine = unreachable.substr(unreachable.find(L"\r\n") + 2);
        const std::wstring malformedLine = malformed.substr(malformed.find(L"\r\n") + 2);
        CHECK(unreachableLine.size() > 4);
        CHECK(malformedLine.size() > 4);
        CHECK(unreachableLine != malformedLine);
    }
}

TEST_CASE("a friendly server still gets its outcomes at once")
{
    const kivtest::KivScopedEnvironment deadline(kDeadlineVariable, L"");
    SUBCASE("a newer version")
    {
        Setup setup(Setup::Serving("@2.0@Kiv 2.0@http://127.0.0.1/kiv-2.0.zip\r\n"));
        CHECK(Outcome(setup, "friendly: newer version") == L"有更新版本（2.0），请手动下载.");
    }
    SUBCASE("no updates")
    {
        Setup setup(Setup::Serving(""));
        setup.Server().SetReply(Setup::Serving(setup.List()));
        CHECK(Outcome(setup, "friendly: no updates") == L"没有任何更新.");
    }
    SUBCASE("the list replaced")
    {
        Setup setup(Setup::Serving(""));
        const std::string moved = Setup::ListFor(setup.Server().Url(L"/v2.txt"), "KivSkin 1.0", "list-8");
        setup.Server().SetReply(Setup::Serving(moved));
        Program program(setup.Folder());
        const std::wstring shown = program.Outcome(kOutcomeWaitMs);
        Report("friendly: list replaced", shown, program.OutcomeMs());
        CHECK(shown.substr(0, shown.find(L"\r\n")) == L"配置文件已更新.");
        CHECK(setup.Folder().ReadList() == moved);
        CHECK(program.Close() == 0);
    }
    SUBCASE("nobody listening")
    {
        KivHttpTestServer::ClearProxySettings();
        kivtest::KivUpdateTestFolder folder;
        REQUIRE(folder.WriteList(Setup::ListFor(L"http://127.0.0.1:" + std::to_wstring(KivHttpTestServer::ClosedPort()) +
                                                L"/update.txt")));
        Program program(folder);
        const std::wstring shown = program.Outcome(kOutcomeWaitMs);
        Report("nobody listening", shown, program.OutcomeMs());
        CHECK(shown.substr(0, shown.find(L"\r\n")) == kUnreachable);
        CHECK(program.OutcomeMs() < kDeadlineMs);
        CHECK(program.Close() == 0);
    }
}
