// The .kiv container: header and section reading, packing, hostile headers.
#include <doctest.h>
#include "KivSkinFile.h"
#include "KivTestSupport.h"
#include <cstring>
#include <vector>

using Bytes = std::vector<unsigned char>;

namespace {

Bytes Header(int64_t settingsOffset, int64_t settingsSize, int64_t atlasOffset, int64_t atlasSize)
{
    const int64_t fields[4] = {settingsOffset, settingsSize, atlasOffset, atlasSize};
    Bytes bytes(32);
    memcpy(bytes.data(), fields, 32);
    return bytes;
}

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Section(const wchar_t* path, int kind)
{
    DWORD size = 0xdeadbeef;
    if (!kiv::GetSectionSize(path, kind, &size))
        return Bytes{0xEE};  // marks "refused"
    Bytes buffer(size + 1, 0xAB);
    if (!kiv::ReadSection(path, kind, buffer.data(), size))
        return Bytes{0xEE};
    CHECK(buffer.back() == 0xAB);  // nothing written past the section
    buffer.pop_back();
    return buffer;
}

const Bytes kRefused{0xEE};

}  // namespace

// A host that links the static library may have functions of these names of
// its own: with the library's in the global namespace this file would not
// link (two definitions of ReadHeader and the rest).
int g_hostCalls = 0;
bool ReadHeader(const wchar_t*, KivSkinFileHeader*) { return ++g_hostCalls > 0; }
bool ReadSection(const wchar_t*, int, void*, DWORD) { return ++g_hostCalls > 0; }
bool GetSectionSize(const wchar_t*, int, DWORD*) { return ++g_hostCalls > 0; }
bool KivFileExists(const wchar_t*) { return ++g_hostCalls > 0; }

TEST_CASE("a host's functions of the same names stay apart from the library's")
{
    kivtest::TempDir dir;
    const std::wstring absent = dir.File(L"absent.kiv");
    KivSkinFileHeader header = {};
    DWORD size = 0;
    char byte = 0;
    CHECK(ReadHeader(absent.c_str(), &header));
    CHECK(ReadSection(absent.c_str(), kKivSectionSettings, &byte, 1));
    CHECK(GetSectionSize(absent.c_str(), kKivSectionSettings, &size));
    CHECK(KivFileExists(absent.c_str()));
    CHECK(g_hostCalls == 4);
    CHECK_FALSE(kiv::ReadHeader(absent.c_str(), &header));
    CHECK_FALSE(kiv::ReadSection(absent.c_str(), kKivSectionSettings, &byte, 1));
    CHECK_FALSE(kiv::GetSectionSize(absent.c_str(), kKivSectionSettings, &size));
    CHECK_FALSE(kiv::KivFileExists(absent.c_str()));
    CHECK(g_hostCalls == 4);
}

TEST_CASE("reading well-formed and rearranged containers")
{
    kivtest::TempDir dir;
    const std::wstring path = dir.File(L"skin.kiv");
    const Bytes settings = {'s', 'e', 't'};
    const Bytes atlas = {'a', 't', 'l', 'a', 's'};

    SUBCASE("builder order")
    {
        REQUIRE(kivtest::WriteFileBytes(path, Concat(Concat(Header(32, 3, 35, 5), settings), atlas)));
        KivSkinFileHeader header = {};
        REQUIRE(kiv::ReadHeader(path.c_str(), &header));
        CHECK(header.settingsOffset == 32);
        CHECK(header.settingsSize == 3);
        CHECK(header.atlasOffset == 35);
        CHECK(header.atlasSize == 5);
        CHECK(Section(path.c_str(), 1) == settings);
        CHECK(Section(path.c_str(), 2) == atlas);
    }
    SUBCASE("reverse order, a gap and trailing bytes")
    {
        Bytes file = Header(32 + 7 + 5, 3, 32 + 7, 5);
        file.insert(file.end(), 7, 0x00);  // gap
        file = Concat(Concat(file, atlas), settings);
        file.insert(file.end(), 11, 0x77);  // trailing bytes
        REQUIRE(kivtest::WriteFileBytes(path, file));
        CHECK(Section(path.c_str(), 1) == settings);
        CHECK(Section(path.c_str(), 2) == atlas);
    }
    SUBCASE("kinds other than 1 and 2 are refused")
    {
        REQUIRE(kivtest::WriteFileBytes(path, Concat(Concat(Header(32, 3, 35, 5), settings), atlas)));
        Bytes buffer(16);
        CHECK_FALSE(kiv::ReadSection(path.c_str(), 0, buffer.data(), 16));
        CHECK_FALSE(kiv::ReadSection(path.c_str(), 3, buffer.data(), 16));
    }
    SUBCASE("a 32-byte file with empty sections reads both as empty")
    {
        REQUIRE(kivtest::WriteFileBytes(path, Header(32, 0, 32, 0)));
        CHECK(Section(path.c_str(), 1).empty());
        CHECK(Section(path.c_str(), 2).empty());
    }
}

TEST_CASE("hostile headers are refused without reading out of bounds")
{
    kivtest::TempDir dir;
    const std::wstring path = dir.File(L"bad.kiv");
    const Bytes body(64, 0x11);
    KivSkinFileHeader header;

    SUBCASE("missing file")
    {
        CHECK_FALSE(kiv::ReadHeader(dir.File(L"absent.kiv").c_str(), &header));
        CHECK(Section(dir.File(L"absent.kiv").c_str(), 1) == kRefused);
    }
    SUBCASE("header shorter than 32 bytes")
    {
        REQUIRE(kivtest::WriteFileBytes(path, Bytes(31, 0)));
        CHECK_FALSE(kiv::ReadHeader(path.c_str(), &header));
        CHECK(Section(path.c_str(), 1) == kRefused);
    }
    SUBCASE("negative offset or size")
    {
        REQUIRE(kivtest::WriteFileBytes(path, Concat(Header(-8, 16, 32, -16), body)));
        CHECK(Section(path.c_str(), 1) == kRefused);
        CHECK(Section(path.c_str(), 2) == kRefused);
    }
    SUBCASE("offset or size beyond the file")
    {
        REQUIRE(kivtest::WriteFileBytes(path, Concat(Header(32, 65, 1000, 1), body)));
        CHECK(Section(path.c_str(), 1) == kRefused);
        CHECK(Section(path.c_str(), 2) == kRefused);
    }
    SUBCASE("sizes beyond 32 bits and sums that overflow")
    {
        REQUIRE(kivtest::WriteFileBytes(path, Concat(Header(32, 0x100000000LL, INT64_MAX, INT64_MAX), body)));
        CHECK(Section(path.c_str(), 1) == kRefused);
        CHECK(Section(path.c_str(), 2) == kRefused);
        Bytes big(16);
        CHECK_FALSE(kiv::ReadSection(path.c_str(), 1, big.data(), 16));
    }
    SUBCASE("null arguments")
    {
        REQUIRE(kivtest::WriteFileBytes(path, Concat(Header(32, 4, 36, 4), body)));
        CHECK_FALSE(kiv::ReadHeader(nullptr, &header));
        CHECK_FALSE(kiv::ReadHeader(path.c_str(), nullptr));
        CHECK_FALSE(kiv::ReadSection(path.c_str(), 1, nullptr, 16));
    }
}

TEST_CASE("packing")
{
    kivtest::TempDir dir;
    const std::wstring settings = dir.File(L"s.xml");
    const std::wstring atlas = dir.File(L"s.bmp");
    const std::wstring output = dir.File(L"s.kiv");

    SUBCASE("two one-byte inputs give a 34-byte file")
    {
        REQUIRE(kivtest::WriteFileBytes(settings, Bytes{0x41}));
        REQUIRE(kivtest::WriteFileBytes(atlas, Bytes{0x42}));
        REQUIRE(kiv::PackSkinFile(output.c_str(), settings.c_str(), atlas.c_str()));
        const Bytes packed = kivtest::ReadFileBytes(output);
        REQUIRE(packed.size() == 34);
        KivSkinFileHeader header = {};
        REQUIRE(kiv::ReadHeader(output.c_str(), &header));
        CHECK(header.settingsOffset == 32);
        CHECK(header.settingsSize == 1);
        CHECK(header.atlasOffset == 33);
        CHECK(header.atlasSize == 1);
        CHECK(packed[32] == 0x41);
        CHECK(packed[33] == 0x42);
    }
    SUBCASE("large inputs survive the copy")
    {
        Bytes a(100000), b(70001);
        for (size_t i = 0; i < a.size(); ++i)
            a[i] = static_cast<unsigned char>(i * 13);
        for (size_t i = 0; i < b.size(); ++i)
            b[i] = static_cast<unsigned char>(i * 31 + 5);
        REQUIRE(kivtest::WriteFileBytes(settings, a));
        REQUIRE(kivtest::WriteFileBytes(atlas, b));
        REQUIRE(kiv::PackSkinFile(output.c_str(), settings.c_str(), atlas.c_str()));
        CHECK(Section(output.c_str(), 1) == a);
        CHECK(Section(output.c_str(), 2) == b);
    }
    SUBCASE("missing or empty inputs fail")
    {
        REQUIRE(kivtest::WriteFileBytes(settings, Bytes{0x41}));
        CHECK_FALSE(kiv::PackSkinFile(output.c_str(), settings.c_str(), atlas.c_str()));
        REQUIRE(kivtest::WriteFileBytes(atlas, Bytes{}));
        CHECK_FALSE(kiv::PackSkinFile(output.c_str(), settings.c_str(), atlas.c_str()));
    }
}
