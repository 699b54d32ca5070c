// Project files: encrypted save and open, the document's shape, safe
// replacement, and damaged or hostile input.
#include <doctest.h>
#include "CKivCipherFile.h"
#include "CKivFileBuilder.h"
#include "CKivProjectTemplate.h"
#include "CKivSkinValidator.h"
#include "test_compiler_support.h"
#include <set>
#include <string>

using namespace kivcompiler;

namespace {

std::vector<BYTE> Bytes(const std::string& text)
{
    return std::vector<BYTE>(text.begin(), text.end());
}

bool WriteEncrypted(const std::wstring& path, const std::string& text)
{
    const std::vector<BYTE> bytes = Bytes(text);
    return CKivCipherFile::WriteEncrypted(path.c_str(), bytes.data(), bytes.size(), 64);
}

// A builder holding one marker item, to show a failed open leaves it alone.
void Mark(CKivFileBuilder& builder)
{
    builder.SetItem(L"Marker\\Item\\Key", L"7", kKivItemText);
}

// The bytes of the plain project builder saves at path.
std::string SavedPlainText(const CKivFileBuilder& builder, const std::wstring& path)
{
    REQUIRE(builder.SavePlainProject(path.c_str()));
    const std::vector<unsigned char> bytes = kivtest::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool StillMarked(const CKivFileBuilder& builder)
{
    const KivProjectItem* item = builder.FindItem(L"Marker\\Item\\Key");
    return builder.Items().size() == 1 && item && item->value == L"7";
}

}  // namespace

TEST_CASE("save and open round trip")
{
    kivtest::TempDir dir;
    CKivFileBuilder saved;
    REQUIRE(saved.SetProjectPath(dir.Path().c_str(), L"round"));
    saved.SetItem(L"WindowEdge\\CaptionBar\\Height", L"30", kKivItemText);
    saved.SetItem(L"WindowEdge\\Edge\\ShadowColor", L"16777215", kKivItemColor);
    saved.SetItem(L"SystemControl\\Button\\NormalBmp", L"pics\\b & <c>.bmp", kKivItemPicture);
    saved.SetItem(L"SystemControl\\Button\\Round", L"", kKivItemText);
    saved.SetItem(L"A\\B\\Long", std::wstring(400, L'x'), kKivItemText);
    CHECK(saved.FindItem(L"A\\B\\Long")->value.size() == 259);
    REQUIRE(saved.SaveProject());

    const std::wstring path = dir.File(L"round.kivproj");
    const std::vector<unsigned char> stored = kivtest::ReadFileBytes(path);
    REQUIRE(stored.size() >= 16);
    CHECK(stored.size() % 16 == 0);
    CHECK(stored[0] != '<');  // encrypted, not plain XML

    CKivFileBuilder opened;
    Mark(opened);
    const bool open = opened.OpenProject(path.c_str());
    INFO(std::string(opened.LastError().begin(), opened.LastError().end()));
    REQUIRE(open);
    CHECK(opened.ProjectName() == L"round");
    CHECK(opened.ProjectFolder() == dir.Path() + L"\\");
    REQUIRE(opened.Items().size() == saved.Items().size());
    for (const auto& item : saved.Items())
    {
        const KivProjectItem* read = opened.FindItem(item.first);
        REQUIRE(read != nullptr);
        CHECK(read->value == item.second.value);
        CHECK(read->type == item.second.type);
    }
}

TEST_CASE("the project document's shape")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;
    REQUIRE(builder.SetProjectPath(dir.Path().c_str(), L"shape"));

    SUBCASE("items in key order with key, value and type")
    {
        builder.SetItem(L"b\\b\\b", L"2", kKivItemPicture);
        builder.SetItem(L"a\\a\\a", L"1", kKivItemColor);
        REQUIRE(builder.SaveProject());
        std::vector<BYTE> document;
        REQUIRE(CKivCipherFile::ReadDecrypted(dir.File(L"shape.kivproj").c_str(), 64, &document));
        const std::vector<XmlElement> elements = WalkElements(document);
        REQUIRE(elements.size() == 3);
        CHECK(elements[0].name == L"KivProject");
        using Attrs = std::vector<std::pair<std::wstring, std::wstring>>;
        CHECK(elements[1].name == L"KivItem");
        CHECK(elements[1].attributes == Attrs{{L"key", L"a\\a\\a"}, {L"value", L"1"}, {L"type", L"3"}});
        CHECK(elements[2].attributes == Attrs{{L"key", L"b\\b\\b"}, {L"value", L"2"}, {L"type", L"2"}});
    }
    SUBCASE("an empty project is the root with a full end tag")
    {
        REQUIRE(builder.SaveProject());
        std::vector<BYTE> document;
        REQUIRE(CKivCipherFile::ReadDecrypted(dir.File(L"shape.kivproj").c_str(), 64, &document));
        const std::string text(document.begin(), document.end());
        CHECK(text.find("<KivProject></KivProject>") != std::string::npos);
        CKivFileBuilder opened;
        Mark(opened);
        REQUIRE(opened.OpenProject(dir.File(L"shape.kivproj").c_str()));
        CHECK(opened.Items().empty());
    }
}

TEST_CASE("reading rules: names, element names, repeated keys")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;

    SUBCASE("my.skin.kivproj is the project my, and builds my.kiv")
    {
        const std::wstring path = dir.File(L"my.skin.kivproj");
        REQUIRE(WriteEncrypted(path, "<KivProject><KivItem key=\"k\\\\a\" value=\"1\" type=\"1\"/></KivProject>"));
        REQUIRE(builder.OpenProject(path.c_str()));
        CHECK(builder.ProjectName() == L"my");
        CHECK(builder.ProjectFilePath(L"kiv") == dir.File(L"my.kiv"));
    }
    SUBCASE("my.skin.kivproj is saved back to itself, never over my.kivproj")
    {
        const std::wstring path = dir.File(L"my.skin.kivproj");
        const std::wstring other = dir.File(L"my.kivproj");
        REQUIRE(WriteEncrypted(path, "<KivProject><KivItem key=\"k\\a\" value=\"1\" type=\"1\"/></KivProject>"));
        REQUIRE(WriteEncrypted(other, "<KivProject><KivItem key=\"k\\a\" value=\"other\" type=\"1\"/></KivProject>"));
        const std::vector<unsigned char> another = kivtest::ReadFileBytes(other);
        REQUIRE(builder.OpenProject(path.c_str()));
        CHECK(builder.ProjectFile() == path);
        builder.SetItem(L"k\\a", L"2", kKivItemText);
        REQUIRE(builder.SaveProject());
        CHECK(kivtest::ReadFileBytes(other) == another);
        CKivFileBuilder reopened;
        REQUIRE(reopened.OpenProject(path.c_str()));
        CHECK(reopened.FindItem(L"k\\a")->value == L"2");
        // A copy made for a build saves where the original would.
        CKivFileBuilder copy;
        copy.CopyFrom(builder);
        CHECK(copy.ProjectFile() == path);
        CHECK(copy.ProjectFilePath(L"kiv") == dir.File(L"my.kiv"));
        CHECK(copy.Items().size() == 1);
    }
    SUBCASE("any element with the attributes is an item; a later one replaces an earlier one")
    {
        const std::wstring path = dir.File(L"p.KIVPROJ");
        REQUIRE(WriteEncrypted(path,
                               "<?xml version=\"1.0\"?><R><Other key=\"X\\Y\\Z\" value=\"1\" type=\"3\"/>"
                               "<KivItem key=\"X\\Y\\Z\" value=\"2\" type=\"1\"/><Plain/></R>"));
        REQUIRE(builder.OpenProject(path.c_str()));
        REQUIRE(builder.Items().size() == 1);
        CHECK(builder.FindItem(L"X\\Y\\Z")->value == L"2");
        CHECK(builder.FindItem(L"X\\Y\\Z")->type == 1);
    }
}

TEST_CASE("a damaged or hostile project fails cleanly and leaves the items alone")
{
    kivtest::TempDir dir;
    const std::wstring path = dir.File(L"bad.kivproj");
    CKivFileBuilder builder;
    Mark(builder);

    SUBCASE("wrong extension")
    {
        REQUIRE(WriteEncrypted(dir.File(L"bad.xml"), "<KivProject/>"));
        CHECK_FALSE(builder.OpenProject(dir.File(L"bad.xml").c_str()));
    }
    SUBCASE("missing file")
    {
        CHECK_FALSE(builder.OpenProject(path.c_str()));
        CHECK_FALSE(builder.OpenProject(nullptr));
    }
    SUBCASE("plain XML instead of an encrypted file")
    {
        const std::string text = "<KivProject><KivItem key=\"a\" value=\"1\" type=\"1\"/></KivProject>";
        REQUIRE(kivtest::WriteFileBytes(path, text.data(), text.size()));
        CHECK_FALSE(builder.OpenProject(path.c_str()));
    }
    SUBCASE("truncated ciphertext")
    {
        REQUIRE(WriteEncrypted(path, "<KivProject><KivItem key=\"a\" value=\"1\" type=\"1\"/>"
                                     "<KivItem key=\"b\" value=\"2\" type=\"1\"/></KivProject>"));
        std::vector<unsigned char> bytes = kivtest::ReadFileBytes(path);
        bytes.resize(bytes.size() - 5);
        REQUIRE(kivtest::WriteFileBytes(path, bytes));
        CHECK_FALSE(builder.OpenProject(path.c_str()));
    }
    SUBCASE("an empty file")
    {
        REQUIRE(kivtest::WriteFileBytes(path, "", 0));
        CHECK_FALSE(builder.OpenProject(path.c_str()));
    }
    SUBCASE("broken XML after some good items")
    {
        REQUIRE(WriteEncrypted(path, "<KivProject><KivItem key=\"a\" value=\"1\" type=\"1\"/><KivItem key="));
        CHECK_FALSE(builder.OpenProject(path.c_str()));
    }
    SUBCASE("a value longer than 259 characters")
    {
        REQUIRE(WriteEncrypted(path, "<KivProject><KivItem key=\"a\" value=\"" + std::string(260, 'v') +
                                         "\" type=\"1\"/></KivProject>"));
        CHECK_FALSE(builder.OpenProject(path.c_str()));
        CHECK(builder.LastError().find(L"259") != std::wstring::npos);
    }
    SUBCASE("entity expansion through a document type")
    {
        std::string doc = "<?xml version=\"1.0\"?><!DOCTYPE p [<!ENTITY a \"aaaaaaaaaa\">";
        for (char c = 'b'; c <= 'j'; ++c)
            doc += std::string("<!ENTITY ") + c + " \"" + std::string(10, '&') + "\">";
        doc += "]><KivProject><KivItem key=\"k\" value=\"&j;\" type=\"1\"/></KivProject>";
        REQUIRE(WriteEncrypted(path, doc));
        CHECK_FALSE(builder.OpenProject(path.c_str()));
    }
    SUBCASE("nesting far deeper than any project")
    {
        std::string doc;
        for (int i = 0; i < 5000; ++i)
            doc += "<d>";
        REQUIRE(WriteEncrypted(path, doc));
        CHECK_FALSE(builder.OpenProject(path.c_str()));
    }
    SUBCASE("random bytes that happen to decrypt")
    {
        std::string noise;
        for (int i = 0; i < 3000; ++i)
            noise += static_cast<char>((i * 7919 + 13) & 0xFF);
        REQUIRE(WriteEncrypted(path, noise));
        CHECK_FALSE(builder.OpenProject(path.c_str()));
    }
    CHECK(StillMarked(builder));
    CHECK_FALSE(builder.LastError().empty());
}

TEST_CASE("a failed save keeps the old project and leaves no temporary file")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;
    REQUIRE(builder.SetProjectPath(dir.Path().c_str(), L"keep"));
    builder.SetItem(L"A\\B\\C", L"1", kKivItemText);
    REQUIRE(builder.SaveProject());
    const std::wstring path = dir.File(L"keep.kivproj");
    const std::vector<unsigned char> old = kivtest::ReadFileBytes(path);
    const std::vector<std::wstring> before = ListFiles(dir.Path());

    // Another program holds the project open without letting it be replaced.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    builder.SetItem(L"A\\B\\C", L"2", kKivItemText);
    const bool saved = builder.SaveProject();
    CloseHandle(held);
    CHECK_FALSE(saved);
    CHECK(builder.LastError().find(L"keep.kivproj") != std::wstring::npos);
    CHECK(kivtest::ReadFileBytes(path) == old);
    CHECK(ListFiles(dir.Path()) == before);

    // Once released, the save goes through and replaces the old contents.
    REQUIRE(builder.SaveProject());
    CKivFileBuilder opened;
    REQUIRE(opened.OpenProject(path.c_str()));
    CHECK(opened.FindItem(L"A\\B\\C")->value == L"2");
    CHECK(ListFiles(dir.Path()) == before);
}

TEST_CASE("plain projects read back what they wrote, relative to their own folder")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;
    builder.SetItem(L"G\\E\\Pic", L"pic.bmp", kKivItemPicture);
    builder.SetItem(L"G\\E\\Size", L"12", kKivItemText);
    const std::wstring plain = dir.File(L"project.kivxml");
    const std::string text = SavedPlainText(builder, plain);
    CHECK(text.find("<KivItem key=\"G\\E\\Pic\" value=\"pic.bmp\" type=\"2\"") != std::string::npos);

    CHECK(text == "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<KivProject>\r\n"
                  "  <KivItem key=\"G\\E\\Pic\" value=\"pic.bmp\" type=\"2\" />\r\n"
                  "  <KivItem key=\"G\\E\\Size\" value=\"12\" type=\"1\" />\r\n</KivProject>\r\n");

    REQUIRE(WriteBmp(dir.File(L"pic.bmp"), 3, 3, Pattern(4)));
    CKivFileBuilder opened;
    REQUIRE(opened.OpenPlainProject(plain.c_str()));
    CHECK(opened.ProjectFolder() == dir.Path() + L"\\");
    CHECK(opened.Items().size() == 2);
    CHECK(opened.ResolvePicturePath(opened.FindItem(L"G\\E\\Pic")->value) == dir.File(L"pic.bmp"));
}

TEST_CASE("plain projects keep markup and CJK characters of values exactly")
{
    kivtest::TempDir dir;
    CKivFileBuilder builder;
    const std::wstring odd = L"a&b <c> \"d\" \x76ae\x80a4\\\x4e2d.bmp";
    builder.SetItem(L"G\\E\\Odd", odd, kKivItemPicture);
    builder.SetItem(L"G\\E\\Empty", L"", kKivItemText);
    // Control characters cannot be in a file name; they are written as
    // references all the same, so the line stays one line.
    builder.SetItem(L"G\\E\\Tab", L"1\t2\r\n", kKivItemText);
    const std::wstring plain = dir.File(L"project.kivxml");
    const std::string text = SavedPlainText(builder, plain);
    CHECK(text.find("value=\"a&amp;b &lt;c&gt; &quot;d&quot; \xE7\x9A\xAE\xE8\x82\xA4\\\xE4\xB8\xAD.bmp\"") !=
          std::string::npos);
    CHECK(text.find("value=\"1&#9;2&#13;&#10;\"") != std::string::npos);
    // Every item on a line of its own, each line ended by CR LF.
    size_t lines = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n')
        {
            CHECK(text[i - 1] == '\r');
            ++lines;
        }
    CHECK(lines == 6);
    CKivFileBuilder opened;
    REQUIRE(opened.OpenPlainProject(plain.c_str()));
    REQUIRE(opened.FindItem(L"G\\E\\Odd") != nullptr);
    CHECK(opened.FindItem(L"G\\E\\Odd")->value == odd);
    CHECK(opened.FindItem(L"G\\E\\Empty")->value.empty());
}

TEST_CASE("a project from the template is complete and its pictures are copies beside it")
{
    kivtest::TempDir dir;
    const std::wstring shipped = kivtest::SourceDir() + L"\\skins\\default\\project.kivxml";
    CKivFileBuilder project;
    REQUIRE(project.SetProjectPath(dir.Path().c_str(), L"fresh"));

    SUBCASE("a missing template leaves the project as it was")
    {
        project.SetItem(L"A\\B\\C", L"1", kKivItemText);
        std::wstring reason;
        CHECK_FALSE(CKivProjectTemplate::Fill(dir.File(L"none.kivxml"), project, &reason));
        CHECK(reason.find(L"none.kivxml") != std::wstring::npos);
        CHECK(project.Items().size() == 1);
        CHECK(ListFiles(dir.Path()).empty());
    }
    SUBCASE("every key, pictures copied without replacing a file")
    {
        // A picture of the designer's already where a copy would go, and a
        // folder of the project's name that holds it.
        REQUIRE(CreateDirectoryW(dir.File(L"fresh").c_str(), nullptr));
        const std::vector<unsigned char> mine = {'m', 'i', 'n', 'e'};
        REQUIRE(kivtest::WriteFileBytes(dir.File(L"fresh\\button_hot.bmp"), mine));
        std::wstring reason;
        REQUIRE(CKivProjectTemplate::Fill(shipped, project, &reason));
        CHECK(project.Items().size() == 146);
        CHECK(CKivSkinValidator::CheckProject(project).empty());
        CHECK(kivtest::ReadFileBytes(dir.File(L"fresh\\button_hot.bmp")) == mine);
        CHECK(project.FindItem(L"SystemControl\\Button\\HotBmp")->value == L"fresh\\button_hot_2.bmp");
        CHECK(project.FindItem(L"SystemControl\\Button\\NormalBmp")->value == L"fresh\\button_normal.bmp");
        CHECK(kivtest::ReadFileBytes(dir.File(L"fresh\\button_normal.bmp")) ==
              kivtest::ReadFileBytes(kivtest::SourceDir() + L"\\skins\\default\\button_normal.bmp"));
        CHECK(project.FindItem(L"WindowEdge\\CaptionBar\\Height")->value == L"30");
        CHECK(ListFiles(dir.Path()).empty());  // nothing beside the project but its folder
        for (const std::wstring& name : ListFiles(dir.File(L"fresh")))
            DeleteFileW(dir.File(L"fresh\\" + name).c_str());
        RemoveDirectoryW(dir.File(L"fresh").c_str());
    }
}

TEST_CASE("free names count up before the extension")
{
    std::set<std::wstring> taken = {L"a.bmp", L"a_2.bmp", L"noext"};
    auto isTaken = [&](const std::wstring& name) { return taken.count(name) != 0; };
    CHECK(CKivProjectTemplate::FreeName(L"b.bmp", isTaken) == L"b.bmp");
    CHECK(CKivProjectTemplate::FreeName(L"a.bmp", isTaken) == L"a_3.bmp");
    CHECK(CKivProjectTemplate::FreeName(L"noext", isTaken) == L"noext_2");
}
