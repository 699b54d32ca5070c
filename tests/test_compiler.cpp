// The skin compiler: atlas grid layout, the written atlas image, the settings
// document's shape and the failure paths of a build.
#include <doctest.h>
#include "CKivFileBuilder.h"
#include "CKivSkinStore.h"
#include "KivSkinFile.h"
#include "test_compiler_support.h"
#include <algorithm>

using namespace kivcompiler;

namespace {

struct Picture
{
    const wchar_t* key;
    int width;
    int height;
};

// A project in dir with one picture per entry, pictures named pN.bmp and
// filled with Pattern(N).
void AddPictures(CKivFileBuilder& builder, const kivtest::TempDir& dir, const std::vector<Picture>& pictures)
{
    int seed = 0;
    for (const Picture& picture : pictures)
    {
        const std::wstring name = L"p" + std::to_wstring(seed) + L".bmp";
        REQUIRE(WriteBmp(dir.File(name), picture.width, picture.height, Pattern(seed)));
        builder.SetItem(picture.key, name, kKivItemPicture);
        ++seed;
    }
}

RECT RectOf(const CKivFileBuilder& builder, const wchar_t* key)
{
    const KivAtlasEntry* entry = builder.FindImage(key);
    REQUIRE(entry != nullptr);
    return entry->rect;
}

bool SameRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom)
{
    return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

bool PictureAt(const Atlas& atlas, const RECT& rect, int seed)
{
    const PixelFn pixel = Pattern(seed);
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (atlas.At(x, y) != pixel(x - rect.left, y - rect.top))
                return false;
    return true;
}

const COLORREF kMagenta = RGB(255, 0, 255);

}  // namespace

TEST_CASE("atlas grid layout and the cropped atlas image")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;
    REQUIRE(builder.SetProjectPath(dir.Path().c_str(), L"skin"));

    SUBCASE("one 10x10 picture lands at the origin and the atlas is cropped to it")
    {
        AddPictures(builder, dir, {{L"A\\B\\Pic", 10, 10}});
        REQUIRE(builder.Compile());
        CHECK(SameRect(RectOf(builder, L"A\\B\\Pic"), 0, 0, 10, 10));
        const Atlas atlas = ReadAtlasFile(builder.CompiledAtlasPath());
        REQUIRE(atlas.ok);
        CHECK(atlas.width == 10);
        CHECK(atlas.height == 10);
        CHECK(atlas.pixelOffset == 54);
        CHECK(atlas.fileSize == atlas.imageLength);
        CHECK(PictureAt(atlas, RectOf(builder, L"A\\B\\Pic"), 0));
    }

    SUBCASE("five pictures: four columns, the fifth starts the second row")
    {
        // Keys sort in the order given, so the list order is the key order.
        AddPictures(builder, dir,
                    {{L"G\\E\\P1", 10, 5}, {L"G\\E\\P2", 20, 8}, {L"G\\E\\P3", 10, 10}, {L"G\\E\\P4", 30, 4},
                     {L"G\\E\\P5", 5, 5}});
        REQUIRE(builder.Compile());
        CHECK(SameRect(RectOf(builder, L"G\\E\\P1"), 0, 0, 10, 5));
        CHECK(SameRect(RectOf(builder, L"G\\E\\P2"), 10, 0, 30, 8));
        CHECK(SameRect(RectOf(builder, L"G\\E\\P3"), 30, 0, 40, 10));
        CHECK(SameRect(RectOf(builder, L"G\\E\\P4"), 40, 0, 70, 4));
        CHECK(SameRect(RectOf(builder, L"G\\E\\P5"), 0, 10, 5, 15));
        const Atlas atlas = ReadAtlasFile(builder.CompiledAtlasPath());
        REQUIRE(atlas.ok);
        CHECK(atlas.width == 70);
        CHECK(atlas.height == 15);
        for (int seed = 0; seed < 5; ++seed)
            CHECK(PictureAt(atlas, builder.Images()[seed].rect, seed));
        // Unused area is magenta: below the short pictures and right of the fifth.
        CHECK(atlas.At(0, 5) == kMagenta);
        CHECK(atlas.At(69, 4) == kMagenta);
        CHECK(atlas.At(5, 10) == kMagenta);
        CHECK(atlas.At(69, 14) == kMagenta);
    }

    SUBCASE("key order decides placement, not insertion order")
    {
        AddPictures(builder, dir, {{L"Z\\Z\\Last", 4, 4}, {L"A\\A\\First", 6, 3}});
        REQUIRE(builder.Compile());
        CHECK(SameRect(RectOf(builder, L"A\\A\\First"), 0, 0, 6, 3));
        CHECK(SameRect(RectOf(builder, L"Z\\Z\\Last"), 6, 0, 10, 4));
        const Atlas atlas = ReadAtlasFile(builder.CompiledAtlasPath());
        REQUIRE(atlas.ok);
        CHECK(PictureAt(atlas, RectOf(builder, L"A\\A\\First"), 1));
        CHECK(PictureAt(atlas, RectOf(builder, L"Z\\Z\\Last"), 0));
    }

    SUBCASE("ten pictures wrap after c = 5 columns")
    {
        std::vector<Picture> pictures;
        std::vector<std::wstring> keys;
        for (int i = 0; i < 10; ++i)
            keys.push_back(L"G\\E\\K" + std::to_wstring(i));
        for (const std::wstring& key : keys)
            pictures.push_back({key.c_str(), 3, 2 + static_cast<int>(pictures.size() % 3)});
        AddPictures(builder, dir, pictures);
        REQUIRE(builder.Compile());
        // Heights cycle 2, 3, 4: row 0 holds K0..K4 (tallest 4), row 1 starts with K5 at y = 4.
        CHECK(SameRect(RectOf(builder, L"G\\E\\K4"), 12, 0, 15, 3));
        CHECK(SameRect(RectOf(builder, L"G\\E\\K5"), 0, 4, 3, 8));
        CHECK(SameRect(RectOf(builder, L"G\\E\\K9"), 12, 4, 15, 6));
    }
}

TEST_CASE("picture paths resolve against the project folder unless absolute")
{
    kivtest::TempDir dir;
    kivtest::TempDir elsewhere;
    CKivFileBuilder builder;
    REQUIRE(builder.SetProjectPath(dir.Path().c_str(), L"skin"));
    REQUIRE(WriteBmp(dir.File(L"rel.bmp"), 2, 2, Pattern(1)));
    REQUIRE(WriteBmp(elsewhere.File(L"abs.bmp"), 2, 2, Pattern(2)));
    CHECK(builder.ResolvePicturePath(L"rel.bmp") == dir.File(L"rel.bmp"));
    CHECK(builder.ResolvePicturePath(elsewhere.File(L"abs.bmp")) == elsewhere.File(L"abs.bmp"));
    CHECK(builder.ResolvePicturePath(L"abs.bmp").empty());
    CHECK(builder.ResolvePicturePath(L"").empty());

    builder.SetItem(L"G\\E\\Abs", elsewhere.File(L"abs.bmp"), kKivItemPicture);
    builder.SetItem(L"G\\E\\Rel", L"rel.bmp", kKivItemPicture);
    REQUIRE(builder.Compile());
    const Atlas atlas = ReadAtlasFile(builder.CompiledAtlasPath());
    REQUIRE(atlas.ok);
    CHECK(PictureAt(atlas, RectOf(builder, L"G\\E\\Abs"), 2));
    CHECK(PictureAt(atlas, RectOf(builder, L"G\\E\\Rel"), 1));
}

TEST_CASE("the settings document: shared ancestors, value and rectangle leaves")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;
    REQUIRE(builder.SetProjectPath(dir.Path().c_str(), L"skin"));
    AddPictures(builder, dir, {{L"WindowEdge\\CaptionBar\\ActiveBmp", 7, 3}});
    builder.SetItem(L"WindowEdge\\CaptionBar\\Height", L"30", kKivItemText);
    builder.SetItem(L"WindowEdge\\Edge\\ShadowColor", L"255", kKivItemColor);
    builder.SetItem(L"SystemControl\\Button\\Round", L"6", kKivItemText);
    REQUIRE(builder.Compile());

    const std::vector<XmlElement> elements = WalkElements(ReadSettingsFile(builder.CompiledSettingsPath()));
    std::vector<std::wstring> shape;
    for (const XmlElement& e : elements)
        shape.push_back(std::to_wstring(e.depth) + L":" + e.name);
    const std::vector<std::wstring> expected = {
        L"0:KivDescription", L"1:SystemControl", L"2:Button",     L"3:Round",  L"1:WindowEdge",
        L"2:CaptionBar",     L"3:ActiveBmp",     L"3:Height",     L"2:Edge",   L"3:ShadowColor"};
    CHECK(shape == expected);
    REQUIRE(elements.size() == expected.size());

    using Attrs = std::vector<std::pair<std::wstring, std::wstring>>;
    CHECK(elements[3].attributes == Attrs{{L"value", L"6"}});
    CHECK(elements[6].attributes == Attrs{{L"left", L"0"}, {L"top", L"0"}, {L"right", L"7"}, {L"bottom", L"3"}});
    CHECK(elements[7].attributes == Attrs{{L"value", L"30"}});
    CHECK(elements[9].attributes == Attrs{{L"value", L"255"}});
    for (const XmlElement& e : elements)
        CHECK((e.depth == 3) == e.empty);
}

TEST_CASE("a failed compile names the key and the file and leaves nothing behind")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;
    REQUIRE(builder.SetProjectPath(dir.Path().c_str(), L"skin"));
    AddPictures(builder, dir, {{L"G\\E\\Good", 4, 4}});
    const std::vector<std::wstring> before = ListFiles(dir.Path());

    SUBCASE("missing picture file")
    {
        builder.SetItem(L"G\\E\\Missing", L"gone.bmp", kKivItemPicture);
        CHECK_FALSE(builder.Compile());
        CHECK(builder.LastError().find(L"G\\E\\Missing") != std::wstring::npos);
        CHECK(builder.LastError().find(L"gone.bmp") != std::wstring::npos);
    }
    SUBCASE("picture item with an empty value")
    {
        builder.SetItem(L"G\\E\\Empty", L"", kKivItemPicture);
        CHECK_FALSE(builder.Compile());
        CHECK(builder.LastError().find(L"G\\E\\Empty") != std::wstring::npos);
    }
    SUBCASE("a file that is not a bitmap")
    {
        const char text[] = "not a picture";
        REQUIRE(kivtest::WriteFileBytes(dir.File(L"text.bmp"), text, sizeof(text)));
        builder.SetItem(L"G\\E\\Text", L"text.bmp", kKivItemPicture);
        CHECK_FALSE(builder.Compile());
        CHECK(builder.LastError().find(L"G\\E\\Text") != std::wstring::npos);
        CHECK(builder.LastError().find(L"text.bmp") != std::wstring::npos);
        DeleteFileW(dir.File(L"text.bmp").c_str());
    }
    SUBCASE("a key that cannot be an element name")
    {
        builder.SetItem(L"G\\bad name\\X", L"1", kKivItemText);
        CHECK_FALSE(builder.Compile());
        CHECK(builder.LastError().find(L"G\\bad name\\X") != std::wstring::npos);
    }
    SUBCASE("no pictures at all")
    {
        builder.ClearItems();
        builder.SetItem(L"G\\E\\Height", L"3", kKivItemText);
        CHECK_FALSE(builder.Compile());
        CHECK_FALSE(builder.LastError().empty());
    }
    CHECK(ListFiles(dir.Path()) == before);
}

TEST_CASE("BuildSkin replaces the skin file only when the build succeeded")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;
    REQUIRE(builder.SetProjectPath(dir.Path().c_str(), L"skin"));
    AddPictures(builder, dir, {{L"G\\E\\Pic", 5, 3}});
    builder.SetItem(L"G\\E\\Height", L"12", kKivItemText);
    const std::wstring output = dir.File(L"out.kiv");
    const std::vector<unsigned char> oldSkin = {'o', 'l', 'd'};
    REQUIRE(kivtest::WriteFileBytes(output, oldSkin));
    const std::vector<std::wstring> before = ListFiles(dir.Path());

    builder.SetItem(L"G\\E\\Broken", L"missing.bmp", kKivItemPicture);
    CHECK_FALSE(builder.BuildSkin(output));
    CHECK(builder.LastError().find(L"missing.bmp") != std::wstring::npos);
    CHECK(kivtest::ReadFileBytes(output) == oldSkin);
    CHECK(ListFiles(dir.Path()) == before);

    builder.RemoveItem(L"G\\E\\Broken");
    REQUIRE(builder.BuildSkin(output));
    CHECK(ListFiles(dir.Path()) == before);
    // The new file is a container whose sections decrypt to the two payloads.
    KivSkinFileHeader header = {};
    REQUIRE(kiv::ReadHeader(output.c_str(), &header));
    CHECK(header.settingsOffset == 32);
    CHECK(header.atlasOffset == 32 + header.settingsSize);
    CHECK(header.settingsSize % 16 == 0);
    CHECK(header.atlasSize % 16 == 0);
    CHECK(static_cast<int64_t>(kivtest::ReadFileBytes(output).size()) == header.atlasOffset + header.atlasSize);
}

TEST_CASE("a designer's picture named like the project survives every compile")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;
    REQUIRE(builder.SetProjectPath(dir.Path().c_str(), L"skin"));
    // The project's own picture, skin.bmp, and a settings sketch, skin.xml.
    REQUIRE(WriteBmp(dir.File(L"skin.bmp"), 6, 4, Pattern(7)));
    const char sketch[] = "<notes/>";
    REQUIRE(kivtest::WriteFileBytes(dir.File(L"skin.xml"), sketch, sizeof(sketch)));
    const std::vector<unsigned char> picture = kivtest::ReadFileBytes(dir.File(L"skin.bmp"));
    const std::vector<unsigned char> notes = kivtest::ReadFileBytes(dir.File(L"skin.xml"));
    builder.SetItem(L"G\\E\\Own", L"skin.bmp", kKivItemPicture);
    const std::vector<std::wstring> before = ListFiles(dir.Path());

    SUBCASE("a failed compile deletes nothing it did not create")
    {
        builder.SetItem(L"G\\E\\Gone", L"gone.bmp", kKivItemPicture);
        CHECK_FALSE(builder.Compile());
        CHECK(builder.CompiledAtlasPath().empty());
        CHECK(ListFiles(dir.Path()) == before);
    }
    SUBCASE("a good compile writes only files of its own, and they go with the next one")
    {
        REQUIRE(builder.Compile());
        const std::wstring atlas = builder.CompiledAtlasPath();
        CHECK(atlas != dir.File(L"skin.bmp"));
        CHECK(builder.CompiledSettingsPath() != dir.File(L"skin.xml"));
        const Atlas image = ReadAtlasFile(atlas);
        REQUIRE(image.ok);
        CHECK(PictureAt(image, RectOf(builder, L"G\\E\\Own"), 7));
        builder.SetItem(L"G\\E\\Gone", L"gone.bmp", kKivItemPicture);
        CHECK_FALSE(builder.Compile());
        CHECK(GetFileAttributesW(atlas.c_str()) == INVALID_FILE_ATTRIBUTES);
        CHECK(ListFiles(dir.Path()) == before);
    }
    SUBCASE("compiling to named files replaces them only on success")
    {
        builder.SetItem(L"G\\E\\Gone", L"gone.bmp", kKivItemPicture);
        CHECK_FALSE(builder.Compile(dir.File(L"skin.xml"), dir.File(L"skin.bmp")));
        CHECK(ListFiles(dir.Path()) == before);
    }
    CHECK(kivtest::ReadFileBytes(dir.File(L"skin.bmp")) == picture);
    CHECK(kivtest::ReadFileBytes(dir.File(L"skin.xml")) == notes);
}

TEST_CASE("a 1920x1080 background compiles, and the canvas is the laid-out size")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;
    REQUIRE(builder.SetProjectPath(dir.Path().c_str(), L"big"));
    // Forty-nine small pictures and a full-screen background: nine columns,
    // so a grid of nine times the largest picture each way would need
    // 17280x9720, beyond any atlas; laid out, it is 1936x1100.
    std::vector<std::wstring> keys;
    for (int i = 0; i < 49; ++i)
        keys.push_back(L"A\\P\\K" + std::to_wstring(10 + i));
    std::vector<Picture> pictures;
    for (const std::wstring& key : keys)
        pictures.push_back({key.c_str(), 4, 4});
    pictures.push_back({L"WindowEdge\\Edge\\Background", 1920, 1080});
    AddPictures(builder, dir, pictures);
    builder.SetItem(L"WindowEdge\\CaptionBar\\Height", L"30", kKivItemText);
    const std::wstring output = dir.File(L"big.kiv");
    REQUIRE(builder.BuildSkin(output));
    CHECK(SameRect(RectOf(builder, L"A\\P\\K10"), 0, 0, 4, 4));
    CHECK(SameRect(RectOf(builder, L"A\\P\\K18"), 32, 0, 36, 4));
    CHECK(SameRect(RectOf(builder, L"A\\P\\K19"), 0, 4, 4, 8));
    CHECK(SameRect(RectOf(builder, L"A\\P\\K58"), 12, 20, 16, 24));
    CHECK(SameRect(RectOf(builder, L"WindowEdge\\Edge\\Background"), 16, 20, 1936, 1100));

    REQUIRE(CKivSkinStore::LoadSkin(output.c_str()));
    BITMAP atlas = {};
    REQUIRE(GetObjectW(CKivSkinStore::Atlas(), sizeof(atlas), &atlas) == sizeof(atlas));
    CHECK(atlas.bmWidth == 1936);
    CHECK(atlas.bmHeight == 1100);
    const RECT& background = CKivSkinStore::Settings().edgeBackground;
    CHECK(SameRect(background, 16, 20, 1936, 1100));
    CHECK(CKivSkinStore::Settings().captionBarHeight == 30);

    // A picture beyond any atlas side is still refused, by name.
    REQUIRE(WriteBmp(dir.File(L"huge.bmp"), 16385, 1, Pattern(1)));
    builder.SetItem(L"WindowEdge\\MenuBar\\Background", L"huge.bmp", kKivItemPicture);
    CHECK_FALSE(builder.BuildSkin(output));
    CHECK(builder.LastError().find(L"WindowEdge\\MenuBar\\Background") != std::wstring::npos);
}
