// Loading a skin while windows are skinned: a bad file changes nothing and
// says so, a good one is painted at once; a skin file replaced between
// sizing a section and reading it is refused instead of overflowing.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivSkinStore.h"
#include "KivFrameTestHost.h"
#include "KivSkinFile.h"
#include "KivSkinTestImages.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <cstring>
#include <string>
#include <vector>

using frametest::SkinnedFrame;
using kivtest::Bytes;
using kivtest::Canvas;
namespace skin = kivtest::skin;

namespace {

const Bytes kDocument =
    kivtest::SettingsXml("<WindowEdge><CaptionBar><Height value=\"30\"/></CaptionBar></WindowEdge>");

bool SameSettings(const KivSkinSettings& a, const KivSkinSettings& b)
{
    return memcmp(&a, &b, sizeof(a)) == 0;
}

// The caption slot the pixel shows, in skin variant 0; -1 when none.
int CaptionSlotOf(COLORREF pixel)
{
    for (int slot : {skin::CaptionActive, skin::CaptionDefault})
        if (skin::SlotColour(slot) == pixel)
            return slot;
    return -1;
}

// Files a second load must refuse, each with the skin in use left alone.
std::vector<std::pair<std::string, Bytes>> HostileFiles()
{
    const Bytes good = kivtest::MakeSkinFile(kDocument, skin::AtlasImage(1));
    std::vector<std::pair<std::string, Bytes>> files;
    files.push_back({"truncated in the atlas", Bytes(good.begin(), good.end() - 100)});
    files.push_back({"truncated in the settings", Bytes(good.begin(), good.begin() + 60)});
    Bytes padding = good;
    padding.back() ^= 0x80;
    files.push_back({"atlas padding broken", padding});
    Bytes settingsPadding = good;
    int64_t fields[4];
    memcpy(fields, good.data(), sizeof(fields));
    // The block before the last one feeds the last byte, the padding length.
    settingsPadding[static_cast<size_t>(fields[0] + fields[1] - 17)] ^= 0x80;
    files.push_back({"settings padding broken", settingsPadding});
    Bytes crossed = good;
    const int64_t swapped[4] = {fields[2], fields[3], fields[0], fields[1]};
    memcpy(crossed.data(), swapped, sizeof(swapped));
    files.push_back({"sections exchanged", crossed});
    Bytes atlas = skin::AtlasImage(1);
    kivtest::PutU32(atlas, 2, static_cast<uint32_t>(atlas.size() + 1));
    files.push_back({"atlas size field off by one", kivtest::MakeSkinFile(kDocument, atlas)});
    files.push_back({"header only", Bytes(32, 0)});
    return files;
}

}  // namespace

TEST_CASE("a hostile second load while a frame is skinned returns FALSE and leaves every pixel")
{
    skin::Install();
    SkinnedFrame frame(WS_OVERLAPPEDWINDOW, 320, 220);
    kivtest::PumpPending();
    CKivEngine& engine = CKivEngine::Instance();
    const KivSkinSettings before = CKivSkinStore::Settings();
    const HBITMAP atlas = CKivSkinStore::Atlas();
    Canvas printed(frame.Width(), frame.Height(), RGB(1, 2, 3));
    kivtest::PrintWindowTo(frame.Window(), printed);
    const POINT caption = frame.Screen(40, 12);
    const COLORREF onScreen = frametest::ScreenPixel(caption);
    const int slot = CaptionSlotOf(onScreen);
    REQUIRE(slot >= 0);

    kivtest::TempDir dir;
    for (const auto& file : HostileFiles())
    {
        CAPTURE(file.first);
        const std::wstring path = dir.File(L"hostile.kiv");
        REQUIRE(kivtest::WriteFileBytes(path, file.second));
        CHECK(engine.LoadSkin(path.c_str()) == FALSE);
        CHECK(CKivSkinStore::Atlas() == atlas);
        CHECK(SameSettings(CKivSkinStore::Settings(), before));
        RedrawWindow(frame.Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        kivtest::PumpPending();
        Canvas again(frame.Width(), frame.Height(), RGB(1, 2, 3));
        kivtest::PrintWindowTo(frame.Window(), again);
        CHECK(again.SameAs(printed));
        CHECK(frametest::ScreenPixel(caption) == onScreen);
    }
    CHECK(engine.LoadSkin(dir.File(L"missing.kiv").c_str()) == FALSE);
    CHECK(engine.LoadSkin(nullptr) == FALSE);
    CHECK(CKivSkinStore::Atlas() == atlas);

    // A good file replaces the skin and the frame shows it without being asked.
    const std::wstring good = dir.File(L"good.kiv");
    REQUIRE(kivtest::WriteFileBytes(good, kivtest::MakeSkinFile(kDocument, skin::AtlasImage(1))));
    const unsigned generation = CKivSkinStore::Generation();
    CHECK(engine.LoadSkin(good.c_str()) == TRUE);
    CHECK(CKivSkinStore::Generation() != generation);
    CHECK(CKivSkinStore::Atlas() != nullptr);
    CHECK(GetObjectType(atlas) == 0);  // the old atlas is gone
    CHECK(SameSettings(CKivSkinStore::Settings(), before));  // the document repeats what was there
    const COLORREF shifted = skin::SlotColour(slot, 1);
    REQUIRE(shifted != onScreen);
    CHECK(kivtest::PumpUntil([&] { return frametest::ScreenPixel(caption) == shifted; }));
}

TEST_CASE("a skin file replaced between sizing a section and reading it")
{
    kivtest::TempDir dir;
    const std::wstring path = dir.File(L"moving.kiv");
    const Bytes small = kivtest::MakeSkinFile(kDocument, kivtest::MakeBmp32(2, 2));
    const Bytes large = kivtest::MakeSkinFile(kDocument, kivtest::MakeBmp32(64, 64));
    REQUIRE(kivtest::WriteFileBytes(path, small));
    DWORD size = 0;
    REQUIRE(kiv::GetSectionSize(path.c_str(), kKivSectionAtlas, &size));

    // A builder rebuilds the skin in between: the atlas section is larger now.
    REQUIRE(kivtest::WriteFileBytes(path, large));
    std::vector<unsigned char> buffer(size + 64, 0xAB);
    CHECK_FALSE(kiv::ReadSection(path.c_str(), kKivSectionAtlas, buffer.data(), size));
    for (size_t i = size; i < buffer.size(); ++i)
        REQUIRE(buffer[i] == 0xAB);

    // With room for it, the same call reads the new section.
    DWORD largeSize = 0;
    REQUIRE(kiv::GetSectionSize(path.c_str(), kKivSectionAtlas, &largeSize));
    std::vector<unsigned char> room(largeSize);
    CHECK(kiv::ReadSection(path.c_str(), kKivSectionAtlas, room.data(), largeSize));

    // The load itself reads header and sections through one handle.
    KivSkinSection settings;
    KivSkinSection atlas;
    REQUIRE(kiv::ReadSkinSections(path.c_str(), MAXDWORD, MAXDWORD, &settings, &atlas));
    CHECK(atlas.size == largeSize);
    CHECK(memcmp(atlas.bytes.get(), large.data() + (large.size() - largeSize), largeSize) == 0);
    CHECK_FALSE(kiv::ReadSkinSections(path.c_str(), MAXDWORD, largeSize - 1, &settings, &atlas));
}

TEST_CASE("XmlLite comes from the system folder")
{
    kivtest::TempDir dir;
    const std::wstring path = dir.File(L"xml.kiv");
    REQUIRE(kivtest::WriteFileBytes(path, kivtest::MakeSkinFile(kDocument, kivtest::MakeBmp32(2, 2))));
    REQUIRE(CKivSkinStore::LoadSkin(path.c_str()));
    HMODULE module = GetModuleHandleW(L"xmllite.dll");
    REQUIRE(module != nullptr);
    wchar_t loaded[MAX_PATH] = {};
    wchar_t system[MAX_PATH] = {};
    REQUIRE(GetModuleFileNameW(module, loaded, MAX_PATH) != 0);
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    REQUIRE(length != 0);
    CHECK(_wcsnicmp(loaded, system, length) == 0);
}
