// Skin load: atlas checks, atlas lifetime, order of the load's steps.
#include <doctest.h>
#include "CKivSkinStore.h"
#include "KivSkinFile.h"
#include "KivSkinTestImages.h"
#include "KivTestSupport.h"
#include <climits>
#include <cstring>
#include <string>

using kivtest::Bytes;
using kivtest::GetU32;
using kivtest::MakeBmp;
using kivtest::MakeBmp32;
using kivtest::PutU16;
using kivtest::PutU32;
using kivtest::SettingsXml;

namespace {

const Bytes kXml = SettingsXml("<WindowEdge><CaptionBar><Height value=\"30\"/></CaptionBar></WindowEdge>");

// Offsets of info header fields inside a BMP file image.
const size_t kBfSize = 2;
const size_t kBfOffBits = 10;
const size_t kBiSize = 14;
const size_t kBiWidth = 18;
const size_t kBiHeight = 22;
const size_t kBiPlanes = 26;
const size_t kBiBitCount = 28;
const size_t kBiCompression = 30;

class SkinFile
{
public:
    SkinFile() : m_path(m_dir.File(L"skin.kiv")) {}
    const wchar_t* Write(const Bytes& file)
    {
        REQUIRE(kivtest::WriteFileBytes(m_path, file));
        return m_path.c_str();
    }
    const wchar_t* WriteSkin(const Bytes& atlas, const Bytes& xml = kXml)
    {
        return Write(kivtest::MakeSkinFile(xml, atlas));
    }

private:
    kivtest::TempDir m_dir;
    std::wstring m_path;
};

// Atlas creation straight from a plain image, starting from an empty store.
HBITMAP Create(const Bytes& image)
{
    CKivSkinStore::DeleteAtlas();
    return CKivSkinStore::CreateAtlas(image.data(), image.size());
}

COLORREF PixelAt(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

}  // namespace

TEST_CASE("a good skin gives an atlas whose top-left pixel is the first byte of the last row")
{
    SkinFile file;
    // 3x2, 32 bits: bottom row first in the file.
    Bytes image = MakeBmp(3, 2, 32, [](size_t i) { return static_cast<unsigned>(i); });
    CHECK(CKivSkinStore::LoadSkin(file.WriteSkin(image)));
    HBITMAP atlas = CKivSkinStore::Atlas();
    REQUIRE(atlas != nullptr);
    BITMAP info = {};
    REQUIRE(GetObjectW(atlas, sizeof(info), &info) == sizeof(info));
    CHECK(info.bmWidth == 3);
    CHECK(info.bmHeight == 2);
    CHECK(info.bmBitsPixel == 32);
    // Top row = file bytes 12..23; pixel (0,0) is B=12, G=13, R=14.
    CHECK(PixelAt(atlas, 0, 0) == RGB(14, 13, 12));
    CHECK(PixelAt(atlas, 2, 1) == RGB(10, 9, 8));
    CHECK(CKivSkinStore::Settings().captionBarHeight == 30);
}

TEST_CASE("the colour table between header and pixels reaches the platform")
{
    // 2x1, 8 bits, two colours: index 1 is pure red, index 0 pure blue.
    Bytes image = MakeBmp(2, 1, 8, [](size_t i) { return i == 1 ? 1u : 0u; }, -1, 2);
    PutU32(image, 54, 0x000000FF);  // blue
    PutU32(image, 58, 0x00FF0000);  // red
    HBITMAP atlas = Create(image);
    REQUIRE(atlas != nullptr);
    CHECK(PixelAt(atlas, 0, 0) == RGB(0, 0, 255));
    CHECK(PixelAt(atlas, 1, 0) == RGB(255, 0, 0));
}

TEST_CASE("atlas creation refuses images that fail a check, and a load carrying one fails")
{
    SkinFile file;
    const Bytes good = MakeBmp32(3, 2);
    REQUIRE(Create(good) != nullptr);

    SUBCASE("file size field one off")
    {
        Bytes bigger = good;
        PutU32(bigger, kBfSize, GetU32(good, kBfSize) + 1);
        Bytes smaller = good;
        PutU32(smaller, kBfSize, GetU32(good, kBfSize) - 1);
        CHECK(Create(bigger) == nullptr);
        CHECK(Create(smaller) == nullptr);
        CHECK_FALSE(CKivSkinStore::LoadSkin(file.WriteSkin(bigger)));
        CHECK(CKivSkinStore::Atlas() == nullptr);
    }
    SUBCASE("124-byte info header")
    {
        Bytes v5 = good;
        PutU32(v5, kBiSize, 124);
        CHECK(Create(v5) == nullptr);
        Bytes core = good;
        PutU32(core, kBiSize, 12);
        CHECK(Create(core) == nullptr);
    }
    SUBCASE("pixel area shorter than row length times height")
    {
        const Bytes short20 = MakeBmp(3, 2, 32, [](size_t) { return 1u; }, 20);
        CHECK(Create(short20) == nullptr);
        CHECK_FALSE(CKivSkinStore::LoadSkin(file.WriteSkin(short20)));
        CHECK(CKivSkinStore::Atlas() == nullptr);
        // 24-bit rows pad to 4 bytes: 3 pixels need 12, not 9, per row.
        CHECK(Create(MakeBmp(3, 2, 24, [](size_t) { return 1u; }, 18)) == nullptr);
        CHECK(Create(MakeBmp(3, 2, 24, [](size_t) { return 1u; }, 24)) != nullptr);
    }
    SUBCASE("file type and pixel offset")
    {
        Bytes notBm = good;
        notBm[0] = 'M';
        notBm[1] = 'B';
        CHECK(Create(notBm) == nullptr);
        Bytes lowOffset = good;
        PutU32(lowOffset, kBfOffBits, 53);
        CHECK(Create(lowOffset) == nullptr);
        Bytes pastEnd = good;
        PutU32(pastEnd, kBfOffBits, static_cast<uint32_t>(good.size() + 1));
        CHECK(Create(pastEnd) == nullptr);
        CHECK(Create(Bytes(good.begin(), good.begin() + 20)) == nullptr);
        CHECK(CKivSkinStore::CreateAtlas(nullptr, 100) == nullptr);
        CHECK(CKivSkinStore::CreateAtlas(good.data(), 0) == nullptr);
    }
    SUBCASE("an existing atlas is never replaced by creation alone")
    {
        HBITMAP first = CKivSkinStore::Atlas();
        CHECK(CKivSkinStore::CreateAtlas(good.data(), good.size()) == nullptr);
        CHECK(CKivSkinStore::Atlas() == first);
    }
}

TEST_CASE("header fields that would make the platform allocate more than the image carries are refused")
{
    const Bytes good = MakeBmp32(4, 4);
    struct Lie
    {
        const char* what;
        size_t at;
        uint32_t value;
        bool isShort;
    } const lies[] = {
        {"huge width", kBiWidth, 0x7FFFFFFF, false},
        {"huge height", kBiHeight, 0x7FFFFFFF, false},
        {"most negative height", kBiHeight, 0x80000000u, false},
        {"negative width", kBiWidth, 0xFFFFFFFCu, false},
        {"zero width", kBiWidth, 0, false},
        {"zero height", kBiHeight, 0, false},
        {"two planes", kBiPlanes, 2, true},
        {"bit count 7", kBiBitCount, 7, true},
        {"bit count 64", kBiBitCount, 64, true},
        {"run-length compression", kBiCompression, BI_RLE8, false},
        {"jpeg compression", kBiCompression, BI_JPEG, false},
        {"bitfields without masks", kBiCompression, BI_BITFIELDS, false},
    };
    for (const Lie& lie : lies)
    {
        CAPTURE(lie.what);
        Bytes image = good;
        if (lie.isShort)
            PutU16(image, lie.at, static_cast<uint16_t>(lie.value));
        else
            PutU32(image, lie.at, lie.value);
        CHECK(Create(image) == nullptr);
    }
    // 65536 x 65536 at 8 bits is 4 GiB: zero in 32-bit arithmetic.
    Bytes wrap = MakeBmp(4, 4, 8, [](size_t) { return 0u; });
    PutU32(wrap, kBiWidth, 65536);
    PutU32(wrap, kBiHeight, 65536);
    CHECK(Create(wrap) == nullptr);
    // 0x40000001 x 4 bytes wraps to 4 in 32 bits.
    Bytes wrapRow = MakeBmp32(1, 1);
    PutU32(wrapRow, kBiWidth, 0x40000001);
    CHECK(Create(wrapRow) == nullptr);
}

TEST_CASE("top-down images keep their orientation")
{
    Bytes image = MakeBmp(1, -2, 32, [](size_t i) { return i < 4 ? 0x40u : 0x80u; });
    HBITMAP atlas = Create(image);
    REQUIRE(atlas != nullptr);
    CHECK(PixelAt(atlas, 0, 0) == RGB(0x40, 0x40, 0x40));
    CHECK(PixelAt(atlas, 0, 1) == RGB(0x80, 0x80, 0x80));
}

TEST_CASE("loading the same skin twice deletes the first atlas and builds an equal one")
{
    SkinFile file;
    const wchar_t* path = file.WriteSkin(MakeBmp32(17, 5));
    REQUIRE(CKivSkinStore::LoadSkin(path));
    HBITMAP first = CKivSkinStore::Atlas();
    REQUIRE(first != nullptr);
    const Bytes firstPixels = kivtest::AtlasPixels(first);
    const unsigned generation = CKivSkinStore::Generation();

    REQUIRE(CKivSkinStore::LoadSkin(path));
    HBITMAP second = CKivSkinStore::Atlas();
    REQUIRE(second != nullptr);
    CHECK(GetObjectType(first) == 0);
    CHECK(kivtest::AtlasPixels(second) == firstPixels);
    CHECK(firstPixels.size() == 17 * 4 * 5);
    CHECK(CKivSkinStore::Generation() != generation);
}

TEST_CASE("a failing load keeps the previous atlas and the previous settings")
{
    SkinFile good;
    REQUIRE(CKivSkinStore::LoadSkin(good.WriteSkin(MakeBmp32(2, 2))));
    HBITMAP first = CKivSkinStore::Atlas();
    REQUIRE(first != nullptr);
    REQUIRE(CKivSkinStore::Settings().captionBarHeight == 30);
    const unsigned generation = CKivSkinStore::Generation();

    SkinFile bad;
    SUBCASE("settings section runs past the end of the file")
    {
        Bytes skin = kivtest::MakeSkinFile(
            SettingsXml("<WindowEdge><CaptionBar><Height value=\"99\"/></CaptionBar></WindowEdge>"),
            MakeBmp32(2, 2));
        int64_t size = static_cast<int64_t>(skin.size());
        memcpy(skin.data() + 8, &size, sizeof(size));
        CHECK_FALSE(CKivSkinStore::LoadSkin(bad.Write(skin)));
    }
    SUBCASE("missing file")
    {
        CHECK_FALSE(CKivSkinStore::LoadSkin(L"Z:\\no\\such\\skin.kiv"));
        CHECK_FALSE(CKivSkinStore::LoadSkin(nullptr));
    }
    SUBCASE("atlas section runs past the end, after the settings were read")
    {
        Bytes skin = kivtest::MakeSkinFile(
            SettingsXml("<WindowEdge><CaptionBar><Height value=\"31\"/></CaptionBar></WindowEdge>"),
            MakeBmp32(2, 2));
        skin.resize(skin.size() - 1);
        CHECK_FALSE(CKivSkinStore::LoadSkin(bad.Write(skin)));
    }
    SUBCASE("a file of nothing but a header")
    {
        Bytes skin(32, 0);
        skin[0] = 32;
        skin[16] = 32;
        CHECK_FALSE(CKivSkinStore::LoadSkin(bad.Write(skin)));
    }
    CHECK(CKivSkinStore::Atlas() == first);
    CHECK(GetObjectType(first) == OBJ_BITMAP);
    CHECK(CKivSkinStore::Settings().captionBarHeight == 30);
    CHECK(CKivSkinStore::Generation() == generation);
}

TEST_CASE("the load follows the header's offsets, not the builder's layout")
{
    SkinFile file;
    const Bytes xml = SettingsXml("<WindowEdge><MenuBar><Height value=\"21\"/></MenuBar></WindowEdge>");
    const Bytes normal = kivtest::MakeSkinFile(xml, MakeBmp32(3, 3));
    int64_t fields[4];
    memcpy(fields, normal.data(), sizeof(fields));
    const Bytes settings(normal.begin() + 32, normal.begin() + 32 + fields[1]);
    const Bytes atlas(normal.begin() + fields[2], normal.end());

    // Atlas first, a gap, then the settings, then trailing bytes.
    Bytes swapped;
    swapped.reserve(normal.size() + 200);
    swapped.resize(32);
    const int64_t header[4] = {32 + static_cast<int64_t>(atlas.size()) + 7, fields[1], 32, fields[3]};
    memcpy(swapped.data(), header, sizeof(header));
    swapped.insert(swapped.end(), atlas.begin(), atlas.end());
    swapped.insert(swapped.end(), 7, 0xCC);
    swapped.insert(swapped.end(), settings.begin(), settings.end());
    swapped.insert(swapped.end(), 100, 0x5A);
    CKivSkinStore::Settings().menuBarHeight = 0;
    CHECK(CKivSkinStore::LoadSkin(file.Write(swapped)));
    CHECK(CKivSkinStore::Settings().menuBarHeight == 21);
    CHECK(CKivSkinStore::Atlas() != nullptr);

    // The two sections exchanged in the header: the XML reader sees a BMP and
    // the atlas check sees XML. The atlas is refused, so the load fails and
    // the skin read before stays.
    HBITMAP before = CKivSkinStore::Atlas();
    Bytes exchanged = normal;
    const int64_t crossed[4] = {fields[2], fields[3], fields[0], fields[1]};
    memcpy(exchanged.data(), crossed, sizeof(crossed));
    CHECK_FALSE(CKivSkinStore::LoadSkin(file.Write(exchanged)));
    CHECK(CKivSkinStore::Atlas() == before);
    CHECK(CKivSkinStore::Settings().menuBarHeight == 21);
}

TEST_CASE("sections encrypted under another key are read as damaged")
{
    SkinFile file;
    Bytes skin = kivtest::MakeSkinFile(kXml, MakeBmp32(8, 8));
    int64_t fields[4];
    memcpy(fields, skin.data(), sizeof(fields));
    // Flipping a bit of the atlas's first block garbles the "BM" header.
    CKivSkinStore::DeleteAtlas();
    skin[static_cast<size_t>(fields[2])] ^= 0x01;
    CHECK_FALSE(CKivSkinStore::LoadSkin(file.Write(skin)));
    CHECK(CKivSkinStore::Atlas() == nullptr);
    // Flipping the last byte breaks the final padding: the image comes out short.
    Bytes padding = kivtest::MakeSkinFile(kXml, MakeBmp32(8, 8));
    padding.back() ^= 0x80;
    CHECK_FALSE(CKivSkinStore::LoadSkin(file.Write(padding)));
    CHECK(CKivSkinStore::Atlas() == nullptr);
}
