// The builder's configuration and example list: the shipped configuration
// against the skin schema, and both readers against hostile documents.
#include <doctest.h>
#include "CKivConfigFile.h"
#include "CKivExampleList.h"
#include "CKivSkinSchema.h"
#include "KivTestSupport.h"
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> Utf8(const std::string& text)
{
    return std::vector<BYTE>(text.begin(), text.end());
}

struct ConfigDump
{
    std::vector<std::pair<std::wstring, std::wstring>> groups;
    std::vector<std::wstring> elements;  // "group\element=caption"
    std::vector<CKivConfigFile::Property> properties;
};

// Every group, element and property the walks report, in order.
ConfigDump DumpAll(CKivConfigFile& config)
{
    ConfigDump dump;
    config.ListGroups([&](const std::wstring& key, const std::wstring& caption) {
        dump.groups.emplace_back(key, caption);
    });
    for (const auto& group : dump.groups)
    {
        std::vector<std::wstring> elements;
        config.ListElements(group.first, [&](const std::wstring& g, const std::wstring& key, const std::wstring& caption) {
            dump.elements.push_back(g + L"\\" + key + L"=" + caption);
            elements.push_back(key);
        });
        for (const std::wstring& element : elements)
            config.ListProperties(group.first, element, [&](const CKivConfigFile::Property& property) {
                dump.properties.push_back(property);
            });
    }
    return dump;
}

ConfigDump DumpPlain(const std::string& xml)
{
    CKivConfigFile config;
    REQUIRE(config.LoadPlain(Utf8(xml)));
    return DumpAll(config);
}

const char* ExpectedType(int kind)
{
    switch (kind)
    {
    case kKivKindRect: return "SELECTFILE";
    case kKivKindLong: return "SELECTCOLOR";
    default: return "TEXT";
    }
}

bool HasNonAscii(const std::wstring& text)
{
    for (wchar_t c : text)
        if (c > 0x7F)
            return true;
    return false;
}

}  // namespace

TEST_CASE("the shipped configuration lists every schema key once with the editor of its kind")
{
    const std::wstring path = kivtest::BinaryDir() + L"\\config\\KivConfig.xml";
    const std::vector<unsigned char> stored = kivtest::ReadFileBytes(path);
    REQUIRE(stored.size() > 16);
    CHECK(stored[0] != '<');  // shipped encrypted

    CKivConfigFile config;
    REQUIRE(config.Load(path.c_str()));
    const ConfigDump dump = DumpAll(config);
    CHECK(dump.groups.size() >= 2);
    for (const auto& group : dump.groups)
        CHECK(HasNonAscii(group.second));

    std::map<std::wstring, int> seen;
    for (const CKivConfigFile::Property& property : dump.properties)
    {
        const std::wstring key = property.Key();
        ++seen[key];
        const KivSchemaEntry* entry = CKivSkinSchema::Find(key.c_str());
        INFO(std::string(key.begin(), key.end()));
        REQUIRE(entry != nullptr);
        const std::string type(property.type.begin(), property.type.end());
        CHECK(type == ExpectedType(entry->kind));
        CHECK(HasNonAscii(property.caption));
    }
    CHECK(seen.size() == CKivSkinSchema::Count());
    CHECK(dump.properties.size() == CKivSkinSchema::Count());
    for (const auto& key : seen)
        CHECK(key.second == 1);

    config.Close();
    CHECK_FALSE(config.IsLoaded());
    int after = 0;
    config.ListGroups([&](const std::wstring&, const std::wstring&) { ++after; });
    CHECK(after == 0);
}

TEST_CASE("configuration walks over hostile documents")
{
    SUBCASE("self-closing groups and elements open no level")
    {
        const ConfigDump dump = DumpPlain(
            "<c><Empty caption='e'/><G caption='g'><E1 caption='one'/><E2 caption='two'>"
            "<P caption='p' type='TEXT'/></E2></G><After caption='a'/></c>");
        REQUIRE(dump.groups.size() == 3);
        CHECK(dump.groups[0].first == L"Empty");
        CHECK(dump.groups[1].first == L"G");
        CHECK(dump.groups[2].first == L"After");
        REQUIRE(dump.elements.size() == 2);
        CHECK(dump.elements[0] == L"G\\E1=one");
        CHECK(dump.elements[1] == L"G\\E2=two");
        REQUIRE(dump.properties.size() == 1);
        CHECK(dump.properties[0].Key() == L"G\\E2\\P");
    }
    SUBCASE("text, comments and processing instructions between elements change nothing")
    {
        const ConfigDump dump = DumpPlain(
            "<?xml version='1.0'?><c>stray<!-- x --><G caption='g'>more text<E caption='e'>"
            "<![CDATA[<P caption='fake' type='TEXT'/>]]><?pi x?><P caption='p' type='SELECTCOLOR'>inner</P>"
            "</E>tail</G>end</c>");
        REQUIRE(dump.groups.size() == 1);
        REQUIRE(dump.properties.size() == 1);
        CHECK(dump.properties[0].caption == L"p");
        CHECK(dump.properties[0].type == L"SELECTCOLOR");
    }
    SUBCASE("over-long keys are refused, captions are cut to 127 characters")
    {
        const std::string longKey(24, 'K');
        const std::string longCaption(500, 'c');
        const ConfigDump dump = DumpPlain("<c><" + longKey + " caption='x'><E caption='e'/></" + longKey +
                                          "><G caption='" + longCaption + "'><" + longKey + " caption='y'/>"
                                          "<E caption='e'><" + std::string(64, 'p') + " caption='z' type='TEXT'/>"
                                          "<Ok caption='" + longCaption + "' type='TEXT'/></E></G></c>");
        REQUIRE(dump.groups.size() == 1);
        CHECK(dump.groups[0].first == L"G");
        CHECK(dump.groups[0].second.size() == 127);
        REQUIRE(dump.elements.size() == 1);
        CHECK(dump.elements[0] == L"G\\E=e");
        REQUIRE(dump.properties.size() == 1);
        CHECK(dump.properties[0].name == L"Ok");
        CHECK(dump.properties[0].caption.size() == 127);
    }
    SUBCASE("only the three editor types give rows, and only from the first group of a name")
    {
        const ConfigDump dump = DumpPlain(
            "<c><G caption='g'><E caption='e'><A caption='a' type='COLOR'/><B caption='b'/>"
            "<C caption='c' type='SELECTFILE'/><D caption='d' type='text'/></E></G>"
            "<G caption='again'><E caption='e'><X caption='x' type='TEXT'/></E></G></c>");
        std::vector<std::wstring> keys;
        for (const auto& property : dump.properties)
            keys.push_back(property.Key());
        // DumpAll walks each group name it saw, so the repeated G is walked twice.
        REQUIRE(keys.size() == 2);
        CHECK(keys[0] == L"G\\E\\C");
        CHECK(keys[1] == L"G\\E\\C");
    }
    SUBCASE("a document that breaks half-way keeps what came before the break")
    {
        const ConfigDump dump = DumpPlain("<c><G caption='g'><E caption='e'><P caption='p' type='TEXT'/></E></G>"
                                          "<H caption='h'><oops</c>");
        REQUIRE(dump.groups.size() >= 1);
        CHECK(dump.groups[0].first == L"G");
        REQUIRE(dump.properties.size() == 1);
    }
    SUBCASE("missing, empty and unencrypted files do not load")
    {
        kivtest::TempDir dir;
        CKivConfigFile config;
        CHECK_FALSE(config.Load(dir.File(L"none.xml").c_str()));
        CHECK_FALSE(config.Load(nullptr));
        REQUIRE(kivtest::WriteFileBytes(dir.File(L"empty.xml"), "", 0));
        CHECK_FALSE(config.Load(dir.File(L"empty.xml").c_str()));
        const std::string plain = "<c><G caption='g'/></c>";
        REQUIRE(kivtest::WriteFileBytes(dir.File(L"plain.xml"), plain.data(), plain.size()));
        int groups = 0;
        if (config.Load(dir.File(L"plain.xml").c_str()))
            config.ListGroups([&](const std::wstring&, const std::wstring&) { ++groups; });
        CHECK(groups == 0);
    }
}

TEST_CASE("example list over hostile documents")
{
    const std::wstring folder = L"C:\\kiv\\example";
    CKivExampleList list;

    SUBCASE("each example takes its first three texts, prefixed with the folder")
    {
        REQUIRE(list.Read(Utf8("<examples><e><t>\\a\\thumb.png</t><s>\\a\\a.kiv</s><p>\\a\\a.kivproj</p></e>"
                               "<e><t> b/thumb.png </t><s>b\\b.kiv</s><p>b\\b.kivproj</p><x>\\ignored</x></e>"
                               "</examples>"),
                          folder));
        REQUIRE(list.Examples().size() == 2);
        CHECK(list.Examples()[0].thumbnail == L"C:\\kiv\\example\\a\\thumb.png");
        CHECK(list.Examples()[0].skin == L"C:\\kiv\\example\\a\\a.kiv");
        CHECK(list.Examples()[0].project == L"C:\\kiv\\example\\a\\a.kivproj");
        CHECK(list.Examples()[1].thumbnail == L"C:\\kiv\\example\\b/thumb.png");
        CHECK(list.Examples()[1].project == L"C:\\kiv\\example\\b\\b.kivproj");
    }
    SUBCASE("self-closing examples and texts outside any example add nothing")
    {
        REQUIRE(list.Read(Utf8("<examples>loose<e/><e><t/><s>\\1</s><p>\\2</p></e><e>\\x<i>\\y</i>\\z</e>"
                               "<e><a><b>\\deep</b></a></e></examples>"),
                          folder));
        // The second example has two texts only; the third has three
        // (text directly inside the example counts as well).
        REQUIRE(list.Examples().size() == 1);
        CHECK(list.Examples()[0].thumbnail == L"C:\\kiv\\example\\x");
        CHECK(list.Examples()[0].project == L"C:\\kiv\\example\\z");
    }
    SUBCASE("texts of one example never leak into the next")
    {
        REQUIRE(list.Read(Utf8("<l><e><t>\\1</t><s>\\2</s></e><e><p>\\3</p><q>\\4</q><r>\\5</r></e></l>"), folder));
        REQUIRE(list.Examples().size() == 1);
        CHECK(list.Examples()[0].thumbnail == L"C:\\kiv\\example\\3");
    }
    SUBCASE("paths that do not fit, climb out of the folder or name a drive are refused")
    {
        const std::string longName(300, 'n');
        REQUIRE(list.Read(Utf8("<l><e><t>\\" + longName + "</t><s>\\s</s><p>\\p</p></e>"
                               "<e><t>\\..\\..\\evil.png</t><s>\\s</s><p>\\p</p></e>"
                               "<e><t>C:\\other.png</t><s>\\s</s><p>\\p</p></e>"
                               "<e><t>\\ok</t><s>\\s</s><p>\\p</p></e></l>"),
                          folder));
        REQUIRE(list.Examples().size() == 1);
        CHECK(list.Examples()[0].thumbnail == L"C:\\kiv\\example\\ok");
    }
    SUBCASE("a broken document keeps the examples before the break")
    {
        list.Read(Utf8("<l><e><t>\\1</t><s>\\2</s><p>\\3</p></e><e><t>\\4</t></oops></l>"), folder);
        CHECK(list.Examples().size() == 1);
    }
    SUBCASE("a flood of examples is bounded")
    {
        std::string xml = "<l>";
        for (int i = 0; i < 1000; ++i)
            xml += "<e><t>\\t</t><s>\\s</s><p>\\p</p></e>";
        xml += "</l>";
        REQUIRE(list.Read(Utf8(xml), folder));
        CHECK(list.Examples().size() == CKivExampleList::kMaxExamples);
    }
    SUBCASE("a fourth text names the example; without one the project file names it")
    {
        REQUIRE(list.Read(Utf8("<l><e><t>\\t</t><s>\\s</s><p>\\dir\\My.Skin.kivproj</p><n>  深色  </n><x>\\y</x></e>"
                               "<e><t>\\t</t><s>\\s</s><p>\\plain.kivproj</p></e>"
                               "<e><t>\\t</t><s>\\s</s><p>\\p</p><n>" + std::string(200, 'n') + "</n></e>"
                               "<e><t>\\t</t><s>\\..\\s</s><p>\\p</p><n>lost</n></e></l>"),
                          folder));
        REQUIRE(list.Examples().size() == 3);
        CHECK(list.Examples()[0].name == L"深色");
        CHECK(list.Examples()[1].name == L"plain");
        CHECK(list.Examples()[2].name == std::wstring(CKivExampleList::kMaxName, L'n'));
    }
    SUBCASE("the shipped list names files that exist")
    {
        const std::wstring shipped = kivtest::BinaryDir() + L"\\example";
        REQUIRE(list.Load(shipped));
        REQUIRE(list.Examples().size() == 2);
        CHECK(list.Examples()[0].name == L"默认（浅色）");
        CHECK(list.Examples()[1].name == L"深色");
        for (const KivExample& example : list.Examples())
        {
            CHECK(GetFileAttributesW(example.thumbnail.c_str()) != INVALID_FILE_ATTRIBUTES);
            CHECK(GetFileAttributesW(example.skin.c_str()) != INVALID_FILE_ATTRIBUTES);
            CHECK(GetFileAttributesW(example.project.c_str()) != INVALID_FILE_ATTRIBUTES);
        }
    }
}
