// Hostile skin files: seeded mutations of a good skin, hostile XML and hostile
// BMP headers. Every load must end with the documented result: a new, sane
// atlas when it reports true, the skin in use untouched when it reports false,
// and no GDI object left behind. The reload rounds do the same while a frame
// is skinned and check its pixels.
#include <doctest.h>
#include "KivGdiLeakOracle.h"
#include "CKivEngine.h"
#include "CKivSkinStore.h"
#include "KivFrameTestHost.h"
#include "KivTestSkin.h"
#include "KivSkinTestImages.h"
#include "KivTestSupport.h"
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using kivtest::Bytes;
using kivtest::MakeBmp32;
using kivtest::PutU16;
using kivtest::PutU32;
using kivtest::SettingsXml;

namespace {

// Small deterministic generator (xorshift), the same on every compiler.
class Random
{
public:
    explicit Random(uint32_t seed) : m_state(seed ? seed : 1) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    uint32_t Below(uint32_t bound) { return bound ? Next() % bound : 0; }

private:
    uint32_t m_state;
};

enum class Expect
{
    Anything,       // either result
    False,          // the load fails
    TrueWithAtlas,  // the atlas is unaffected by the mutation
};

struct Case
{
    std::string what;
    Bytes file;
    Expect expect;
    int32_t width;   // expected atlas size when TrueWithAtlas
    int32_t height;
};

const int32_t kWidth = 13;
const int32_t kHeight = 7;

Bytes GoodXml()
{
    return SettingsXml("<WindowEdge><CaptionBar><Height value=\"30\"/><DefaultBmp left=\"0\" top=\"0\" "
                       "right=\"13\" bottom=\"7\"/></CaptionBar></WindowEdge>");
}

std::string Repeat(const std::string& text, size_t count)
{
    std::string out;
    out.reserve(text.size() * count);
    for (size_t i = 0; i < count; ++i)
        out += text;
    return out;
}

Bytes HostileXml(Random& random)
{
    switch (random.Below(9))
    {
    case 0:
    {
        const size_t depth = 300 + random.Below(60000);
        return kivtest::Utf8(Repeat("<a>", depth) + "<Height value=\"1\"/>" + Repeat("</a>", depth));
    }
    case 1:
    {
        const size_t depth = 1000 + random.Below(30000);
        return kivtest::Utf8("<K><WindowEdge><CaptionBar>" + Repeat("<Height value=\"5\">", depth));
    }
    case 2:
        return SettingsXml("<WindowEdge><CaptionBar><Height value=\"" +
                           std::string(1000 + random.Below(2000000), '7') + "\"/></CaptionBar></WindowEdge>");
    case 3:
        return SettingsXml("<WindowEdge><CaptionBar><" + std::string(1000 + random.Below(500000), 'N') +
                           " value=\"1\"/></CaptionBar></WindowEdge>");
    case 4:
        return kivtest::Utf8("<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"" + std::string(1000, 'x') +
                             "\"><!ENTITY b \"" + Repeat("&a;", 1000) + "\"><!ENTITY c \"" + Repeat("&b;", 1000) +
                             "\">]><r><WindowEdge><CaptionBar><Height value=\"&c;\"/></CaptionBar></WindowEdge></r>");
    case 5:
    {
        std::string attributes;
        const size_t count = 100 + random.Below(20000);
        for (size_t i = 0; i < count; ++i)
            attributes += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
        return SettingsXml("<WindowEdge><CaptionBar><DefaultBmp" + attributes + "/></CaptionBar></WindowEdge>");
    }
    case 6:
    {
        Bytes noise(1 + random.Below(100000));
        for (unsigned char& byte : noise)
            byte = static_cast<unsigned char>(random.Next());
        return noise;
    }
    case 7:
    {
        // Broken encodings: a UTF-16 mark on UTF-8 text, stray NULs, a bad declaration.
        static const char* const prefixes[] = {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF\xEF\xBB\xBF",
                                               "<?xml version=\"1.0\" encoding=\"x-none\"?>"};
        Bytes text = kivtest::Utf8(prefixes[random.Below(4)]);
        Bytes body = GoodXml();
        body[random.Below(static_cast<uint32_t>(body.size()))] = 0;
        text.insert(text.end(), body.begin(), body.end());
        return text;
    }
    default:
        return kivtest::Utf8("<K>" + Repeat("<WindowEdge><CaptionBar><Height value=\"1\"/>", 2000 + random.Below(20000)));
    }
}

Bytes HostileBmp(Random& random)
{
    static const uint32_t interesting[] = {0, 1, 2, 3, 7, 15, 16, 24, 32, 40, 53, 54, 55, 124, 255, 256, 0x7FFF,
                                           0x8000, 0xFFFF, 0x10000, 0x40000001, 0x7FFFFFFF, 0x80000000,
                                           0xFFFFFFFF, 0xFFFFFFFE};
    static const size_t fields[] = {2, 10, 14, 18, 22, 26, 28, 30, 34, 46};
    Bytes image = MakeBmp32(kWidth, kHeight);
    const uint32_t lies = 1 + random.Below(3);
    for (uint32_t i = 0; i < lies; ++i)
    {
        const size_t at = fields[random.Below(sizeof(fields) / sizeof(fields[0]))];
        const uint32_t value = random.Below(4) == 0 ? random.Next()
                                                    : interesting[random.Below(sizeof(interesting) / sizeof(interesting[0]))];
        if (at == 26 || at == 28)
            PutU16(image, at, static_cast<uint16_t>(value));
        else
            PutU32(image, at, value);
    }
    return image;
}

std::vector<Case> MakeCases(uint32_t seed, size_t count)
{
    Random random(seed);
    const Bytes good = kivtest::MakeSkinFile(GoodXml(), MakeBmp32(kWidth, kHeight));
    int64_t fields[4];
    memcpy(fields, good.data(), sizeof(fields));
    std::vector<Case> cases;
    for (size_t i = 0; i < count; ++i)
    {
        Case c;
        c.width = kWidth;
        c.height = kHeight;
        c.expect = Expect::Anything;
        switch (i % 6)
        {
        case 0:
        {
            c.what = "byte flips";
            c.file = good;
            const uint32_t flips = 1 + random.Below(4);
            for (uint32_t f = 0; f < flips; ++f)
                c.file[random.Below(static_cast<uint32_t>(c.file.size()))] ^= static_cast<unsigned char>(1 + random.Below(255));
            break;
        }
        case 1:
            c.what = "truncation";
            c.file.assign(good.begin(), good.begin() + random.Below(static_cast<uint32_t>(good.size())));
            c.expect = Expect::False;
            break;
        case 2:
        {
            c.what = "header lie";
            c.file = good;
            static const int64_t values[] = {0, -1, -32, 1, 16, 31, 33, INT64_MAX, INT64_MIN, 0xFFFFFFFFll,
                                             0x100000000ll, 0x100000020ll};
            const size_t field = random.Below(4);
            int64_t value = random.Below(3) == 0 ? static_cast<int64_t>(random.Next())
                                                 : values[random.Below(sizeof(values) / sizeof(values[0]))];
            if (value == fields[field])
                value = -7;
            memcpy(c.file.data() + field * 8, &value, sizeof(value));
            break;
        }
        case 3:
        {
            c.what = "swapped sections";
            c.file = good;
            const int64_t crossed[4] = {fields[2], fields[3], fields[0], fields[1]};
            memcpy(c.file.data(), crossed, sizeof(crossed));
            c.expect = Expect::False;  // the atlas check sees XML
            break;
        }
        case 4:
            c.what = "hostile xml";
            c.file = kivtest::MakeSkinFile(HostileXml(random), MakeBmp32(kWidth, kHeight));
            c.expect = Expect::TrueWithAtlas;
            break;
        default:
            c.what = "hostile bmp header";
            c.file = kivtest::MakeSkinFile(GoodXml(), HostileBmp(random));
            c.expect = Expect::Anything;
            break;
        }
        c.what += " #" + std::to_string(i);
        cases.push_back(std::move(c));
    }
    return cases;
}

// The atlas, if any, is a real bitmap no larger than an atlas section can carry.
bool AtlasIsSane(size_t fileSize)
{
    HBITMAP atlas = CKivSkinStore::Atlas();
    if (atlas == nullptr)
        return true;
    DIBSECTION section = {};
    if (GetObjectType(atlas) != OBJ_BITMAP || GetObjectW(atlas, sizeof(section), &section) != sizeof(section))
        return false;
    const uint64_t bytes = static_cast<uint64_t>(section.dsBm.bmWidthBytes) * section.dsBm.bmHeight;
    return section.dsBm.bmBits != nullptr && section.dsBm.bmWidth > 0 && section.dsBm.bmHeight > 0 &&
           bytes <= fileSize;
}

}  // namespace

// The skin in use, to compare before and after a load.
struct Snapshot
{
    Snapshot() : settings(CKivSkinStore::Settings()), atlas(CKivSkinStore::Atlas()) {}
    bool Unchanged() const
    {
        return memcmp(&settings, &CKivSkinStore::Settings(), sizeof(settings)) == 0 &&
               CKivSkinStore::Atlas() == atlas && (atlas == nullptr || GetObjectType(atlas) == OBJ_BITMAP);
    }
    KivSkinSettings settings;
    HBITMAP atlas;
};

TEST_CASE("hundreds of mutated skins load without crashes, bad atlases or leaked GDI objects")
{
    const kivtest::GdiLeakOracle gdi;
    kivtest::TempDir dir;
    const std::wstring path = dir.File(L"mutant.kiv");

    // Warm-up: the first load and the first refusal create Wine's own objects.
    const Bytes good = kivtest::MakeSkinFile(GoodXml(), MakeBmp32(kWidth, kHeight));
    REQUIRE(kivtest::WriteFileBytes(path, good));
    REQUIRE(CKivSkinStore::LoadSkin(path.c_str()));
    REQUIRE(CKivSkinStore::Atlas() != nullptr);
    CHECK_FALSE(CKivSkinStore::LoadSkin(dir.File(L"missing.kiv").c_str()));
    REQUIRE(CKivSkinStore::Atlas() != nullptr);
    const long baseline = gdi.LiveObjects();

    const std::vector<Case> cases = MakeCases(0x6b69760a, 420);
    size_t loaded = 0;
    size_t expectedLoads = 0;
    size_t leaks = 0;
    for (const Case& c : cases)
    {
        CAPTURE(c.what);
        REQUIRE(kivtest::WriteFileBytes(path, c.file));
        CKivSkinStore::Settings().captionBarHeight = -1;
        const Snapshot before;
        const bool result = CKivSkinStore::LoadSkin(path.c_str());
        HBITMAP atlas = CKivSkinStore::Atlas();
        loaded += result ? 1 : 0;
        if (result)
        {
            CHECK(AtlasIsSane(c.file.size()));
            CHECK(atlas != nullptr);
            CHECK(atlas != before.atlas);
            CHECK(GetObjectType(before.atlas) == 0);
        }
        else
        {
            CHECK(before.Unchanged());
        }
        switch (c.expect)
        {
        case Expect::False:
            CHECK_FALSE(result);
            break;
        case Expect::TrueWithAtlas:
        {
            ++expectedLoads;
            CHECK(result);
            BITMAP info = {};
            REQUIRE(atlas != nullptr);
            GetObjectW(atlas, sizeof(info), &info);
            CHECK(info.bmWidth == c.width);
            CHECK(info.bmHeight == c.height);
            break;
        }
        case Expect::Anything:
            break;
        }
        // Exactly one atlas lives at any time.
        if (gdi.ReadsHandleTable() && gdi.LiveObjects() != baseline)
            ++leaks;
    }
    CHECK(leaks == 0);
    CHECK(loaded >= expectedLoads);
    MESSAGE("mutated skins: " << cases.size() << ", loads reporting true: " << loaded << ", GDI oracle "
                              << std::string(gdi.ReadsHandleTable() ? "checked" : "unavailable"));
    CKivSkinStore::DeleteAtlas();
    if (gdi.ReadsHandleTable())
        CHECK(gdi.LiveObjects() == baseline - 1);
}

TEST_CASE("reload rounds: mutated skins loaded over a skinned frame")
{
    namespace skin = kivtest::skin;
    skin::Install();
    frametest::SkinnedFrame frame(WS_OVERLAPPEDWINDOW, 300, 200);
    kivtest::PumpPending();
    auto print = [&frame](kivtest::Canvas& canvas) {
        RedrawWindow(frame.Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        kivtest::PumpPending();
        kivtest::PrintWindowTo(frame.Window(), canvas);
    };
    kivtest::Canvas reference(frame.Width(), frame.Height(), RGB(1, 2, 3));
    print(reference);

    kivtest::TempDir dir;
    const std::wstring path = dir.File(L"reload.kiv");
    const std::vector<Case> cases = MakeCases(0x72656c64, 180);
    size_t refused = 0;
    size_t replaced = 0;
    for (const Case& c : cases)
    {
        CAPTURE(c.what);
        REQUIRE(kivtest::WriteFileBytes(path, c.file));
        const Snapshot before;
        const BOOL result = CKivEngine::Instance().LoadSkin(path.c_str());
        kivtest::PumpPending();
        REQUIRE(IsWindow(frame.Window()));
        if (c.expect == Expect::False)
            CHECK(result == FALSE);
        if (!result)
        {
            ++refused;
            CHECK(before.Unchanged());
            kivtest::Canvas now(frame.Width(), frame.Height(), RGB(1, 2, 3));
            print(now);
            CHECK(now.SameAs(reference));
            continue;
        }
        ++replaced;
        CHECK(CKivSkinStore::Atlas() != nullptr);
        CHECK(AtlasIsSane(c.file.size()));
        // Back to the reference skin, measured and drawn again.
        skin::Install();
        SetWindowPos(frame.Window(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        kivtest::Canvas now(frame.Width(), frame.Height(), RGB(1, 2, 3));
        print(now);
        CHECK(now.SameAs(reference));
    }
    CHECK(refused > 0);
    CHECK(replaced > 0);
    MESSAGE("reload rounds over a skinned frame: " << cases.size() << ", refused: " << refused
                                                   << ", replaced: " << replaced);
}

TEST_CASE("the handle table oracle sees objects come and go")
{
    const kivtest::GdiLeakOracle gdi;
    if (!gdi.ReadsHandleTable())
    {
        MESSAGE("GDI handle table not readable on this platform");
        return;
    }
    const long before = gdi.LiveObjects();
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    CHECK(gdi.LiveObjects() == before + 1);
    DeleteObject(bitmap);
    CHECK(gdi.LiveObjects() == before);
}
