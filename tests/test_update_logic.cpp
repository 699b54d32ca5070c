// The update checker's pieces without a network: the update list, the
// fetched document's fields, addresses, Content-Length values and the
// texts the dialog shows for each result. (What a hostile reply may and may
// not do is in test_update_judge.cpp.)
#include <doctest.h>
#include "CKivUpdateChecker.h"
#include "CKivUpdateDlg.h"
#include "CKivUpdateDocument.h"
#include "CKivUpdateFetch.h"
#include "CKivUpdateList.h"
#include "CKivWebAddress.h"
#include "KivTestSupport.h"
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

CKivUpdateList Parsed(const std::string& bytes, bool& ok)
{
    CKivUpdateList list;
    ok = list.Parse(bytes.data(), bytes.size());
    return list;
}

bool Parses(const std::string& bytes)
{
    bool ok = false;
    Parsed(bytes, ok);
    return ok;
}

bool WellFormed(const std::string& bytes)
{
    return CKivUpdateList::IsWellFormed(bytes.data(), bytes.size());
}

std::wstring Field(const wchar_t* text, int index)
{
    return CKivUpdateDocument::Field(text, index);
}

}  // namespace

TEST_CASE("the update list drops each line's end and first character, whatever the line ends")
{
    for (const char* end : {"\r\n", "\n", "\r"})
    {
        CAPTURE(std::string(end).size());
        const std::string text = std::string("@KivSkin 1.0") + end + "@http://127.0.0.1:8080/update.txt" + end +
                                 "@list 7" + end;
        bool ok = false;
        const CKivUpdateList list = Parsed(text, ok);
        REQUIRE(ok);
        CHECK(list.CurrentMarker() == L"KivSkin 1.0");
        CHECK(list.ListUrl() == L"http://127.0.0.1:8080/update.txt");
        CHECK(list.ListMarker() == L"list 7");
    }
    bool ok = false;
    const CKivUpdateList last = Parsed("@a\r\n@b\r\n@c", ok);
    CHECK(ok);
    CHECK(last.ListMarker() == L"c");
    const CKivUpdateList more = Parsed("@a\n@b\n@c\n@d\n", ok);
    CHECK(ok);
    CHECK(more.ListMarker() == L"c");
}

TEST_CASE("an update list without three lines holding a value counts as missing")
{
    CHECK_FALSE(Parses(""));
    CHECK_FALSE(Parses("@a\r\n@b"));
    CHECK_FALSE(Parses("@a\r\n@b\r\n"));
    CHECK_FALSE(Parses("@a\r\n\r\n@c\r\n"));
    // A prefix alone leaves an empty marker, which would match any document.
    CHECK_FALSE(Parses("@a\r\n@\r\n@c\r\n"));
    const std::string withNul("@a\r\n@b\0x\r\n@c\r\n", 13);
    CHECK_FALSE(Parses(withNul));
    bool ok = true;
    const CKivUpdateList failed = Parsed("@a\r\n@b", ok);
    CHECK_FALSE(ok);
    CHECK(failed.CurrentMarker().empty());
}

TEST_CASE("update list lines longer than 260 characters are cut")
{
    const std::string longLine = "@" + std::string(400, 'x');
    bool ok = false;
    const CKivUpdateList list = Parsed(longLine + "\n@b\n@c\n", ok);
    REQUIRE(ok);
    CHECK(list.CurrentMarker() == std::wstring(CKivUpdateList::kMaxLine - 1, L'x'));
}

TEST_CASE("only exactly three list lines, then nothing but line ends, are a list fit to replace the file")
{
    CHECK(WellFormed("@a\r\n@b\r\n@c"));
    CHECK(WellFormed("@a\r\n@b\r\n@c\r\n"));
    CHECK(WellFormed("@a\n@b\n@c\n\n\r\n"));
    CHECK_FALSE(WellFormed("@a\r\n@b\r\n@c\r\n@d"));
    CHECK_FALSE(WellFormed("@a\r\n@b\r\n@c\r\n\r\ntrailing"));
    CHECK_FALSE(WellFormed("@a\r\n@b\r\n"));
    CHECK_FALSE(WellFormed("<html>404</html>"));
}

TEST_CASE("the update list is read from config\\update.txt under the given folder")
{
    kivtest::TempDir dir;
    const std::wstring path = CKivUpdateList::PathIn(dir.Path());
    CHECK(path == dir.Path() + L"\\config\\update.txt");
    CKivUpdateList list;
    CHECK_FALSE(list.Load(path));
    REQUIRE(CreateDirectoryW((dir.Path() + L"\\config").c_str(), nullptr));
    const char text[] = "@1.0\r\n@http://127.0.0.1/u.txt\r\n@m\r\n";
    REQUIRE(kivtest::WriteFileBytes(path, text, strlen(text)));
    CHECK(list.Load(path));
    CHECK(list.ListUrl() == L"http://127.0.0.1/u.txt");
    REQUIRE(kivtest::WriteFileBytes(path, "", 0));
    CHECK_FALSE(list.Load(path));
    DeleteFileW(path.c_str());
    RemoveDirectoryW((dir.Path() + L"\\config").c_str());
}

TEST_CASE("document fields run from the n-th at sign to the next at sign, line end or end of text")
{
    const wchar_t* text = L"@2.0@notes@http://example.invalid/kiv.zip\r\n@more";
    CHECK(Field(text, 1) == L"2.0");
    CHECK(Field(text, 2) == L"notes");
    CHECK(Field(text, 3) == L"http://example.invalid/kiv.zip");
    CHECK(Field(text, 4) == L"more");
    CHECK(Field(text, 5).empty());
    CHECK(Field(text, 0).empty());
    CHECK(Field(L"@1.0\n@x", 1) == L"1.0");
    CHECK(Field(L"no at sign", 1).empty());
    CHECK(Field(L"@@@", 2).empty());
    CHECK(Field(L"", 1).empty());
}

TEST_CASE("the fetched document is examined as at most 1024 characters, stopping at a NUL byte")
{
    const std::string big(CKivUpdateDocument::kMaxBytes, 'a');
    const CKivUpdateDocument document(big.data(), big.size());
    CHECK(document.Text().size() == CKivUpdateDocument::kMaxText);

    const std::string withNul("@1.0\0@hidden", 12);
    const CKivUpdateDocument cut(withNul.data(), withNul.size());
    CHECK(cut.Text() == L"@1.0");
    CHECK(cut.HasField(L"1.0"));
    CHECK_FALSE(cut.HasField(L"hidden"));
    CHECK_FALSE(cut.HasField(L""));

    const CKivUpdateDocument empty(nullptr, 0);
    CHECK(empty.Text().empty());
    CHECK(CKivUpdateDocument::Widen("abc", 3, 2) == L"ab");
}

TEST_CASE("only http and https addresses count as download addresses")
{
    for (const wchar_t* good : {L"http://127.0.0.1/kiv.zip", L"https://example.invalid/a?b=c", L"HTTP://X"})
    {
        CAPTURE(std::wstring(good).size());
        CHECK(CKivWebAddress().Parse(good));
    }
    for (const wchar_t* bad : {L"", L"http://", L"https:///x", L"ftp://example.invalid/kiv.zip",
                               L"file:///C:/windows/system32/winver.exe", L"C:\\windows\\system32\\winver.exe",
                               L"winver.exe", L"javascript:alert(1)", L"http://a b", L"http://a\tb", L" http://a"})
    {
        CAPTURE(std::wstring(bad).size());
        CHECK_FALSE(CKivWebAddress().Parse(bad));
    }
}

TEST_CASE("Content-Length values are read as 64-bit numbers and saturate beyond")
{
    ULONGLONG length = 0xdeadbeef;
    CHECK(CKivUpdateFetch::ParseContentLength(L"123", length));
    CHECK(length == 123);
    CHECK(CKivUpdateFetch::ParseContentLength(L" 42 ", length));
    CHECK(length == 42);
    CHECK(CKivUpdateFetch::ParseContentLength(L"4294967294", length));
    CHECK(length == 4294967294ULL);
    CHECK(CKivUpdateFetch::ParseContentLength(L"999999999999999999999999999", length));
    CHECK(length == ~0ULL);
    for (const wchar_t* bad : {L"", L"-1", L"12a", L"a", L"1 2"})
    {
        CAPTURE(std::wstring(bad).size());
        CHECK_FALSE(CKivUpdateFetch::ParseContentLength(bad, length));
    }
    CHECK_FALSE(CKivUpdateFetch::ParseContentLength(nullptr, length));
}

TEST_CASE("each result code has its text and a line saying what it means; the download under way keeps the text")
{
    const std::wstring list = L"C:\\Kiv\\config\\update.txt";
    const std::wstring newer = CKivUpdateDlg::ResultText(1, L"2.0", L"http://h/k.zip", list);
    CHECK(newer.rfind(L"有更新版本（2.0），请手动下载.\r\n    http://h/k.zip\r\n", 0) == 0);
    CHECK(CKivUpdateDlg::ResultText(2, L"", L"", list).rfind(L"没有任何更新.\r\n", 0) == 0);
    CHECK(CKivUpdateDlg::ResultText(3, L"", L"", list).rfind(L"配置文件已更新.\r\n", 0) == 0);
    std::vector<std::wstring> meanings;
    for (int code : {1, 2, 3, 4, 5, 6, 8})
    {
        CAPTURE(code);
        const std::wstring text = CKivUpdateDlg::ResultText(code, L"2.0", L"http://h/k.zip", list);
        if (code >= 4)
            CHECK(text.rfind(L"更新有错误. 错误：" + std::to_wstring(code) + L"\r\n", 0) == 0);
        // One more line, and a different one for each outcome.
        const std::wstring meaning = text.substr(text.rfind(L"\r\n") + 2);
        CHECK(meaning.size() > 8);
        CHECK(std::find(meanings.begin(), meanings.end(), meaning) == meanings.end());
        meanings.push_back(meaning);
    }
    // A missing list names where the list lives.
    CHECK(CKivUpdateDlg::ResultText(4, L"", L"", list).find(list) != std::wstring::npos);
    CHECK(CKivUpdateDlg::ResultText(7, L"", L"", list).empty());
    CHECK(CKivUpdateDlg::ResultText(9, L"", L"", list) == L"更新有错误. 错误：9");
}
