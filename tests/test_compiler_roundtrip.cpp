// Compile, then load with the library: every key reads back as the project
// set it and every picture's pixels sit at its rectangle in the atlas.
#include <doctest.h>
#include "CKivGraphics.h"
#include "CKivFileBuilder.h"
#include "CKivSkinSchema.h"
#include "CKivSkinStore.h"
#include "test_compiler_support.h"

using namespace kivcompiler;

namespace {

// The loaded atlas as top-down COLORREFs.
Atlas LoadedAtlas()
{
    Atlas atlas;
    HBITMAP bitmap = CKivSkinStore::Atlas();
    BITMAP description;
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(description), &description) == 0)
        return atlas;
    atlas.width = description.bmWidth;
    atlas.height = description.bmHeight;
    BITMAPINFO info = CKivGraphics::TopDown32(atlas.width, atlas.height);
    std::vector<DWORD> bits(static_cast<size_t>(atlas.width) * atlas.height);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, atlas.height, bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != atlas.height)
        return atlas;
    for (DWORD bgrx : bits)
        atlas.pixels.push_back(RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF));
    atlas.ok = true;
    return atlas;
}

// Pixels of a BMP file as top-down COLORREFs, read through GDI like the compiler.
bool PictureFound(const Atlas& atlas, const RECT& rect, const std::wstring& file)
{
    HBITMAP picture = static_cast<HBITMAP>(LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0,
                                                      LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (picture == nullptr)
        return false;
    BITMAP description;
    GetObjectW(picture, sizeof(description), &description);
    const int width = description.bmWidth;
    const int height = description.bmHeight;
    BITMAPINFO info = CKivGraphics::TopDown32(width, height);
    std::vector<DWORD> bits(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, picture, 0, height, bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
    if (rows != height || rect.right - rect.left != width || rect.bottom - rect.top != height ||
        rect.right > atlas.width || rect.bottom > atlas.height || rect.left < 0 || rect.top < 0)
        return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const DWORD p = bits[static_cast<size_t>(y) * width + x];
            if (atlas.At(rect.left + x, rect.top + y) != RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF))
                return false;
        }
    return true;
}

// Compares the loaded skin with the project key by key.
void CheckLoadedSkinMatches(const CKivFileBuilder& builder)
{
    KivSkinSettings& settings = CKivSkinStore::Settings();
    const Atlas atlas = LoadedAtlas();
    REQUIRE(atlas.ok);
    for (size_t i = 0; i < CKivSkinSchema::Count(); ++i)
    {
        const KivSchemaEntry& entry = CKivSkinSchema::Entries()[i];
        const std::string key(entry.key, entry.key + wcslen(entry.key));
        CAPTURE(key);
        const KivProjectItem* item = builder.FindItem(entry.key);
        REQUIRE(item != nullptr);
        if (entry.kind == kKivKindRect)
        {
            const RECT* rect = CKivSkinSchema::RectField(settings, entry);
            const KivAtlasEntry* image = builder.FindImage(entry.key);
            REQUIRE(image != nullptr);
            CHECK(EqualRect(rect, &image->rect));
            CHECK(PictureFound(atlas, *rect, builder.ResolvePicturePath(item->value)));
            continue;
        }
        const int expected = _wtoi(item->value.c_str());
        const int read = *CKivSkinSchema::IntField(settings, entry);
        CHECK(read == (entry.kind == kKivKindFlag ? (expected > 0 ? 1 : 0) : expected));
    }
}

}  // namespace

TEST_CASE("every key of a full project survives compile and load")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;
    REQUIRE(builder.SetProjectPath(dir.Path().c_str(), L"full"));
    for (size_t i = 0; i < CKivSkinSchema::Count(); ++i)
    {
        const KivSchemaEntry& entry = CKivSkinSchema::Entries()[i];
        const int n = static_cast<int>(i);
        switch (entry.kind)
        {
        case kKivKindRect:
        {
            // Sizes differ from picture to picture so misplaced ones show.
            const std::wstring name = L"pic" + std::to_wstring(n) + L".bmp";
            REQUIRE(WriteBmp(dir.File(name), 3 + n % 7, 2 + n % 5, Pattern(n)));
            builder.SetItem(entry.key, name, kKivItemPicture);
            break;
        }
        case kKivKindFlag:
            builder.SetItem(entry.key, n % 3 == 0 ? L"0" : (n % 3 == 1 ? L"1" : L"5"), kKivItemText);
            break;
        case kKivKindInteger:
            builder.SetItem(entry.key, std::to_wstring(n * 3 - 40), kKivItemText);
            break;
        default:
            builder.SetItem(entry.key, std::to_wstring(0x00102030 + n * 0x010101), kKivItemColor);
            break;
        }
    }
    const std::wstring skin = dir.File(L"full.kiv");
    REQUIRE(builder.BuildSkin(skin));
    REQUIRE(CKivSkinStore::LoadSkin(skin.c_str()));
    CheckLoadedSkinMatches(builder);
}

TEST_CASE("the shipped skins load as their plain projects say")
{
    for (const wchar_t* name : {L"default", L"dark"})
    {
        CAPTURE(std::string(name, name + wcslen(name)));
        CKivFileBuilder project;
        const std::wstring source = kivtest::SourceDir() + L"\\skins\\" + name + L"\\project.kivxml";
        REQUIRE(project.OpenPlainProject(source.c_str()));
        CHECK(project.Items().size() == CKivSkinSchema::Count());
        // Rebuild the skin here so the rectangles are known, then compare with
        // the skin the build placed in bin.
        kivtest::TempDir dir;
        REQUIRE(project.BuildSkin(dir.File(L"rebuilt.kiv")));
        const std::wstring shipped = kivtest::BinaryDir() + L"\\" + name + L".kiv";
        CHECK(kivtest::ReadFileBytes(shipped) == kivtest::ReadFileBytes(dir.File(L"rebuilt.kiv")));
        REQUIRE(CKivSkinStore::LoadSkin(shipped.c_str()));
        CheckLoadedSkinMatches(project);
    }
}
