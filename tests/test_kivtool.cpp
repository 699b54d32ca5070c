// kivtool.exe run as a separate process: exit codes, output, and the files it
// writes for build, dump, check, export and import.
#include <doctest.h>
#include "CKivBmpFile.h"
#include "CKivFileBuilder.h"
#include "CKivSkinStore.h"
#include "CKivSkinValidator.h"
#include "CKivTextContrast.h"
#include "KivSkinFile.h"
#include "test_compiler_support.h"
#include <algorithm>
#include <functional>
#include <sstream>

using namespace kivcompiler;

namespace {

struct Run
{
    DWORD exit = 0xdeadbeef;
    std::string out;
    std::string err;
};

std::string Text(const std::wstring& path)
{
    const std::vector<unsigned char> bytes = kivtest::ReadFileBytes(path);
    std::string text;
    for (unsigned char c : bytes)
        if (c != '\r')
            text += static_cast<char>(c);
    return text;
}

Run Kivtool(const std::wstring& arguments)
{
    Run run;
    kivtest::TempDir logs;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileW(logs.File(L"out.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileW(logs.File(L"err.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, 0, nullptr);
    REQUIRE(out != INVALID_HANDLE_VALUE);
    REQUIRE(err != INVALID_HANDLE_VALUE);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    const std::wstring program = kivtest::BinaryDir() + L"\\kivtool.exe";
    std::wstring command = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    const DWORD error = GetLastError();
    CloseHandle(out);
    CloseHandle(err);
    INFO("CreateProcessW error " << error);
    REQUIRE(started);
    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 99);
    CHECK(waited == WAIT_OBJECT_0);
    GetExitCodeProcess(process.hProcess, &run.exit);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.out = Text(logs.File(L"out.txt"));
    run.err = Text(logs.File(L"err.txt"));
    return run;
}

std::wstring Q(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

size_t Lines(const std::string& text)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// A small plain project in dir: three pictures and two numbers.
// A 4x2 32-bpp BMP image of zeros with the given number of planes.
std::vector<unsigned char> Bmp4x2(WORD planes)
{
    BITMAPINFOHEADER info = CKivBmpFile::InfoHeader(4, 2, 32);
    info.biPlanes = planes;
    return CKivBmpFile::Compose(info, nullptr, 4 * 4 * 2);
}

// Keys of the three pictures MakePlainProject keeps beside the project.
const wchar_t* const kOwnPictures[] = {L"SystemControl\\Button\\NormalBmp", L"SystemControl\\Button\\HotBmp",
                                       L"SystemControl\\Button\\PressedBmp"};

// A complete plain project in dir: the shipped default skin with three
// pictures of its own (pic0.bmp to pic2.bmp), a caption 27 high and a red shadow.
void MakePlainProject(const kivtest::TempDir& dir)
{
    CKivFileBuilder builder;
    REQUIRE(OpenShippedProject(L"default", builder));
    for (int i = 0; i < 3; ++i)
    {
        const std::wstring name = L"pic" + std::to_wstring(i) + L".bmp";
        REQUIRE(WriteBmp(dir.File(name), 4 + i, 3, Pattern(i)));
        builder.SetItem(kOwnPictures[i], name, kKivItemPicture);
    }
    builder.SetItem(L"WindowEdge\\CaptionBar\\Height", L"27", kKivItemText);
    builder.SetItem(L"WindowEdge\\Edge\\ShadowColor", L"255", kKivItemColor);
    REQUIRE(builder.SavePlainProject(dir.File(L"project.kivxml").c_str()));
}

// A skin of three pictures under keys the library does not know and two of
// its keys, compiled in process (the compiler itself judges only pictures).
void MakePartialSkin(const kivtest::TempDir& dir, const std::wstring& skin)
{
    CKivFileBuilder builder;
    REQUIRE(builder.SetProjectPath(dir.Path().c_str(), L"part"));
    for (int i = 0; i < 3; ++i)
    {
        const std::wstring name = L"pic" + std::to_wstring(i) + L".bmp";
        REQUIRE(WriteBmp(dir.File(name), 4 + i, 3, Pattern(i)));
        builder.SetItem(L"SystemControl\\Button\\Pic" + std::to_wstring(i), name, kKivItemPicture);
    }
    builder.SetItem(L"WindowEdge\\CaptionBar\\Height", L"27", kKivItemText);
    builder.SetItem(L"WindowEdge\\Edge\\ShadowColor", L"255", kKivItemColor);
    REQUIRE(builder.BuildSkin(skin));
}

}  // namespace

TEST_CASE("help and command-line mistakes")
{
    const Run help = Kivtool(L"--help");
    CHECK(help.exit == 0);
    for (const char* command : {"build", "dump", "check", "export", "import", "--atlas", "-o"})
        CHECK(help.out.find(command) != std::string::npos);

    const Run none = Kivtool(L"");
    CHECK(none.exit == 2);
    CHECK(none.err.find("--help") != std::string::npos);
    const Run unknown = Kivtool(L"frobnicate");
    CHECK(unknown.exit == 2);
    CHECK(unknown.err.find("frobnicate") != std::string::npos);
    CHECK(Kivtool(L"build").exit == 2);
    CHECK(Kivtool(L"export onlyone").exit == 2);
}

TEST_CASE("build from a plain project, and a failed build")
{
    kivtest::TempDir dir;
    MakePlainProject(dir);
    const std::wstring skin = dir.File(L"out.kiv");

    const Run built = Kivtool(L"build " + Q(dir.Path()) + L" -o " + Q(skin));
    CHECK(built.exit == 0);
    CHECK(built.err.empty());
    REQUIRE(CKivSkinStore::LoadSkin(skin.c_str()));
    CHECK(CKivSkinStore::Settings().captionBarHeight == 27);
    CHECK(CKivSkinStore::Settings().edgeShadowColor == 255);
    CHECK(CKivSkinStore::Atlas() != nullptr);

    // Without -o the skin is named after the folder and lands beside the project.
    CHECK(Kivtool(L"build " + Q(dir.File(L"project.kivxml"))).exit == 0);
    const std::wstring folderName = dir.Path().substr(dir.Path().find_last_of(L'\\') + 1);
    CHECK(kiv::KivFileExists(dir.File(folderName + L".kiv").c_str()));

    const std::vector<unsigned char> good = kivtest::ReadFileBytes(skin);
    DeleteFileW(dir.File(L"pic1.bmp").c_str());
    const std::vector<std::wstring> before = ListFiles(dir.Path());
    const Run failed = Kivtool(L"build " + Q(dir.Path()) + L" -o " + Q(skin));
    CHECK(failed.exit == 1);
    CHECK(Lines(failed.err) == 1);
    CHECK(failed.err.find("SystemControl\\Button\\HotBmp") != std::string::npos);
    CHECK(failed.err.find("pic1.bmp") != std::string::npos);
    CHECK(failed.err.find("project.kivxml") != std::string::npos);
    CHECK(failed.out.empty());
    CHECK(kivtest::ReadFileBytes(skin) == good);
    CHECK(ListFiles(dir.Path()) == before);
}

TEST_CASE("dump prints every key of the shipped default skin")
{
    const std::wstring skin = kivtest::BinaryDir() + L"\\default.kiv";
    kivtest::TempDir dir;
    const Run dump = Kivtool(L"dump " + Q(skin) + L" --atlas " + Q(dir.File(L"atlas.bmp")));
    REQUIRE(dump.exit == 0);
    CHECK(Lines(dump.out) == 146);
    // The whole dump is pinned so an accidental change to the skin shows.
    const std::string expected = Text(kivtest::SourceDir() + L"\\tests\\test_kivtool_default.dump");
    REQUIRE_FALSE(expected.empty());
    CHECK(dump.out == expected);

    const Atlas atlas = DecodeAtlasImage(kivtest::ReadFileBytes(dir.File(L"atlas.bmp")));
    REQUIRE(atlas.ok);
    CHECK(atlas.fileSize == atlas.imageLength);
    // The caption picture's rectangle from the dump holds the caption colour.
    std::istringstream lines(dump.out);
    std::string line;
    int left = -1, top = -1, right = -1, bottom = -1;
    const std::string prefix = "WindowEdge\\CaptionBar\\ActiveBmp = ";
    while (std::getline(lines, line))
        if (line.rfind(prefix, 0) == 0)
            sscanf(line.c_str() + prefix.size(), "%d %d %d %d", &left, &top, &right, &bottom);
    REQUIRE(right > left);
    REQUIRE(bottom <= atlas.height);
    CHECK(atlas.At(left + 3, top + 10) == RGB(0xC5, 0xD6, 0xEF));

    const Run missing = Kivtool(L"dump " + Q(dir.File(L"nothing.kiv")));
    CHECK(missing.exit == 1);
    CHECK(missing.err.find("nothing.kiv") != std::string::npos);
}

TEST_CASE("check reports what is wrong and passes what is right")
{
    kivtest::TempDir dir;
    CHECK(Kivtool(L"check " + Q(kivtest::BinaryDir() + L"\\default.kiv")).exit == 0);
    CHECK(Kivtool(L"check " + Q(kivtest::SourceDir() + L"\\skins\\dark")).exit == 0);

    SUBCASE("a partial skin misses keys")
    {
        MakePartialSkin(dir, dir.File(L"part.kiv"));
        const Run check = Kivtool(L"check " + Q(dir.File(L"part.kiv")));
        CHECK(check.exit == 1);
        CHECK(check.out.find("missing key WindowEdge\\CaptionBar\\ButtonWidth") != std::string::npos);
        CHECK(check.out.find("unknown key SystemControl\\Button\\Pic0") != std::string::npos);
        CHECK(check.out.find("missing key WindowEdge\\CaptionBar\\Height") == std::string::npos);
    }
    SUBCASE("a project whose picture file is gone")
    {
        CKivFileBuilder builder;
        REQUIRE(builder.OpenPlainProject((kivtest::SourceDir() + L"\\skins\\default\\project.kivxml").c_str()));
        builder.SetItem(L"SystemControl\\Button\\HotBmp", L"no_such.bmp", kKivItemPicture);
        builder.SetItem(L"WindowEdge\\CaptionBar\\Height", L"tall", kKivItemText);
        REQUIRE(builder.SavePlainProject(dir.File(L"broken.kivxml").c_str()));
        const Run check = Kivtool(L"check " + Q(dir.File(L"broken.kivxml")));
        CHECK(check.exit == 1);
        CHECK(check.out.find("SystemControl\\Button\\HotBmp") != std::string::npos);
        CHECK(check.out.find("no_such.bmp") != std::string::npos);
        CHECK(check.out.find("\"tall\" is not a decimal number") != std::string::npos);
    }
    SUBCASE("a rectangle outside the atlas, and a damaged file")
    {
        std::string settings = "<KivDescription><WindowEdge><CaptionBar>"
                               "<ActiveBmp left=\"0\" top=\"0\" right=\"40\" bottom=\"2\"/>"
                               "<DefaultBmp left=\"3\" top=\"1\" right=\"3\" bottom=\"2\"/>"
                               "</CaptionBar></WindowEdge></KivDescription>";
        const std::vector<unsigned char> bmp = Bmp4x2(1);
        REQUIRE(kivtest::WriteFileBytes(dir.File(L"odd.kiv"),
                                        kivtest::MakeSkinFile({settings.begin(), settings.end()}, bmp)));
        const Run check = Kivtool(L"check " + Q(dir.File(L"odd.kiv")));
        CHECK(check.exit == 1);
        CHECK(check.out.find("ActiveBmp: rectangle 0 0 40 2 lies outside the 4x2 atlas") != std::string::npos);
        CHECK(check.out.find("DefaultBmp: empty picture rectangle") != std::string::npos);

        std::vector<unsigned char> damaged = kivtest::ReadFileBytes(dir.File(L"odd.kiv"));
        damaged.resize(40);
        REQUIRE(kivtest::WriteFileBytes(dir.File(L"damaged.kiv"), damaged));
        const Run bad = Kivtool(L"check " + Q(dir.File(L"damaged.kiv")));
        CHECK(bad.exit == 1);
        CHECK(bad.err.find("damaged.kiv") != std::string::npos);
    }
}

TEST_CASE("export and import round trip through a plain folder")
{
    kivtest::TempDir source;
    kivtest::TempDir pictures;
    kivtest::TempDir exported;
    kivtest::TempDir target;
    // One picture beside the project (relative), one elsewhere (absolute), and
    // two different pictures sharing a file name.
    REQUIRE(WriteBmp(source.File(L"near.bmp"), 5, 4, Pattern(1)));
    REQUIRE(WriteBmp(pictures.File(L"far.bmp"), 6, 3, Pattern(2)));
    REQUIRE(WriteBmp(pictures.File(L"near.bmp"), 2, 2, Pattern(3)));
    CKivFileBuilder original;
    REQUIRE(original.SetProjectPath(source.Path().c_str(), L"orig"));
    original.SetItem(L"A\\B\\Near", L"near.bmp", kKivItemPicture);
    original.SetItem(L"A\\B\\Far", pictures.File(L"far.bmp"), kKivItemPicture);
    original.SetItem(L"A\\B\\Other", pictures.File(L"near.bmp"), kKivItemPicture);
    original.SetItem(L"A\\B\\Size", L"9", kKivItemText);
    REQUIRE(original.SaveProject());
    REQUIRE(original.BuildSkin(source.File(L"orig.kiv")));

    const Run exportRun = Kivtool(L"export " + Q(source.File(L"orig.kivproj")) + L" " + Q(exported.Path()));
    REQUIRE(exportRun.exit == 0);
    const std::string plain = Text(exported.File(L"project.kivxml"));
    CHECK(plain.find("key=\"A\\B\\Far\" value=\"far.bmp\" type=\"2\"") != std::string::npos);
    CHECK(plain.find("key=\"A\\B\\Near\" value=\"near.bmp\"") != std::string::npos);
    CHECK(plain.find("key=\"A\\B\\Other\" value=\"near_2.bmp\"") != std::string::npos);
    CHECK(kivtest::ReadFileBytes(exported.File(L"near_2.bmp")) == kivtest::ReadFileBytes(pictures.File(L"near.bmp")));

    const std::wstring imported = target.File(L"again.kivproj");
    const Run importRun = Kivtool(L"import " + Q(exported.Path()) + L" " + Q(imported));
    REQUIRE(importRun.exit == 0);
    CKivFileBuilder back;
    REQUIRE(back.OpenProject(imported.c_str()));
    REQUIRE(back.Items().size() == 4);
    CHECK(back.FindItem(L"A\\B\\Size")->value == L"9");
    const std::pair<const wchar_t*, std::wstring> pictureOf[] = {{L"A\\B\\Near", source.File(L"near.bmp")},
                                                                 {L"A\\B\\Far", pictures.File(L"far.bmp")},
                                                                 {L"A\\B\\Other", pictures.File(L"near.bmp")}};
    for (const auto& expected : pictureOf)
    {
        const std::wstring path = back.ResolvePicturePath(back.FindItem(expected.first)->value);
        REQUIRE_FALSE(path.empty());
        CHECK(kivtest::ReadFileBytes(path) == kivtest::ReadFileBytes(expected.second));
    }
    // The imported project compiles to the very same skin as the original.
    REQUIRE(back.BuildSkin(target.File(L"again.kiv")));
    CHECK(kivtest::ReadFileBytes(target.File(L"again.kiv")) == kivtest::ReadFileBytes(source.File(L"orig.kiv")));
    DeleteFileW(exported.File(L"far.bmp").c_str());
    DeleteFileW(exported.File(L"near.bmp").c_str());
    DeleteFileW(exported.File(L"near_2.bmp").c_str());
}

TEST_CASE("check and dump refuse exactly the atlases the library refuses")
{
    kivtest::TempDir dir;
    std::string settings = "<KivDescription><WindowEdge><CaptionBar><Height value=\"30\"/>"
                           "</CaptionBar></WindowEdge></KivDescription>";
    // A BMP image the old tool passed: right type, size and header size, but
    // two planes, which the library refuses.
    std::vector<unsigned char> bmp = Bmp4x2(2);
    const std::wstring skin = dir.File(L"planes.kiv");
    REQUIRE(kivtest::WriteFileBytes(skin, kivtest::MakeSkinFile({settings.begin(), settings.end()}, bmp)));
    CHECK_FALSE(CKivSkinStore::LoadSkin(skin.c_str()));

    const Run check = Kivtool(L"check " + Q(skin));
    CHECK(check.exit == 1);
    CHECK(check.err.find("the library refuses") != std::string::npos);
    CHECK(check.err.find("plane") != std::string::npos);

    const Run dump = Kivtool(L"dump " + Q(skin) + L" --atlas " + Q(dir.File(L"a.bmp")));
    CHECK(dump.exit == 1);
    CHECK(Lines(dump.out) == 146);  // what could be read is still shown
    CHECK(dump.out.find("WindowEdge\\CaptionBar\\Height = 30") != std::string::npos);
    CHECK(dump.err.find("atlas") != std::string::npos);
    CHECK(dump.err.find("unusable") != std::string::npos);
    CHECK(kivtest::ReadFileBytes(dir.File(L"a.bmp")) == bmp);

    // The same skin with one plane passes both.
    bmp = Bmp4x2(1);
    REQUIRE(kivtest::WriteFileBytes(skin, kivtest::MakeSkinFile({settings.begin(), settings.end()}, bmp)));
    CHECK(Kivtool(L"dump " + Q(skin)).exit == 0);
    const Run partial = Kivtool(L"check " + Q(skin));
    CHECK(partial.err.find("the library refuses") == std::string::npos);
    CHECK(partial.out.find("missing key") != std::string::npos);
}

TEST_CASE("export copies a shared picture once and overwrites only with --force")
{
    kivtest::TempDir source;
    kivtest::TempDir exported;
    REQUIRE(WriteBmp(source.File(L"shared.bmp"), 3, 3, Pattern(4)));
    CKivFileBuilder project;
    REQUIRE(project.SetProjectPath(source.Path().c_str(), L"p"));
    project.SetItem(L"A\\B\\One", L"shared.bmp", kKivItemPicture);
    project.SetItem(L"A\\B\\Two", source.File(L"shared.bmp"), kKivItemPicture);
    REQUIRE(project.SaveProject());
    const std::wstring projectFile = source.File(L"p.kivproj");

    REQUIRE(Kivtool(L"export " + Q(projectFile) + L" " + Q(exported.Path())).exit == 0);
    std::vector<std::wstring> files = ListFiles(exported.Path());
    std::sort(files.begin(), files.end());
    CHECK(files == std::vector<std::wstring>{L"project.kivxml", L"shared.bmp"});
    const std::string plain = Text(exported.File(L"project.kivxml"));
    CHECK(plain.find("key=\"A\\B\\One\" value=\"shared.bmp\"") != std::string::npos);
    CHECK(plain.find("key=\"A\\B\\Two\" value=\"shared.bmp\"") != std::string::npos);

    // A second export into the same folder would replace the files: refused.
    const std::vector<unsigned char> mine = {'m', 'i', 'n', 'e'};
    REQUIRE(kivtest::WriteFileBytes(exported.File(L"shared.bmp"), mine));
    const Run again = Kivtool(L"export " + Q(projectFile) + L" " + Q(exported.Path()));
    CHECK(again.exit == 1);
    CHECK(again.err.find("--force") != std::string::npos);
    CHECK(kivtest::ReadFileBytes(exported.File(L"shared.bmp")) == mine);
    CHECK(Text(exported.File(L"project.kivxml")) == plain);

    CHECK(Kivtool(L"export " + Q(projectFile) + L" " + Q(exported.Path()) + L" --force").exit == 0);
    CHECK(kivtest::ReadFileBytes(exported.File(L"shared.bmp")) == kivtest::ReadFileBytes(source.File(L"shared.bmp")));
    DeleteFileW(exported.File(L"shared.bmp").c_str());
    DeleteFileW(exported.File(L"project.kivxml").c_str());
}

TEST_CASE("check warns about a group box text colour that does not stand out")
{
    kivtest::TempDir dir;
    // The shipped skins read well: no warning at all.
    for (const wchar_t* name : {L"default", L"dark"})
    {
        const Run shipped = Kivtool(L"check " + Q(kivtest::BinaryDir() + L"\\" + name + L".kiv"));
        CHECK(shipped.exit == 0);
        CHECK(shipped.err.find("warning") == std::string::npos);
    }
    // Light grey text on the default skin's near-white dialog colour F6F7F9: 1.5:1.
    const COLORREF dialog = RGB(0xF6, 0xF7, 0xF9);
    struct Case
    {
        COLORREF text;
        bool warns;
    };
    const Case cases[] = {{RGB(0xCC, 0xCC, 0xCC), true}, {RGB(0x80, 0x80, 0x80), false}};
    for (const Case& c : cases)
    {
        const double ratio = CKivTextContrast::ContrastRatio(c.text, dialog);
        INFO("contrast " << ratio);
        CHECK((ratio < 3.0) == c.warns);
        CKivFileBuilder builder;
        REQUIRE(builder.OpenPlainProject((kivtest::SourceDir() + L"\\skins\\default\\project.kivxml").c_str()));
        builder.SetItem(L"SystemControl\\GroupBox\\TextColor", std::to_wstring(c.text), kKivItemColor);
        // The pictures stay where they are: the copy of the project names them by full path.
        const CKivFileBuilder::ItemMap items = builder.Items();
        for (const auto& item : items)
            if (item.second.type == kKivItemPicture)
                builder.SetItem(item.first, kivtest::SourceDir() + L"\\skins\\default\\" + item.second.value,
                                kKivItemPicture);
        REQUIRE(builder.SavePlainProject(dir.File(L"project.kivxml").c_str()));
        REQUIRE(Kivtool(L"build " + Q(dir.File(L"project.kivxml")) + L" -o " + Q(dir.File(L"grey.kiv"))).exit == 0);
        const Run check = Kivtool(L"check " + Q(dir.File(L"grey.kiv")));
        CHECK(check.exit == 0);  // a warning, not a problem
        CHECK(check.out.find("ok: ") != std::string::npos);
        const size_t warning = check.err.find("warning: SystemControl\\GroupBox\\TextColor");
        CHECK((warning != std::string::npos) == c.warns);
        if (c.warns)
            CHECK(check.err.find("#CCCCCC contrasts only 1.50:1 with the dialog background colour #F6F7F9") !=
                  std::string::npos);
    }
}

namespace {

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], bytes, nullptr,
                            nullptr);
    return out;
}

bool Has(const std::string& text, const std::wstring& part)
{
    return text.find(Utf8(part)) != std::string::npos;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST_CASE("import writes exactly the project it is given and replaces one only with --force")
{
    kivtest::TempDir dir;
    const std::wstring dots = dir.File(L"dots");
    REQUIRE(CreateDirectoryW(dots.c_str(), nullptr));
    const std::wstring shop = dots + L"\\Shop.kivproj";
    const std::wstring v2 = dots + L"\\Shop.v2.kivproj";
    const std::wstring dark = kivtest::SourceDir() + L"\\skins\\dark";
    const std::wstring light = kivtest::SourceDir() + L"\\skins\\default";

    REQUIRE(Kivtool(L"import " + Q(dark) + L" " + Q(shop)).exit == 0);
    const std::vector<unsigned char> darkProject = kivtest::ReadFileBytes(shop);
    const Run second = Kivtool(L"import " + Q(light) + L" " + Q(v2));
    CHECK(second.exit == 0);
    CHECK(Has(second.out, v2));
    CHECK(kivtest::ReadFileBytes(shop) == darkProject);
    CHECK(Sorted(ListFiles(dots)) == std::vector<std::wstring>{L"Shop.kivproj", L"Shop.v2.kivproj"});
    {
        CKivFileBuilder imported;
        CKivFileBuilder source;
        REQUIRE(imported.OpenProject(v2.c_str()));
        REQUIRE(source.OpenPlainProject((light + L"\\project.kivxml").c_str()));
        REQUIRE(imported.Items().size() == source.Items().size());
        for (const auto& item : source.Items())
            if (item.second.type != kKivItemPicture)
                CHECK(imported.FindItem(item.first)->value == item.second.value);
    }

    // Over an existing project only when asked; a refusal leaves it as it was.
    const std::vector<unsigned char> lightProject = kivtest::ReadFileBytes(v2);
    const Run again = Kivtool(L"import " + Q(dark) + L" " + Q(v2));
    CHECK(again.exit == 1);
    CHECK(again.err.find("--force") != std::string::npos);
    CHECK(Has(again.err, v2));
    CHECK(kivtest::ReadFileBytes(v2) == lightProject);
    CHECK(Kivtool(L"import " + Q(dark) + L" " + Q(v2) + L" --force").exit == 0);
    CHECK(kivtest::ReadFileBytes(v2) == darkProject);
    CHECK(Sorted(ListFiles(dots)) == std::vector<std::wstring>{L"Shop.kivproj", L"Shop.v2.kivproj"});

    // A picture beside the imported project is named by its file name alone.
    kivtest::TempDir plain;
    MakePlainProject(plain);
    REQUIRE(Kivtool(L"import " + Q(plain.Path()) + L" " + Q(plain.File(L"same.kivproj"))).exit == 0);
    CKivFileBuilder same;
    REQUIRE(same.OpenProject(plain.File(L"same.kivproj").c_str()));
    CHECK(same.FindItem(kOwnPictures[0])->value == L"pic0.bmp");
}

TEST_CASE("dump writes its atlas through a new file, never over the skin, and over a file only with --force")
{
    kivtest::TempDir dir;
    const std::wstring skin = dir.File(L"copy.kiv");
    REQUIRE(CopyFileW((kivtest::BinaryDir() + L"\\default.kiv").c_str(), skin.c_str(), FALSE));
    const std::vector<unsigned char> original = kivtest::ReadFileBytes(skin);

    for (const wchar_t* force : {L"", L" --force"})
    {
        const Run self = Kivtool(L"dump " + Q(skin) + L" --atlas " + Q(skin) + force);
        CHECK(self.exit == 1);
        CHECK(self.out.empty());
        CHECK(self.err.find("being dumped") != std::string::npos);
        const Run otherCase = Kivtool(L"dump " + Q(skin) + L" --atlas " + Q(dir.File(L"COPY.KIV")) + force);
        CHECK(otherCase.exit == 1);
        CHECK(kivtest::ReadFileBytes(skin) == original);
    }
    // The same file under another name is still the skin.
    if (CreateHardLinkW(dir.File(L"alias.kiv").c_str(), skin.c_str(), nullptr))
    {
        const Run alias = Kivtool(L"dump " + Q(skin) + L" --atlas " + Q(dir.File(L"alias.kiv")) + L" --force");
        CHECK(alias.exit == 1);
        CHECK(alias.err.find("being dumped") != std::string::npos);
        CHECK(kivtest::ReadFileBytes(skin) == original);
        DeleteFileW(dir.File(L"alias.kiv").c_str());
    }
    else
        MESSAGE("no hard links on this file system: the alias case is not run");

    const std::vector<unsigned char> mine = {'m', 'i', 'n', 'e'};
    const std::wstring atlas = dir.File(L"atlas.bmp");
    REQUIRE(kivtest::WriteFileBytes(atlas, mine));
    const Run kept = Kivtool(L"dump " + Q(skin) + L" --atlas " + Q(atlas));
    CHECK(kept.exit == 1);
    CHECK(kept.out.empty());
    CHECK(kept.err.find("--force") != std::string::npos);
    CHECK(kivtest::ReadFileBytes(atlas) == mine);

    const Run replaced = Kivtool(L"dump " + Q(skin) + L" --atlas " + Q(atlas) + L" --force");
    CHECK(replaced.exit == 0);
    CHECK(Lines(replaced.out) == 146);
    CHECK(DecodeAtlasImage(kivtest::ReadFileBytes(atlas)).ok);
    CHECK(kivtest::ReadFileBytes(skin) == original);
    CHECK(Sorted(ListFiles(dir.Path())) == std::vector<std::wstring>{L"atlas.bmp", L"copy.kiv"});
}

TEST_CASE("dump of a skin whose settings break off part-way prints what was read and fails")
{
    kivtest::TempDir dir;
    const std::string whole = kivtest::SchemaDocument([](size_t, bool rect) {
        return rect ? std::string("left=\"0\" top=\"0\" right=\"4\" bottom=\"2\"") : std::string("value=\"1\"");
    });
    const std::vector<unsigned char> bmp = Bmp4x2(1);
    const std::wstring good = dir.File(L"whole.kiv");
    REQUIRE(kivtest::WriteFileBytes(good, kivtest::MakeSkinFile({whole.begin(), whole.end()}, bmp)));
    CHECK(Kivtool(L"dump " + Q(good)).exit == 0);

    // The document stops in the middle of an element: the library keeps
    // what came before and leaves the rest at 0.
    const std::string cut = whole.substr(0, whole.size() / 2);
    const std::wstring broken = dir.File(L"broken.kiv");
    REQUIRE(kivtest::WriteFileBytes(broken, kivtest::MakeSkinFile({cut.begin(), cut.end()}, bmp)));
    const Run dump = Kivtool(L"dump " + Q(broken));
    CHECK(dump.exit == 1);
    CHECK(Lines(dump.out) == 146);
    CHECK(dump.out.find("WindowEdge\\CaptionBar\\ButtonWidth = 1") != std::string::npos);
    CHECK(dump.out.find("SystemControl\\TabControl\\Transparent = 0") != std::string::npos);
    CHECK(dump.err.find("cannot be read whole") != std::string::npos);
    CHECK(Has(dump.err, broken));
    const Run check = Kivtool(L"check " + Q(broken));
    CHECK(check.exit == 1);
    CHECK(check.err.find("damaged") != std::string::npos);
}

TEST_CASE("build, check of the project, check of the skin and the validator refuse the same faults in the same words")
{
    struct Fault
    {
        const char* name;
        std::function<void(const kivtest::TempDir&, CKivFileBuilder&)> make;
        bool compilerRefuses;  // a picture fault: the compiler alone refuses it as well
    };
    const Fault faults[] = {
        {"a colour written as #FF0000",
         [](const kivtest::TempDir&, CKivFileBuilder& b) {
             b.SetItem(L"WindowEdge\\Edge\\ShadowColor", L"#FF0000", kKivItemColor);
         },
         false},
        {"a misspelt key",
         [](const kivtest::TempDir&, CKivFileBuilder& b) {
             b.SetItem(L"WindowEdge\\CaptionBar\\Heigth", L"30", kKivItemText);
         },
         false},
        {"a switch set to 2",
         [](const kivtest::TempDir&, CKivFileBuilder& b) {
             b.SetItem(L"WindowEdge\\Edge\\EnableSizeCtl", L"2", kKivItemText);
         },
         false},
        {"a colour beyond white",
         [](const kivtest::TempDir&, CKivFileBuilder& b) {
             b.SetItem(L"SystemControl\\ListBox\\BorderColor", L"16777216", kKivItemColor);
         },
         false},
        {"a picture cut short",
         [](const kivtest::TempDir& dir, CKivFileBuilder&) {
             REQUIRE(WriteTruncatedBmp(dir.File(L"pic1.bmp"), 40, 30, Pattern(5)));
         },
         true},
        {"a picture 17000 pixels wide",
         [](const kivtest::TempDir& dir, CKivFileBuilder&) {
             REQUIRE(WriteBmp(dir.File(L"pic1.bmp"), 17000, 20, Pattern(6)));
         },
         true},
    };
    for (const Fault& fault : faults)
    {
        INFO(fault.name);
        kivtest::TempDir dir;
        MakePlainProject(dir);
        const std::wstring plain = dir.File(L"project.kivxml");
        CKivFileBuilder project;
        REQUIRE(project.OpenPlainProject(plain.c_str()));
        fault.make(dir, project);
        REQUIRE(project.SavePlainProject(plain.c_str()));

        const std::vector<std::wstring> problems = CKivSkinValidator::CheckProject(project);
        REQUIRE(problems.size() == 1);
        const std::wstring line = CKivSkinValidator::Describe(plain, problems[0]);
        INFO(Utf8(line));

        const Run check = Kivtool(L"check " + Q(plain));
        CHECK(check.exit == 1);
        CHECK(Has(check.out, line));
        const std::wstring skin = dir.File(L"out.kiv");
        const Run build = Kivtool(L"build " + Q(plain) + L" -o " + Q(skin));
        CHECK(build.exit == 1);
        CHECK(Lines(build.err) == 1);
        CHECK(Has(build.err, line));
        CHECK_FALSE(kiv::KivFileExists(skin.c_str()));

        // What the compiler alone lets through, check of the skin refuses in
        // the same words; a bad picture the compiler refuses by itself.
        const bool compiled = project.BuildSkin(skin);
        CHECK(compiled == !fault.compilerRefuses);
        if (compiled)
        {
            const Run checkSkin = Kivtool(L"check " + Q(skin));
            CHECK(checkSkin.exit == 1);
            CHECK(Has(checkSkin.out, CKivSkinValidator::Describe(skin, problems[0])));
            if (problems[0].find(L"unknown key") == std::wstring::npos)
                CHECK(checkSkin.out.find("problem(s)") != std::string::npos);
        }
        else
            CHECK(project.LastError() == problems[0]);
    }

    // The untouched project passes all of them.
    kivtest::TempDir dir;
    MakePlainProject(dir);
    CHECK(Kivtool(L"check " + Q(dir.Path())).exit == 0);
    CHECK(Kivtool(L"build " + Q(dir.Path()) + L" -o " + Q(dir.File(L"ok.kiv"))).exit == 0);
    const Run checkSkin = Kivtool(L"check " + Q(dir.File(L"ok.kiv")));
    CHECK(checkSkin.exit == 0);
    CHECK(checkSkin.out.find("ok: ") != std::string::npos);
}

TEST_CASE("export writes each shipped skin exactly as it is committed")
{
    for (const wchar_t* name : {L"default", L"dark"})
    {
        INFO(Utf8(name));
        kivtest::TempDir work;
        const std::wstring source = kivtest::SourceDir() + L"\\skins\\" + name;
        const std::wstring project = work.File(std::wstring(name) + L".kivproj");
        REQUIRE(Kivtool(L"import " + Q(source) + L" " + Q(project)).exit == 0);
        const std::wstring out = work.File(L"out");
        REQUIRE(Kivtool(L"export " + Q(project) + L" " + Q(out)).exit == 0);
        const std::vector<unsigned char> committed = kivtest::ReadFileBytes(source + L"\\project.kivxml");
        REQUIRE_FALSE(committed.empty());
        CHECK(kivtest::ReadFileBytes(out + L"\\project.kivxml") == committed);
        const std::vector<std::wstring> files = ListFiles(out);
        CHECK(Sorted(files) == Sorted(ListFiles(source)));
        for (const std::wstring& file : files)
        {
            CHECK(kivtest::ReadFileBytes(out + L"\\" + file) == kivtest::ReadFileBytes(source + L"\\" + file));
            DeleteFileW((out + L"\\" + file).c_str());
        }
        RemoveDirectoryW(out.c_str());
    }
}

TEST_CASE("a file that cannot be written is named with the real reason, never with a temporary name")
{
    kivtest::TempDir dir;
    MakePlainProject(dir);
    const std::vector<std::wstring> before = Sorted(ListFiles(dir.Path()));
    const std::wstring missing = dir.File(L"missing");
    auto refused = [](const Run& run, const std::wstring& reason) {
        INFO(run.err);
        CHECK(run.exit == 1);
        CHECK(Has(run.err, reason));
        CHECK(run.err.find(".tmp") == std::string::npos);
    };
    const std::wstring noFolder = L"the folder \"" + missing + L"\" does not exist";

    refused(Kivtool(L"build " + Q(dir.Path()) + L" -o " + Q(missing + L"\\x.kiv")), noFolder);
    refused(Kivtool(L"build " + Q(dir.Path()) + L" -o " + Q(dir.Path())), L"\"" + dir.Path() + L"\" is a folder");
    refused(Kivtool(L"dump " + Q(kivtest::BinaryDir() + L"\\default.kiv") + L" --atlas " + Q(missing + L"\\a.bmp")),
            noFolder);
    refused(Kivtool(L"import " + Q(dir.Path()) + L" " + Q(missing + L"\\p.kivproj")), noFolder);
    refused(Kivtool(L"encrypt " + Q(dir.File(L"project.kivxml")) + L" " + Q(missing + L"\\c.xml")), noFolder);
    refused(Kivtool(L"export " + Q(kivtest::BinaryDir() + L"\\example\\dark\\dark.kivproj") + L" " +
                    Q(missing + L"\\deeper")),
            noFolder);

    // A skin another program holds open is reported as such.
    const std::wstring held = dir.File(L"held.kiv");
    REQUIRE(kivtest::WriteFileBytes(held, std::vector<unsigned char>{'o', 'l', 'd'}));
    HANDLE lock = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(lock != INVALID_HANDLE_VALUE);
    refused(Kivtool(L"build " + Q(dir.Path()) + L" -o " + Q(held)), L"\"" + held + L"\" is in use by another program");
    CloseHandle(lock);
    CHECK(kivtest::ReadFileBytes(held) == std::vector<unsigned char>{'o', 'l', 'd'});

    std::vector<std::wstring> after = ListFiles(dir.Path());
    after.erase(std::remove(after.begin(), after.end(), L"held.kiv"), after.end());
    CHECK(Sorted(after) == before);
}
