#include "CKivTool.h"
#include "CKivAtomicFile.h"
#include "CKivCipherFile.h"
#include "CKivFileBuilder.h"
#include "CKivPlainFile.h"
#include "CKivProjectTemplate.h"
#include "CKivWaitClip.h"
#include "CKivSkinAuditor.h"
#include "CKivSkinSchema.h"
#include "CKivSkinValidator.h"
#include "CKivSkinLoad.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"
#include "CKivGdiObject.h"
#include "CKivFileHandle.h"
#include "KivSkinFile.h"
#include <shlwapi.h>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <map>
#include <set>

const wchar_t* const CKivTool::kPlainProjectName = L"project.kivxml";

namespace {

const wchar_t kHelp[] =
    L"kivtool - build and inspect Kiv skins\n"
    L"\n"
    L"usage:\n"
    L"  kivtool build PROJECT [-o OUT.kiv]\n"
    L"      Compile a project into a skin file. PROJECT is an encrypted .kivproj,\n"
    L"      a plain project file (project.kivxml) or a folder holding one.\n"
    L"      Without -o the skin goes beside the project as NAME.kiv. A project\n"
    L"      that check refuses is not built, and an existing skin file is\n"
    L"      replaced only when the build succeeds.\n"
    L"  kivtool dump SKIN.kiv [--atlas OUT.bmp [--force]]\n"
    L"      Load a skin as the library does and print every key with its value\n"
    L"      (pictures as left top right bottom in the atlas). --atlas also writes\n"
    L"      the decrypted atlas picture; an existing file is replaced only with\n"
    L"      --force, and never the skin itself. Exit code 1 when the library\n"
    L"      would refuse the skin (an unusable atlas, say) or its settings are\n"
    L"      damaged, after printing what could be read.\n"
    L"  kivtool check SKIN.kiv|PROJECT\n"
    L"      Report what the library would refuse to load, missing or unknown keys,\n"
    L"      numbers the library would read otherwise than written (a switch is\n"
    L"      0 or 1, a colour a decimal from 0 to 16777215), pictures outside the\n"
    L"      atlas or empty, and picture files that are missing, cut short or too\n"
    L"      large. build and the builder refuse exactly the same projects.\n"
    L"      Exit code 1 when anything is wrong. Also warns (exit code unchanged)\n"
    L"      when the group box text colour of a skin file contrasts less than\n"
    L"      3:1 with the dialog background.\n"
    L"  kivtool export PROJECT.kivproj DIR [--force]\n"
    L"      Write DIR\\project.kivxml, a plain diff-friendly copy of the project, and\n"
    L"      copy each of its picture files once into DIR (paths become relative to\n"
    L"      DIR). Files already in DIR are replaced only with --force.\n"
    L"  kivtool import DIR PROJECT.kivproj [--force]\n"
    L"      Turn DIR\\project.kivxml (or a .kivxml file) back into an encrypted\n"
    L"      project; picture paths become relative to the project's folder. An\n"
    L"      existing project is replaced only with --force.\n"
    L"  kivtool encrypt PLAIN OUT\n"
    L"      Encrypt a plain XML document with the skin cipher, as the builder\n"
    L"      reads its configuration and projects.\n"
    L"  kivtool clip OUT.avi\n"
    L"      Write the builder's wait animation (uncompressed 8-bit AVI).\n"
    L"  kivtool --help\n"
    L"      This text.\n"
    L"\n"
    L"exit codes: 0 success, 1 failed or problems found, 2 bad command line.\n"
    L"\n"
    L"example, from a plain skin source folder to a skin file:\n"
    L"  kivtool build skins\\default -o default.kiv\n"
    L"  kivtool check default.kiv\n";

bool EndsWithNoCase(const std::wstring& text, const wchar_t* tail)
{
    const size_t length = wcslen(tail);
    return text.size() >= length && _wcsicmp(text.c_str() + text.size() - length, tail) == 0;
}

// The arguments other than --force, and whether --force was among them.
bool TakeForce(const std::vector<std::wstring>& arguments, std::vector<std::wstring>* names)
{
    bool force = false;
    for (const std::wstring& argument : arguments)
    {
        if (argument == L"--force")
            force = true;
        else
            names->push_back(argument);
    }
    return force;
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring WithSlash(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    return folder;
}

std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::wstring(full, length);
}

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// path relative to folder when both share a root, else path itself.
std::wstring RelativeTo(const std::wstring& folder, const std::wstring& path)
{
    wchar_t relative[MAX_PATH];
    if (!PathRelativePathToW(relative, WithSlash(folder).c_str(), FILE_ATTRIBUTE_DIRECTORY, path.c_str(), 0))
        return path;
    std::wstring result = relative;
    // Windows answers .\x.bmp for a file in the folder itself, Wine \x.bmp,
    // which would read as the root of a drive: both become x.bmp.
    if (result.compare(0, 2, L".\\") == 0)
        result.erase(0, 2);
    else if (result.size() > 1 && result[0] == L'\\' && result[1] != L'\\')
        result.erase(0, 1);
    return result;
}

std::wstring ColourText(int value)
{
    wchar_t text[48];
    swprintf(text, 48, L"%d (#%02X%02X%02X)", value, GetRValue(value), GetGValue(value), GetBValue(value));
    return text;
}

void Write(FILE* stream, const std::wstring& line)
{
    const std::wstring text = line + L"\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr,
                            nullptr);
    fputs(utf8.c_str(), stream);
    fflush(stream);
}

// For comparing file names and paths the way the file system does.
std::wstring Upper(std::wstring text)
{
    if (!text.empty())
        CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// Whether two paths name one file, however spelt: another drive letter,
// a short name or a hard link.
bool SameFile(const std::wstring& first, const std::wstring& second)
{
    if (Upper(FullPath(first)) == Upper(FullPath(second)))
        return true;
    const CKivFileHandle a(CKivFileHandle::OpenRead(first.c_str()));
    const CKivFileHandle b(CKivFileHandle::OpenRead(second.c_str()));
    BY_HANDLE_FILE_INFORMATION infoA = {};
    BY_HANDLE_FILE_INFORMATION infoB = {};
    return a.IsValid() && b.IsValid() && GetFileInformationByHandle(a.Get(), &infoA) &&
           GetFileInformationByHandle(b.Get(), &infoB) && infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}

}  // namespace

void CKivTool::Out(const std::wstring& line)
{
    Write(stdout, line);
}

void CKivTool::Err(const std::wstring& line)
{
    Write(stderr, line);
}

int CKivTool::Usage(const std::wstring& problem)
{
    Err(L"kivtool: " + problem + L" (kivtool --help shows the commands)");
    return 2;
}

int CKivTool::Failure(const std::wstring& reason)
{
    Err(L"kivtool: " + reason);
    return 1;
}

int CKivTool::Run(const std::vector<std::wstring>& arguments)
{
    if (arguments.empty())
        return Usage(L"no command given");
    const std::wstring& command = arguments[0];
    const std::vector<std::wstring> rest(arguments.begin() + 1, arguments.end());
    if (command == L"--help" || command == L"-h" || command == L"/?" || command == L"help")
        return Help();
    if (command == L"build")
        return Build(rest);
    if (command == L"dump")
        return Dump(rest);
    if (command == L"check")
        return Check(rest);
    if (command == L"export")
        return Export(rest);
    if (command == L"import")
        return Import(rest);
    if (command == L"encrypt")
        return Encrypt(rest);
    if (command == L"clip")
        return Clip(rest);
    return Usage(L"unknown command \"" + command + L"\"");
}

int CKivTool::Help()
{
    std::wstring text = kHelp;
    if (!text.empty() && text.back() == L'\n')
        text.pop_back();
    Out(text);
    return 0;
}

bool CKivTool::OpenAnyProject(const std::wstring& path, CKivFileBuilder* builder, std::wstring* opened)
{
    if (EndsWithNoCase(path, L".kivproj"))
    {
        *opened = FullPath(path);
        return builder->OpenProject(path.c_str());
    }
    const std::wstring file = IsFolder(path) ? WithSlash(path) + kPlainProjectName : path;
    *opened = FullPath(file);
    if (!builder->OpenPlainProject(file.c_str()))
        return false;
    // An exported folder is named after the skin; its project file is not.
    if (_wcsicmp(FileNameOf(file).c_str(), kPlainProjectName) == 0)
    {
        std::wstring folder = builder->ProjectFolder();
        folder.pop_back();
        const std::wstring name = FileNameOf(folder);
        if (!name.empty() && name.find(L':') == std::wstring::npos)
            return builder->SetProjectPath(builder->ProjectFolder().c_str(), name.c_str());
    }
    return true;
}

int CKivTool::Build(const std::vector<std::wstring>& arguments)
{
    std::wstring project;
    std::wstring output;
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        if (arguments[i] == L"-o" || arguments[i] == L"--output")
        {
            if (i + 1 == arguments.size())
                return Usage(L"-o needs a file name");
            output = arguments[++i];
        }
        else if (project.empty())
            project = arguments[i];
        else
            return Usage(L"build takes one project, got \"" + arguments[i] + L"\" as well");
    }
    if (project.empty())
        return Usage(L"build needs a project");
    CKivFileBuilder builder;
    std::wstring file;
    if (!OpenAnyProject(project, &builder, &file))
        return Failure(L"cannot open the project: " + builder.LastError());
    if (output.empty())
        output = builder.ProjectFolder() + builder.ProjectName() + L".kiv";
    output = FullPath(output);
    const std::wstring target = CKivAtomicFile::Precheck(output);
    if (!target.empty())
        return Failure(L"cannot build: " + target);
    // Whatever check refuses is not built.
    const std::vector<std::wstring> problems = CKivSkinValidator::CheckProject(builder);
    for (const std::wstring& problem : problems)
        Err(L"kivtool: build failed: " + CKivSkinValidator::Describe(file, problem));
    if (!problems.empty())
        return 1;
    if (!builder.BuildSkin(output))
        return Failure(L"build failed: " + builder.LastError());
    Out(L"built " + output + L" (" + std::to_wstring(builder.Items().size()) + L" keys, " +
        std::to_wstring(builder.Images().size()) + L" pictures)");
    return 0;
}

int CKivTool::Dump(const std::vector<std::wstring>& arguments)
{
    std::wstring skin;
    std::wstring atlasOut;
    bool force = false;
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        if (arguments[i] == L"--atlas")
        {
            if (i + 1 == arguments.size())
                return Usage(L"--atlas needs a file name");
            atlasOut = arguments[++i];
        }
        else if (arguments[i] == L"--force")
            force = true;
        else if (skin.empty())
            skin = arguments[i];
        else
            return Usage(L"dump takes one skin file");
    }
    if (skin.empty())
        return Usage(L"dump needs a skin file");
    if (!kiv::KivFileExists(skin.c_str()))
        return Failure(L"\"" + skin + L"\" does not exist");
    // The atlas file is judged before anything is printed or written.
    if (!atlasOut.empty())
    {
        atlasOut = FullPath(atlasOut);
        if (SameFile(atlasOut, skin))
            return Failure(L"--atlas names the skin file being dumped, \"" + atlasOut + L"\"");
        const std::wstring target = CKivAtomicFile::Precheck(atlasOut);
        if (!target.empty())
            return Failure(L"cannot write the atlas: " + target);
        if (!force && kiv::KivFileExists(atlasOut.c_str()))
            return Failure(L"\"" + atlasOut + L"\" exists; --force replaces it");
    }
    // The library's own load, short of making the skin current.
    const KivSkinSettings none = {};
    CKivSkinLoad load(none);
    const bool good = load.Run(skin.c_str());
    if (!load.SettingsRead())
        return Failure(L"\"" + skin + L"\" cannot be loaded as a skin: " + load.Refusal());
    KivSkinSettings settings = load.Settings();
    for (size_t i = 0; i < CKivSkinSchema::Count(); ++i)
    {
        const KivSchemaEntry& entry = CKivSkinSchema::Entries()[i];
        std::wstring value;
        if (entry.kind == kKivKindRect)
        {
            const RECT* rect = CKivSkinSchema::RectField(settings, entry);
            value = std::to_wstring(rect->left) + L" " + std::to_wstring(rect->top) + L" " +
                    std::to_wstring(rect->right) + L" " + std::to_wstring(rect->bottom);
        }
        else if (entry.kind == kKivKindLong)
            value = ColourText(*CKivSkinSchema::IntField(settings, entry));
        else
            value = std::to_wstring(*CKivSkinSchema::IntField(settings, entry));
        Out(std::wstring(entry.key) + L" = " + value);
    }
    if (!atlasOut.empty() && load.AtlasImage() != nullptr)
    {
        CKivAtomicFile file(atlasOut);
        bool written = false;
        if (!file.TempPath().empty())
        {
            CKivFileHandle out(CKivFileHandle::OpenWrite(file.TempPath().c_str()));
            written = out.WriteExact(load.AtlasImage(), static_cast<DWORD>(load.AtlasImageLength()));
        }
        if (!written || !file.Commit())
            return Failure(L"cannot write the atlas: " + CKivAtomicFile::Problem(atlasOut));
    }
    // The library stops reading at the first fault and leaves every key
    // behind it unset: such a skin is no skin, whatever was printed.
    CKivSkinAuditor audit;
    std::wstring damage;
    if (!audit.OpenSettings(skin.c_str(), &damage))
        return Failure(L"the settings of \"" + skin + L"\" cannot be read whole, the keys after the fault read as 0: " +
                       damage);
    if (!good)
        return Failure(L"the atlas of \"" + skin + L"\" is unusable, the library refuses the skin: " + load.Refusal());
    return 0;
}

int CKivTool::Check(const std::vector<std::wstring>& arguments)
{
    if (arguments.size() != 1)
        return Usage(L"check takes one skin file or project");
    const std::wstring& target = arguments[0];
    if (EndsWithNoCase(target, L".kiv"))
        return CheckSkin(target);
    CKivFileBuilder builder;
    std::wstring file;
    if (!OpenAnyProject(target, &builder, &file))
        return Failure(L"cannot open the project: " + builder.LastError());
    return CheckProject(builder, file);
}

int CKivTool::CheckSkin(const std::wstring& path)
{
    // First what the library itself would refuse, by its own checks.
    const KivSkinSettings none = {};
    CKivSkinLoad load(none);
    if (!load.Run(path.c_str()))
        return Failure(L"\"" + path + L"\": the library refuses this skin: " + load.Refusal());
    CKivSkinAuditor skin;
    std::wstring reason;
    if (!skin.Open(path.c_str(), &reason))
        return Failure(L"\"" + path + L"\": " + reason);
    const std::vector<std::wstring> problems = CKivSkinValidator::CheckSkin(skin);
    for (const std::wstring& problem : problems)
        Out(CKivSkinValidator::Describe(path, problem));
    WarnLowContrast(skin);
    if (!problems.empty())
    {
        Out(std::to_wstring(problems.size()) + L" problem(s) in " + path);
        return 1;
    }
    Out(L"ok: " + path + L" has all " + std::to_wstring(CKivSkinSchema::Count()) + L" keys, atlas " +
        std::to_wstring(skin.AtlasWidth()) + L"x" + std::to_wstring(skin.AtlasHeight()));
    return 0;
}

namespace {

const double kLeastTextContrast = 3.0;

long KeyNumber(const CKivSkinAuditor& skin, const wchar_t* key, long fallback)
{
    const auto found = skin.Keys().find(key);
    return found == skin.Keys().end() ? fallback : std::wcstol(found->second.first.c_str(), nullptr, 10);
}

std::wstring HexColour(COLORREF colour)
{
    wchar_t text[8] = {};
    swprintf(text, 8, L"#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

}  // namespace

void CKivTool::WarnLowContrast(const CKivSkinAuditor& skin)
{
    const wchar_t* const key = L"SystemControl\\GroupBox\\TextColor";
    if (!skin.Keys().count(key))
        return;
    const COLORREF text = static_cast<COLORREF>(KeyNumber(skin, key, 0)) & 0x00FFFFFF;
    // What the group box text sits on: the dialog background picture, else
    // the background colour, else the system's button face.
    double under = CKivTextContrast::RelativeLuminance(GetSysColor(COLOR_BTNFACE));
    std::wstring what = L"the system dialog colour";
    const auto picture = skin.Keys().find(L"WindowEdge\\Edge\\Background");
    // Made by the library's own atlas code: null when it would refuse the image.
    const std::vector<BYTE>& image = skin.AtlasImage();
    CKivBitmap atlas(image.empty() ? nullptr : CKivSkinLoad::BuildAtlas(image.data(), image.size(), nullptr));
    double pictureLuminance = 0.0;
    if (KeyNumber(skin, L"WindowEdge\\Edge\\EnableBackground", 0) > 0 && picture != skin.Keys().end() &&
        picture->second.hasRect &&
        CKivTextContrast::AverageLuminance(atlas, RECT{picture->second.rect[0], picture->second.rect[1],
                                                       picture->second.rect[2], picture->second.rect[3]},
                                           &pictureLuminance))
    {
        under = pictureLuminance;
        what = L"the dialog background picture (average)";
    }
    else if (KeyNumber(skin, L"WindowEdge\\Edge\\EnableBackColor", 0) > 0)
    {
        const COLORREF back = static_cast<COLORREF>(KeyNumber(skin, L"WindowEdge\\Edge\\BackgroundColor", 0)) & 0x00FFFFFF;
        under = CKivTextContrast::RelativeLuminance(back);
        what = L"the dialog background colour " + HexColour(back);
    }
    const double ratio = CKivTextContrast::ContrastRatio(CKivTextContrast::RelativeLuminance(text), under);
    if (ratio >= kLeastTextContrast)
        return;
    wchar_t figure[32] = {};
    swprintf(figure, 32, L"%.2f:1", ratio);
    Err(std::wstring(L"kivtool: warning: ") + key + L": text colour " + HexColour(text) + L" contrasts only " +
        figure + L" with " + what + L" (3:1 or more reads well)");
}

int CKivTool::CheckProject(const CKivFileBuilder& builder, const std::wstring& file)
{
    const std::vector<std::wstring> problems = CKivSkinValidator::CheckProject(builder);
    for (const std::wstring& problem : problems)
        Out(CKivSkinValidator::Describe(file, problem));
    if (!problems.empty())
    {
        Out(std::to_wstring(problems.size()) + L" problem(s) in the project " + builder.ProjectName());
        return 1;
    }
    Out(L"ok: the project " + builder.ProjectName() + L" sets all " + std::to_wstring(CKivSkinSchema::Count()) +
        L" keys");
    return 0;
}

int CKivTool::Export(const std::vector<std::wstring>& arguments)
{
    std::vector<std::wstring> names;
    const bool force = TakeForce(arguments, &names);
    if (names.size() != 2)
        return Usage(L"export takes PROJECT.kivproj DIR [--force]");
    CKivFileBuilder builder;
    if (!builder.OpenProject(names[0].c_str()))
        return Failure(L"cannot open the project: " + builder.LastError());
    const std::wstring folder = WithSlash(FullPath(names[1]));
    if (kiv::KivFileExists(FullPath(names[1]).c_str()))
        return Failure(L"\"" + FullPath(names[1]) + L"\" is a file, not a folder");
    if (!IsFolder(folder) && !CreateDirectoryW(folder.c_str(), nullptr))
    {
        // Only the last folder of the path is made, never a whole tree.
        const std::wstring problem = CKivAtomicFile::Precheck(folder.substr(0, folder.size() - 1));
        return Failure(L"cannot create the folder \"" + folder.substr(0, folder.size() - 1) + L"\": " +
                       (problem.empty() ? L"the folder above it takes no new folders" : problem));
    }

    // Every picture file is copied into the folder once, under its own name,
    // so the exported project is complete by itself; a different picture with
    // a clashing name gets a suffix. Everything is planned before anything is
    // written, so a refusal leaves the folder as it was.
    std::map<std::wstring, std::wstring> targetOf;  // upper-case source path -> file name in the folder
    std::set<std::wstring> taken;                   // upper-case file names in use
    std::vector<std::pair<std::wstring, std::wstring>> copies;
    const std::wstring plain = folder + kPlainProjectName;
    taken.insert(Upper(kPlainProjectName));
    const CKivFileBuilder::ItemMap items = builder.Items();
    for (const auto& item : items)
    {
        if (item.second.type != kKivItemPicture)
            continue;
        const std::wstring source = builder.ResolvePicturePath(item.second.value);
        if (source.empty())
        {
            Err(L"kivtool: warning: " + item.first + L": picture file \"" + item.second.value +
                L"\" does not exist; exported as it stands");
            continue;
        }
        std::wstring& target = targetOf[Upper(FullPath(source))];
        if (target.empty())
        {
            target = CKivProjectTemplate::FreeName(FileNameOf(source), [&](const std::wstring& candidate) {
                return taken.count(Upper(candidate)) != 0;
            });
            taken.insert(Upper(target));
            if (Upper(folder + target) != Upper(FullPath(source)))
                copies.emplace_back(source, folder + target);
        }
        builder.SetItem(item.first, target, kKivItemPicture);
    }
    if (!force)
    {
        if (kiv::KivFileExists(plain.c_str()))
            return Failure(L"\"" + plain + L"\" exists; --force replaces it");
        for (const auto& copy : copies)
            if (kiv::KivFileExists(copy.second.c_str()))
                return Failure(L"\"" + copy.second + L"\" exists; --force replaces it");
    }
    for (const auto& copy : copies)
        if (!CopyFileW(copy.first.c_str(), copy.second.c_str(), force ? FALSE : TRUE))
            return Failure(L"cannot copy \"" + copy.first + L"\" to \"" + copy.second + L"\": " +
                           CKivAtomicFile::Problem(copy.second));
    if (!builder.SavePlainProject(plain.c_str()))
        return Failure(L"cannot write \"" + plain + L"\": " + CKivAtomicFile::Problem(plain));
    Out(L"exported " + std::to_wstring(items.size()) + L" keys and " + std::to_wstring(copies.size()) +
        L" picture files to " + plain);
    return 0;
}

int CKivTool::Import(const std::vector<std::wstring>& arguments)
{
    std::vector<std::wstring> names;
    const bool force = TakeForce(arguments, &names);
    if (names.size() != 2)
        return Usage(L"import takes DIR PROJECT.kivproj [--force]");
    if (!EndsWithNoCase(names[1], L".kivproj"))
        return Usage(L"the project to write must end in .kivproj");
    CKivFileBuilder plain;
    std::wstring file;
    if (!OpenAnyProject(names[0], &plain, &file))
        return Failure(L"cannot open the plain project: " + plain.LastError());
    // The project is written under exactly the name given: Shop.v2.kivproj
    // is not Shop.kivproj, and an existing project is kept unless asked.
    const std::wstring target = FullPath(names[1]);
    const std::wstring problem = CKivAtomicFile::Precheck(target);
    if (!problem.empty())
        return Failure(L"cannot write the project: " + problem);
    if (!force && kiv::KivFileExists(target.c_str()))
        return Failure(L"\"" + target + L"\" exists; --force replaces it");
    const std::wstring name = FileNameOf(target);
    CKivFileBuilder project;
    if (!project.SetProjectPath(target.substr(0, target.size() - name.size()).c_str(),
                                name.substr(0, name.size() - wcslen(L".kivproj")).c_str()))
        return Failure(L"cannot use \"" + target + L"\": " + project.LastError());
    for (const auto& item : plain.Items())
    {
        std::wstring value = item.second.value;
        if (item.second.type == kKivItemPicture && !value.empty())
        {
            const std::wstring source = plain.ResolvePicturePath(value);
            if (source.empty())
                Err(L"kivtool: warning: " + item.first + L": picture file \"" + value +
                    L"\" does not exist; imported as it stands");
            else
                value = RelativeTo(project.ProjectFolder(), source);
        }
        project.SetItem(item.first, value, item.second.type);
    }
    if (!project.SaveProject())
        return Failure(project.LastError());
    Out(L"imported " + std::to_wstring(project.Items().size()) + L" keys into " + project.ProjectFile());
    return 0;
}

int CKivTool::Encrypt(const std::vector<std::wstring>& arguments)
{
    if (arguments.size() != 2)
        return Usage(L"encrypt takes PLAIN OUT");
    std::vector<BYTE> plain;
    if (!CKivPlainFile::Read(arguments[0], &plain) || plain.empty())
        return Failure(L"cannot read \"" + arguments[0] + L"\"");
    CKivAtomicFile out(arguments[1]);
    if (out.TempPath().empty() ||
        !CKivCipherFile::WriteEncrypted(out.TempPath().c_str(), plain.data(), plain.size(),
                                        CKivCipherFile::kDocumentPiece) ||
        !out.Commit())
        return Failure(L"cannot write \"" + arguments[1] + L"\": " + CKivAtomicFile::Problem(arguments[1]));
    return 0;
}

int CKivTool::Clip(const std::vector<std::wstring>& arguments)
{
    if (arguments.size() != 1)
        return Usage(L"clip takes OUT.avi");
    if (!CKivWaitClip::Write(arguments[0].c_str()))
        return Failure(L"cannot write \"" + arguments[0] + L"\": " + CKivAtomicFile::Problem(arguments[0]));
    return 0;
}
