// Reading the settings document into the skin settings record.
#include <doctest.h>
#include "CKivLayoutLoader.h"
#include "CKivSkinSchema.h"
#include "CKivSkinStore.h"
#include "KivSkinTestImages.h"
#include "KivTestSupport.h"
#include <climits>
#include <string>

using kivtest::Bytes;
using kivtest::SettingsXml;

namespace {

// Loads a skin made of the document and a small valid atlas.
bool LoadDocument(const Bytes& xml)
{
    kivtest::TempDir dir;
    const std::wstring path = dir.File(L"settings.kiv");
    REQUIRE(kivtest::WriteFileBytes(path, kivtest::MakeSkinFile(xml, kivtest::MakeBmp32(2, 2))));
    return CKivSkinStore::LoadSkin(path.c_str());
}

KivSkinSettings& Fresh()
{
    KivSkinSettings& settings = CKivSkinStore::Settings();
    settings = KivSkinSettings{};
    return settings;
}

std::string Leaf(const std::string& element, const std::string& leaf, const std::string& attributes)
{
    return "<WindowEdge><" + element + "><" + leaf + " " + attributes + "/></" + element + "></WindowEdge>";
}

bool SameRect(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom)
{
    return rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom;
}

}  // namespace

TEST_CASE("the value of a single number is the first attribute, whatever its name")
{
    KivSkinSettings& settings = Fresh();
    CHECK(LoadDocument(SettingsXml(Leaf("CaptionBar", "Height", "value=\"30\""))));
    CHECK(settings.captionBarHeight == 30);

    CHECK(LoadDocument(SettingsXml(Leaf("CaptionBar", "Height", "size=\"31\""))));
    CHECK(settings.captionBarHeight == 31);

    CHECK(LoadDocument(SettingsXml(Leaf("CaptionBar", "Height", "first=\"7\" value=\"32\""))));
    CHECK(settings.captionBarHeight == 7);

    // No attribute: the previous value stays.
    CHECK(LoadDocument(SettingsXml(Leaf("CaptionBar", "Height", ""))));
    CHECK(settings.captionBarHeight == 7);
}

TEST_CASE("numbers are read like atoi: flags become 0 or 1, integers saturate")
{
    KivSkinSettings& settings = Fresh();
    struct
    {
        const char* text;
        int flag;
        int integer;
    } const cases[] = {
        {"abc", 0, 0},       {"2", 1, 2},          {"-5", 0, -5},          {"1", 1, 1},
        {"0", 0, 0},         {"  +12px", 1, 12},   {"\t-3 4", 0, -3},      {"", 0, 0},
        {"- 4", 0, 0},       {"99999999999", 1, INT_MAX}, {"-99999999999", 0, INT_MIN},
        {"2147483647", 1, INT_MAX}, {"-2147483648", 0, INT_MIN},
    };
    for (const auto& c : cases)
    {
        CAPTURE(c.text);
        settings.edgeEnableSizeCtl = 77;
        settings.captionBarButtonWidth = 77;
        const std::string body = "<WindowEdge><Edge><EnableSizeCtl value=\"" + std::string(c.text) +
                                 "\"/></Edge><CaptionBar><ButtonWidth value=\"" + c.text +
                                 "\"/></CaptionBar></WindowEdge>";
        CHECK(LoadDocument(SettingsXml(body)));
        CHECK(settings.edgeEnableSizeCtl == c.flag);
        CHECK(settings.captionBarButtonWidth == c.integer);
    }
    CHECK(LoadDocument(SettingsXml(Leaf("Edge", "ShadowColor", "value=\"16777215\""))));
    CHECK(settings.edgeShadowColor == 0xFFFFFF);
}

TEST_CASE("rectangles come from the attributes left, top, right and bottom in any order")
{
    KivSkinSettings& settings = Fresh();
    CHECK(LoadDocument(SettingsXml(Leaf("CaptionBar", "DefaultBmp",
                                        "bottom=\"52\" right=\"42\" top=\"20\" left=\"10\" extra=\"9\""))));
    CHECK(SameRect(settings.captionBarDefaultBmp, 10, 20, 42, 52));

    // A missing attribute reads as 0, not as the previous attribute's value.
    CHECK(LoadDocument(SettingsXml(Leaf("CaptionBar", "DefaultBmp", "left=\"1\" top=\"2\" bottom=\"4\""))));
    CHECK(SameRect(settings.captionBarDefaultBmp, 1, 2, 0, 4));

    // Stored as given, however odd: painting clips.
    CHECK(LoadDocument(SettingsXml(
        "<SystemControl><Button><NormalBmp left=\"-5\" top=\"2147483647\" right=\"-2147483648\" "
        "bottom=\"99999999999\"/></Button></SystemControl>")));
    CHECK(SameRect(settings.buttonNormalBmp, -5, INT_MAX, INT_MIN, INT_MAX));
}

TEST_CASE("keys are case-sensitive and the root element's name does not matter")
{
    KivSkinSettings& settings = Fresh();
    CHECK(LoadDocument(SettingsXml("<windowedge><captionbar><height value=\"30\"/></captionbar></windowedge>"
                                   "<WindowEdge><CaptionBar><HEIGHT value=\"31\"/></CaptionBar></WindowEdge>")));
    CHECK(settings.captionBarHeight == 0);

    CHECK(LoadDocument(SettingsXml(Leaf("MenuBar", "Height", "value=\"22\""), "SomethingElse")));
    CHECK(settings.menuBarHeight == 22);
}

TEST_CASE("depth decides what an element names")
{
    KivSkinSettings& settings = Fresh();
    // Leaves directly under a group are elements, not keys.
    CHECK(LoadDocument(SettingsXml("<WindowEdge><Height value=\"30\"/></WindowEdge>")));
    // Leaves at the root's level name groups.
    CHECK(LoadDocument(SettingsXml("<Height value=\"30\"/>")));
    CHECK(settings.captionBarHeight == 0);
    CHECK(settings.menuBarHeight == 0);

    // Deeper elements append their own name to the element path.
    CHECK(LoadDocument(SettingsXml("<WindowEdge><CaptionBar><Wrap><Height value=\"33\"><IconX value=\"4\"/>"
                                   "</Height></Wrap></CaptionBar></WindowEdge>")));
    CHECK(settings.captionBarHeight == 33);
    CHECK(settings.captionBarIconX == 4);

    // Text, comments and processing instructions are skipped; a group switch
    // carries through to the next leaves.
    CHECK(LoadDocument(SettingsXml("<!-- c --><WindowEdge>text<?pi x?><BorderLeft><Width value=\"3\"/>"
                                   "</BorderLeft></WindowEdge><SystemControl><Button><Round value=\"6\"/>"
                                   "</Button></SystemControl>")));
    CHECK(settings.borderLeftWidth == 3);
    CHECK(settings.buttonRound == 6);
}

TEST_CASE("nesting is read down to a bounded depth and no further")
{
    KivSkinSettings& settings = Fresh();
    auto nested = [](size_t wrappers, int value) {
        std::string open;
        std::string close;
        for (size_t i = 0; i < wrappers; ++i)
        {
            open += "<w>";
            close += "</w>";
        }
        return SettingsXml("<WindowEdge><CaptionBar>" + open + "<Height value=\"" + std::to_string(value) +
                           "\"/>" + close + "</CaptionBar></WindowEdge>");
    };
    CHECK(LoadDocument(nested(200, 7)));
    CHECK(settings.captionBarHeight == 7);
    CHECK(LoadDocument(nested(300, 8)));
    CHECK(settings.captionBarHeight == 7);
    CHECK(LoadDocument(nested(40000, 9)));
    CHECK(settings.captionBarHeight == 7);
    CHECK(CKivSkinStore::Atlas() != nullptr);
}

TEST_CASE("over-long names are cut and match nothing, without disturbing later keys")
{
    KivSkinSettings& settings = Fresh();
    const std::string longName(5000, 'H');
    CHECK(LoadDocument(SettingsXml("<WindowEdge><CaptionBar><Height" + longName + " value=\"9\"/>"
                                   "<Height value=\"30\"/></CaptionBar></WindowEdge>")));
    CHECK(settings.captionBarHeight == 30);

    // A 127-character key would still fit; this group makes every key longer.
    const std::string longGroup = "WindowEdge" + std::string(120, 'x');
    CHECK(LoadDocument(SettingsXml("<" + longGroup + "><CaptionBar><Height value=\"5\"/></CaptionBar></" +
                                   longGroup + ">")));
    CHECK(settings.captionBarHeight == 30);
}

TEST_CASE("a malformed document keeps what was read before the error and the load succeeds")
{
    KivSkinSettings& settings = Fresh();
    CHECK(LoadDocument(SettingsXml("<WindowEdge><CaptionBar><Height value=\"30\"/><Broken <IconX value=\"4\"/>"
                                   "</CaptionBar></WindowEdge>")));
    CHECK(settings.captionBarHeight == 30);
    CHECK(settings.captionBarIconX == 0);
    CHECK(CKivSkinStore::Atlas() != nullptr);

    // A document type declaration ends the reading.
    CHECK(LoadDocument(kivtest::Utf8("<!DOCTYPE KivDescription [<!ENTITY e \"1\">]><KivDescription>" +
                                     Leaf("CaptionBar", "IconY", "value=\"&e;\"") + "</KivDescription>")));
    CHECK(settings.captionBarIconY == 0);
}

TEST_CASE("every key of the schema is read into its own field; a second document overwrites only its keys")
{
    KivSkinSettings& settings = Fresh();
    const std::string document = kivtest::SchemaDocument([](size_t i, bool isRect) {
        const int n = static_cast<int>(i) + 1;
        const bool isFlag = CKivSkinSchema::Entries()[i].kind == kKivKindFlag;
        return isRect ? "left=\"" + std::to_string(n) + "\" top=\"" + std::to_string(n + 1000) + "\" right=\"" +
                            std::to_string(n + 2000) + "\" bottom=\"" + std::to_string(-n) + "\""
                      : "value=\"" + std::to_string(isFlag ? n : n * 65536) + "\"";
    });
    CHECK(LoadDocument(kivtest::Utf8(document)));
    for (size_t i = 0; i < CKivSkinSchema::Count(); ++i)
    {
        const KivSchemaEntry& entry = CKivSkinSchema::Entries()[i];
        CAPTURE(i);
        const int n = static_cast<int>(i) + 1;
        if (entry.kind == kKivKindRect)
            CHECK(SameRect(*CKivSkinSchema::RectField(settings, entry), n, n + 1000, n + 2000, -n));
        else
            CHECK(*CKivSkinSchema::IntField(settings, entry) == (entry.kind == kKivKindFlag ? 1 : n * 65536));
    }
    // Spot checks against the named fields, so a table pointing at the wrong field shows.
    CHECK(settings.captionBarButtonWidth == 1 * 65536);
    CHECK(settings.captionBarHeight == 8 * 65536);
    CHECK(SameRect(settings.buttonNormalBmp, 51, 1051, 2051, -51));
    CHECK(settings.tabControlBackgroundColor == 145 * 65536);
    CHECK(settings.tabControlTransparent == 1);

    CHECK(LoadDocument(SettingsXml(Leaf("CaptionBar", "Height", "value=\"12\""))));
    CHECK(settings.captionBarHeight == 12);
    CHECK(settings.captionBarButtonWidth == 1 * 65536);
    CHECK(SameRect(settings.buttonNormalBmp, 51, 1051, 2051, -51));
}

TEST_CASE("the loader refuses what is not a settings document")
{
    kivtest::TempDir dir;
    const std::wstring path = dir.File(L"s.kiv");
    CKivLayoutLoader missing;
    CHECK_FALSE(missing.Load(dir.File(L"none.kiv").c_str()));
    CHECK_FALSE(missing.Load(nullptr));

    // Sizes 0: an empty document is no input.
    Bytes empty(32, 0);
    empty[0] = 32;
    empty[16] = 32;
    REQUIRE(kivtest::WriteFileBytes(path, empty));
    CKivLayoutLoader emptyLoader;
    CHECK_FALSE(emptyLoader.Load(path.c_str()));

    REQUIRE(kivtest::WriteFileBytes(path, kivtest::MakeSkinFile(SettingsXml(""), kivtest::MakeBmp32(1, 1))));
    CKivLayoutLoader loader;
    CHECK(loader.Load(path.c_str()));
    CHECK(loader.DocumentLength() == SettingsXml("").size());
    CHECK_FALSE(loader.Load(path.c_str()));  // one document per loader
    KivSkinSettings settings = {};
    CHECK(loader.Parse(settings));

    // A document far beyond any real skin is not read at all.
    Bytes huge = SettingsXml("<WindowEdge><CaptionBar><Height value=\"1\"/></CaptionBar></WindowEdge><x a=\"" +
                             std::string(CKivLayoutLoader::kMaxDocumentSize, 'x') + "\"/>");
    REQUIRE(kivtest::WriteFileBytes(path, kivtest::MakeSkinFile(huge, kivtest::MakeBmp32(1, 1))));
    CKivSkinStore::Settings().captionBarHeight = 5;
    CKivLayoutLoader hugeLoader;
    CHECK_FALSE(hugeLoader.Load(path.c_str()));
    CHECK_FALSE(CKivSkinStore::LoadSkin(path.c_str()));
    CHECK(CKivSkinStore::Settings().captionBarHeight == 5);
}
