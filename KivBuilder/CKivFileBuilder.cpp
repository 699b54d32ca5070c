#include "CKivFileBuilder.h"
#include "CKivAtlasImage.h"
#include "CKivAtomicFile.h"
#include "CKivCipherFile.h"
#include "CKivPlainFile.h"
#include "CKivProjectDocument.h"
#include "CKivSettingsWriter.h"
#include "KivSkinFile.h"
#include <shlwapi.h>
#include <algorithm>
#include <cstring>
#include <cwctype>

namespace {

std::wstring Quoted(const std::wstring& text)
{
    return CKivProjectPath::Quoted(text);
}

}  // namespace

CKivFileBuilder::CKivFileBuilder() : m_deviceWindow(GetDesktopWindow())
{
}

CKivFileBuilder::~CKivFileBuilder() = default;

bool CKivFileBuilder::Fail(const std::wstring& reason)
{
    m_error = reason;
    return false;
}

bool CKivFileBuilder::SetProjectPath(const wchar_t* folder, const wchar_t* name)
{
    const std::wstring problem = m_path.Set(folder, name);
    return problem.empty() || Fail(problem);
}

void CKivFileBuilder::CopyFrom(const CKivFileBuilder& other)
{
    m_path = other.m_path;
    m_items = other.m_items;
}

bool CKivFileBuilder::SetProjectFile(const wchar_t* path)
{
    const std::wstring problem = m_path.SetFromFile(path);
    return problem.empty() || Fail(problem);
}

std::wstring CKivFileBuilder::ProjectFilePath(const wchar_t* extension) const
{
    return m_path.FilePath(extension);
}

void CKivFileBuilder::SetItem(const std::wstring& key, const std::wstring& value, int type)
{
    KivProjectItem& item = m_items[key];
    item.value = value.substr(0, kMaxValue);
    item.type = type;
}

const KivProjectItem* CKivFileBuilder::FindItem(const std::wstring& key) const
{
    const auto found = m_items.find(key);
    return found == m_items.end() ? nullptr : &found->second;
}

void CKivFileBuilder::RemoveItem(const std::wstring& key)
{
    m_items.erase(key);
}

void CKivFileBuilder::ClearItems()
{
    m_items.clear();
}

bool CKivFileBuilder::SaveProject()
{
    const std::wstring path = m_path.File();
    if (path.empty() || path.size() >= kMaxPath)
        return Fail(L"the project has no folder and name, or the path is too long");
    std::vector<BYTE> document;
    if (!CKivProjectDocument::Write(m_items, &document))
        return Fail(L"cannot compose the project document for " + Quoted(path));
    const std::wstring early = CKivAtomicFile::Precheck(path);
    if (!early.empty())
        return Fail(L"cannot save the project: " + early);
    CKivAtomicFile file(path);
    if (file.TempPath().empty() ||
        !CKivCipherFile::WriteEncrypted(file.TempPath().c_str(), document.data(), document.size(),
                                        CKivCipherFile::kDocumentPiece) ||
        !file.Commit())
        return Fail(L"cannot save the project " + Quoted(path) + L": " + CKivAtomicFile::Problem(path));
    return true;
}

bool CKivFileBuilder::OpenProject(const wchar_t* path)
{
    if (path == nullptr)
        return Fail(L"no project file given");
    const wchar_t* extension = PathFindExtensionW(path);
    if (wcslen(extension) > 15 || _wcsicmp(extension, L".KIVPROJ") != 0)
        return Fail(Quoted(path) + L" is not a .kivproj file");
    if (!kiv::KivFileExists(path))
        return Fail(Quoted(path) + L" does not exist");
    std::vector<BYTE> document;
    if (!CKivCipherFile::ReadDecrypted(path, CKivCipherFile::kDocumentPiece, &document))
        return Fail(Quoted(path) + L" is damaged or not encrypted with the skin key");
    if (!TakeDocument(path, document))
        return false;
    m_path.KeepFile(path);
    return true;
}

bool CKivFileBuilder::TakeDocument(const wchar_t* path, const std::vector<BYTE>& document)
{
    ItemMap items;
    std::wstring reason;
    if (!CKivProjectDocument::Read(document, &items, &reason))
        return Fail(Quoted(path) + L": " + reason);
    if (!SetProjectFile(path))
        return false;
    m_items.swap(items);
    return true;
}

bool CKivFileBuilder::SavePlainProject(const wchar_t* path) const
{
    if (path == nullptr)
        return false;
    const std::vector<BYTE> document = CKivProjectDocument::WritePlain(m_items);
    return !document.empty() && CKivPlainFile::Write(path, document);
}

bool CKivFileBuilder::OpenPlainProject(const wchar_t* path)
{
    if (path == nullptr || !kiv::KivFileExists(path))
        return Fail(Quoted(path ? path : L"") + L" does not exist");
    std::vector<BYTE> document;
    if (!CKivPlainFile::Read(path, &document))
        return Fail(L"cannot read " + Quoted(path));
    return TakeDocument(path, document);
}

bool CKivFileBuilder::Compile()
{
    m_compiledSettings.reset();
    m_compiledAtlas.reset();
    const std::wstring skin = ProjectFilePath(L"kiv");
    if (skin.empty())
        return Fail(L"the project has no folder and name, or the path is too long");
    std::unique_ptr<CKivAtomicFile> settings(new CKivAtomicFile(skin));
    std::unique_ptr<CKivAtomicFile> atlas(new CKivAtomicFile(skin));
    if (settings->TempPath().empty() || atlas->TempPath().empty())
        return Fail(CKivAtomicFile::Problem(skin));
    if (!CompileTo(settings->TempPath(), atlas->TempPath()))
        return false;
    m_compiledSettings = std::move(settings);
    m_compiledAtlas = std::move(atlas);
    return true;
}

const std::wstring& CKivFileBuilder::CompiledSettingsPath() const
{
    static const std::wstring none;
    return m_compiledSettings ? m_compiledSettings->TempPath() : none;
}

const std::wstring& CKivFileBuilder::CompiledAtlasPath() const
{
    static const std::wstring none;
    return m_compiledAtlas ? m_compiledAtlas->TempPath() : none;
}

bool CKivFileBuilder::Compile(const std::wstring& settingsPath, const std::wstring& atlasPath)
{
    CKivAtomicFile settings(settingsPath);
    CKivAtomicFile atlas(atlasPath);
    if (settings.TempPath().empty())
        return Fail(CKivAtomicFile::Problem(settingsPath));
    if (atlas.TempPath().empty())
        return Fail(CKivAtomicFile::Problem(atlasPath));
    if (!CompileTo(settings.TempPath(), atlas.TempPath()))
        return false;
    if (!settings.Commit())
        return Fail(CKivAtomicFile::Problem(settingsPath));
    if (!atlas.Commit())
        return Fail(CKivAtomicFile::Problem(atlasPath));
    return true;
}

bool CKivFileBuilder::CompileTo(const std::wstring& settingsPath, const std::wstring& atlasPath)
{
    if (m_path.Folder().empty())
        return Fail(L"the project has no folder");
    CollectImages();
    return BuildAtlas(atlasPath) && WriteSettings(settingsPath);
}

bool CKivFileBuilder::BuildSkin(const std::wstring& outputPath)
{
    // A target that cannot be a file is refused before any work is done.
    const std::wstring early = CKivAtomicFile::Precheck(outputPath);
    if (!early.empty())
        return Fail(early);
    CKivAtomicFile settings(outputPath);
    CKivAtomicFile atlas(outputPath);
    CKivAtomicFile skin(outputPath);
    if (settings.TempPath().empty() || atlas.TempPath().empty() || skin.TempPath().empty())
        return Fail(CKivAtomicFile::Problem(outputPath));
    if (!CompileTo(settings.TempPath(), atlas.TempPath()))
        return false;
    if (!kiv::PackSkinFile(skin.TempPath().c_str(), settings.TempPath().c_str(), atlas.TempPath().c_str()))
        return Fail(L"cannot write the skin file " + Quoted(outputPath) + L": " + CKivAtomicFile::Problem(outputPath));
    if (!skin.Commit())
        return Fail(L"cannot replace " + Quoted(outputPath) + L": " + CKivAtomicFile::Problem(outputPath));
    return true;
}

void CKivFileBuilder::CollectImages()
{
    m_images = PictureEntries();
}

std::vector<KivAtlasEntry> CKivFileBuilder::PictureEntries() const
{
    std::vector<KivAtlasEntry> entries;
    for (const auto& item : m_items)
    {
        if (item.second.type != kKivItemPicture)
            continue;
        KivAtlasEntry entry;
        entry.path = item.second.value;
        entry.key = item.first;
        entries.push_back(entry);
    }
    return entries;
}

std::wstring CKivFileBuilder::ResolvePicturePath(const std::wstring& stored) const
{
    return m_path.ResolvePicture(stored);
}

bool CKivFileBuilder::IsAbsolutePath(const std::wstring& stored)
{
    return CKivProjectPath::IsAbsolute(stored);
}

bool CKivFileBuilder::QueryPictureSize(const std::wstring& path, SIZE* size) const
{
    return Layout().QueryPictureSize(path, size);
}

bool CKivFileBuilder::LargestPictureSize(SIZE* size) const
{
    return Layout().LargestPictureSize(m_images, size);
}

const KivAtlasEntry* CKivFileBuilder::FindImage(const std::wstring& key) const
{
    for (const KivAtlasEntry& entry : m_images)
        if (entry.key == key)
            return &entry;
    return nullptr;
}

std::wstring CKivFileBuilder::CheckPicture(const std::wstring& key, const std::wstring& stored, SIZE* size) const
{
    return Layout().CheckPicture(key, stored, size);
}

bool CKivFileBuilder::PlanAtlas(std::wstring* problem) const
{
    std::vector<KivAtlasEntry> entries = PictureEntries();
    if (entries.empty())
    {
        *problem = L"the project has no pictures";
        return false;
    }
    SIZE canvas;
    return Layout().Place(entries, &canvas, problem);
}

bool CKivFileBuilder::LayOut(SIZE* canvas)
{
    std::wstring problem;
    return Layout().Place(m_images, canvas, &problem) || Fail(problem);
}

bool CKivFileBuilder::BuildAtlas(const std::wstring& atlasPath)
{
    if (m_images.empty())
        return Fail(L"the project has no pictures");
    SIZE laidOut;
    if (!LayOut(&laidOut))
        return false;
    std::wstring problem;
    return CKivAtlasImage::Draw(m_images, m_path, m_deviceWindow, laidOut, atlasPath, &problem) || Fail(problem);
}

bool CKivFileBuilder::SaveBmpByDC(HDC dc, const wchar_t* path, SIZE* /*size*/, int /*flag*/)
{
    return CKivAtlasImage::Write(dc, m_deviceWindow, CKivAtlasImage::Extent(m_images), path);
}

bool CKivFileBuilder::WriteSettings(const std::wstring& settingsPath)
{
    CKivSettingsWriter writer;
    if (!writer.Begin())
        return Fail(L"cannot start the settings document (XmlLite unavailable)");
    for (const auto& item : m_items)
    {
        RECT rect = {0, 0, 0, 0};
        if (item.second.type == kKivItemPicture)
        {
            const KivAtlasEntry* entry = FindImage(item.first);
            if (entry == nullptr)
                return Fail(item.first + L": the picture is missing from the atlas");
            rect = entry->rect;
        }
        if (!writer.AddLeaf(item.first, item.second.type, item.second.value, rect))
            return Fail(item.first + L": the key cannot be written to the settings document");
    }
    std::vector<BYTE> document;
    if (!writer.Finish(&document))
        return Fail(L"cannot finish the settings document");
    if (!CKivCipherFile::WriteEncrypted(settingsPath.c_str(), document.data(), document.size(),
                                        CKivCipherFile::kDocumentPiece))
        return Fail(L"cannot write the settings document: " + CKivAtomicFile::Problem(settingsPath));
    return true;
}
