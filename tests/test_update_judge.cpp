// What a reply from the update server may do, without a network: web
// addresses in their canonical form and how redirects resolve, fields that
// match whole, what counts as an update document, when a fetched list may
// replace the local one, and the verdict the checker draws from a body.
#include <doctest.h>
#include "CKivUpdateChecker.h"
#include "CKivUpdateDocument.h"
#include "CKivUpdateList.h"
#include "CKivWebAddress.h"
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

CKivUpdateList ListOf(const std::string& text)
{
    CKivUpdateList list;
    REQUIRE(list.Parse(text.data(), text.size()));
    return list;
}

const std::string kList = "@KIV-1.0.0\r\n@http://updates.example/kiv/update.txt\r\n@list-7\r\n";

int Judge(const std::string& body, bool secure, std::wstring* text = nullptr)
{
    std::wstring fetched = L"(untouched)";
    const int code = CKivUpdateChecker::Judge(ListOf(kList), std::vector<char>(body.begin(), body.end()), secure, fetched);
    if (text != nullptr)
        *text = fetched;
    return code;
}

bool Accepts(const std::string& replacement, bool secure)
{
    return ListOf(kList).AcceptsReplacement(replacement.data(), replacement.size(), secure);
}

}  // namespace

TEST_CASE("web addresses are spelt canonically, with everything outside the URL character set escaped")
{
    struct Spelling
    {
        const wchar_t* given;
        const wchar_t* canonical;
    };
    for (const Spelling& spelling : {
             Spelling{L"http://127.0.0.1/kiv.zip", L"http://127.0.0.1/kiv.zip"},
             Spelling{L"HTTP://Updates.Example:80", L"http://updates.example/"},
             Spelling{L"https://updates.example:443/a?b=c&d=e#top", L"https://updates.example/a?b=c&d=e#top"},
             Spelling{L"http://updates.example:8080/a", L"http://updates.example:8080/a"},
             Spelling{L"http://h/get\"x|y^z<>`{}\\.zip", L"http://h/get%22x%7Cy%5Ez%3C%3E%60%7B%7D%5C.zip"},
             Spelling{L"http://h/%USERNAME%", L"http://h/%25USERNAME%25"},
             // Escapes of unreserved characters are read; others stay, in capitals.
             Spelling{L"http://h/%41%2f%2F%7e%", L"http://h/A%2F%2F~%25"},
             Spelling{L"http://h/\u4e0b\u8f7d.zip", L"http://h/%E4%B8%8B%E8%BD%BD.zip"},
             Spelling{L"http://h/a@b?c=d@e", L"http://h/a@b?c=d@e"},
         })
    {
        CAPTURE(Narrow(spelling.given));
        CKivWebAddress address;
        REQUIRE(address.Parse(spelling.given));
        CHECK(Narrow(address.Canonical()) == Narrow(spelling.canonical));
        // Canonical spelling is a fixed point.
        CHECK(CKivWebAddress::Canonicalise(address.Canonical()) == address.Canonical());
    }
    CKivWebAddress address;
    REQUIRE(address.Parse(L"https://Updates.Example:8443/dir/file.txt?x=1#frag"));
    CHECK(address.IsSecure());
    CHECK(address.Host() == L"updates.example");
    CHECK(address.Port() == 8443);
    CHECK(address.Object() == L"/dir/file.txt?x=1");

    for (const wchar_t* refused : {L"http://user@evil.example/", L"http://www.kiv.example@evil.example/kiv.zip",
                                   L"http://user:password@h/", L"http://@h/", L"http://h_b/", L"http://h b/",
                                   L"http://h/a b", L"http://h/a\r\nb", L"http://\u4e0b\u8f7d.example/",
                                   L"ftp://h/", L"file:///C:/windows/win.ini", L"file:update.txt", L"mailto:a@h",
                                   L"http:h/x", L"javascript:alert(1)", L"\\\\server\\share\\kiv.exe"})
    {
        CAPTURE(Narrow(refused));
        CHECK_FALSE(address.Parse(refused));
        CHECK(address.Canonical().empty());
        CHECK(CKivWebAddress::Canonicalise(refused).empty());
    }
    CHECK(address.Parse(L"http://h/" + std::wstring(CKivWebAddress::kMaxLength - 9, L'a')));
    CHECK_FALSE(address.Parse(L"http://h/" + std::wstring(CKivWebAddress::kMaxLength - 8, L'a')));
    // Escaping must not carry an address past the bound either.
    CHECK_FALSE(address.Parse(L"http://h/" + std::wstring(CKivWebAddress::kMaxLength / 2, L'"')));
}

TEST_CASE("a redirect's address resolves against the one redirected from and must be a web address")
{
    CKivWebAddress from;
    REQUIRE(from.Parse(L"https://updates.example/kiv/update.txt"));
    CKivWebAddress next;
    REQUIRE(from.Resolve(L"moved.txt", next));
    CHECK(next.Canonical() == L"https://updates.example/kiv/moved.txt");
    REQUIRE(from.Resolve(L"/other/update.txt?v=2", next));
    CHECK(next.Canonical() == L"https://updates.example/other/update.txt?v=2");
    REQUIRE(from.Resolve(L"http://127.0.0.1:8080/u.txt", next));
    CHECK(next.Canonical() == L"http://127.0.0.1:8080/u.txt");
    CHECK_FALSE(next.IsSecure());
    for (const wchar_t* refused : {L"ftp://updates.example/u.txt", L"file:///C:/windows/win.ini", L"", L"http://a@b/"})
    {
        CAPTURE(Narrow(refused));
        CHECK_FALSE(from.Resolve(refused, next));
    }
    CHECK_FALSE(from.Resolve(L"/" + std::wstring(CKivWebAddress::kMaxLength, L'x'), next));
}

TEST_CASE("markers match whole fields, never parts of one")
{
    const std::string text = "intro KIV-1.0.0 @KIV-1.0.0.1@Kiv 1.0.0.1@http://h/k.zip\r\n@list-7\r\nlist-8";
    const CKivUpdateDocument document(text.data(), text.size());
    CHECK(document.HasField(L"KIV-1.0.0.1"));
    CHECK(document.HasField(L"Kiv 1.0.0.1"));
    CHECK(document.HasField(L"http://h/k.zip"));
    CHECK(document.HasField(L"list-7"));
    CHECK_FALSE(document.HasField(L"KIV-1.0.0"));
    CHECK_FALSE(document.HasField(L"KIV-1.0"));
    CHECK_FALSE(document.HasField(L"1.0.0.1"));
    // Text before the first at sign or after a line end without one is no field.
    CHECK_FALSE(document.HasField(L"intro KIV-1.0.0 "));
    CHECK_FALSE(document.HasField(L"list-8"));

    // A field that runs into the examined length may be the start of a longer one.
    const std::string cut = std::string(CKivUpdateDocument::kMaxText - 10, ' ') + "@KIV-1.0.0.1234";
    const CKivUpdateDocument longer(cut.data(), cut.size());
    CHECK_FALSE(longer.HasField(L"KIV-1.0.0"));
    CHECK_FALSE(longer.HasField(L"KIV-1.0.0.1234"));
    const std::string whole = std::string(CKivUpdateDocument::kMaxText - 10, ' ') + "@KIV-1.0.0";
    CHECK(CKivUpdateDocument(whole.data(), whole.size()).HasField(L"KIV-1.0.0"));
}

TEST_CASE("an update document is text whose first fields are a version, a name and a web address")
{
    const std::string gzip("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
    const std::string program("MZ\x90\x00\x03\x00@2.0@x@http://h/", 20);
    for (const std::string& bytes : {gzip, program, std::string("@2.0@Kiv\x07@http://h/"), std::string(""),
                                     std::string("@2.0@Kiv@http://h/\x7f")})
    {
        CAPTURE(bytes.size());
        CHECK_FALSE(CKivUpdateDocument::IsText(bytes.data(), bytes.size()));
    }
    const std::string text = "@2.0@Kiv 2.0\t(\xd0\xc2)@http://h/k.zip\r\n";
    CHECK(CKivUpdateDocument::IsText(text.data(), text.size()));

    for (const wchar_t* version : {L"2.0", L"KIV-1.0.0.1", L"2.0 beta (3)", L"1", L"v2_0+1"})
    {
        CAPTURE(Narrow(version));
        CHECK(CKivUpdateDocument::IsVersion(version));
    }
    for (const wchar_t* version : {L"", L"beta", L" 2.0", L"2.0 ", L"2.0</p>", L"2.0;rm", L"\u7248\u672c2",
                                   L"123456789012345678901234567890123"})
    {
        CAPTURE(Narrow(version));
        CHECK_FALSE(CKivUpdateDocument::IsVersion(version));
    }
    for (const wchar_t* name : {L"Kiv 2.0", L"\u76ae\u80a4\u5f15\u64ce 2.0", L"x"})
        CHECK(CKivUpdateDocument::IsName(name));
    for (const wchar_t* name : {L"", L"   ", L"<b>Kiv</b>", L"a\tb"})
    {
        CAPTURE(Narrow(name));
        CHECK_FALSE(CKivUpdateDocument::IsName(name));
    }
    CHECK_FALSE(CKivUpdateDocument::IsName(std::wstring(CKivUpdateDocument::kMaxName + 1, L'n')));

    for (const char* announcing : {"@2.0@Kiv 2.0@http://h/k.zip", "@2.0@Kiv 2.0@https://h/k.zip@more\r\n"})
    {
        CAPTURE(announcing);
        CHECK(CKivUpdateDocument(announcing, strlen(announcing)).AnnouncesVersion());
    }
    for (const char* not_announcing : {"", "@2.0", "@2.0@Kiv 2.0", "@2.0@@http://h/k.zip", "@@Kiv@http://h/k.zip",
                                       "@2.0@Kiv 2.0@C:\\windows\\system32\\winver.exe", "@2.0@Kiv 2.0@ftp://h/k.zip",
                                       "<html><p>mail admin@portal.example</p></html>"})
    {
        CAPTURE(not_announcing);
        CHECK_FALSE(CKivUpdateDocument(not_announcing, strlen(not_announcing)).AnnouncesVersion());
    }
}

TEST_CASE("a fetched list replaces the local one only with a short web address on the same host, unless over https")
{
    CHECK(Accepts("@KIV-1.0.0\r\n@http://updates.example/kiv/v2.txt\r\n@list-8\r\n", false));
    CHECK(Accepts("@KIV-1.0.0\n@http://UPDATES.example:8080/v2.txt\n@list-8", false));
    CHECK(Accepts("@KIV-1.0.0\r\n@https://updates.example/v2.txt\r\n@list-8\r\n", false));
    // Another host only when every step came over https.
    const std::string elsewhere = "@KIV-1.0.0\r\n@https://mirror.example/update.txt\r\n@list-8\r\n";
    CHECK_FALSE(Accepts(elsewhere, false));
    CHECK(Accepts(elsewhere, true));
    CHECK_FALSE(Accepts("@KIV-1.0.0\r\n@http://evil.example/update.txt\r\n@list-8\r\n", false));
    for (const std::string& address :
         {std::string("ftp://updates.example/u.txt"), std::string("file:///C:/windows/win.ini"), std::string("file:u.txt"),
          std::string("updates.example/u.txt"), std::string("http://a@updates.example/u.txt"),
          std::string("http://updates.example/") + std::string(300, 'p')})
    {
        CAPTURE(address);
        for (bool secure : {false, true})
            CHECK_FALSE(Accepts("@KIV-1.0.0\r\n@" + address + "\r\n@list-8\r\n", secure));
    }
    // No line may be cut to fit, and the address must fit once canonical.
    CHECK_FALSE(Accepts("@" + std::string(300, 'v') + "\r\n@http://updates.example/u.txt\r\n@list-8\r\n", true));
    CHECK(Accepts("@KIV\r\n@http://updates.example/" + std::string(200, 'p') + "\r\n@list-8\r\n", false));
    CHECK_FALSE(Accepts("@KIV\r\n@http://updates.example/" + std::string(200, '"') + "\r\n@list-8\r\n", false));
    CHECK_FALSE(Accepts("@KIV-1.0.0\r\n@http://updates.example/u.txt\r\n@list-8\r\n@extra\r\n", false));
}

TEST_CASE("the verdict on a fetched body: newer version, no updates, a new list, or a malformed reply")
{
    std::wstring text;
    CHECK(Judge("@2.0@Kiv 2.0@http://h/k.zip\r\n", false, &text) == CKivUpdateChecker::kNewVersion);
    CHECK(text == L"@2.0@Kiv 2.0@http://h/k.zip\r\n");
    // The installed marker as part of a longer version is no match.
    CHECK(Judge("@KIV-1.0.0.1@Kiv 1.0.0.1@http://h/k.zip", false) == CKivUpdateChecker::kNewVersion);
    CHECK(Judge(kList, false) == CKivUpdateChecker::kNoUpdates);
    CHECK(Judge("@KIV-1.0.0\r\n@http://updates.example/kiv/v2.txt\r\n@list-8\r\n", false) ==
          CKivUpdateChecker::kListReplaced);
    for (const std::string& malformed :
         {std::string("\x1f\x8b\x08\x00\x00", 5), std::string("MZ\x90\x00", 4), std::string("<html>portal</html>"),
          std::string("@KIV-1.0.0@notes"), std::string("@KIV-1.0.0\r\n@http://evil.example/u.txt\r\n@list-8\r\n"),
          std::string("@KIV-1.0.0\r\n@ftp://updates.example/u.txt\r\n@list-8\r\n"), std::string("@2.0@Kiv 2.0@file:///C:/x"),
          std::string("")})
    {
        CAPTURE(malformed);
        text = L"(untouched)";
        CHECK(Judge(malformed, false, &text) == CKivUpdateChecker::kSizeUnknown);
        CHECK(text == L"(untouched)");
    }
    CHECK(Judge("@KIV-1.0.0\r\n@https://mirror.example/u.txt\r\n@list-8\r\n", true) == CKivUpdateChecker::kListReplaced);
}
