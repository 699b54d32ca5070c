#include "CKivFileBuilder.h"
#include "CKivAtomicFile.h"
#include "CKivBmpFile.h"
#include "CKivCipherFile.h"
#include "CKivClientDC.h"
#include "CKivCompatibleDC.h"
#include "CKivFileHandle.h"
#include "CKivGdiObject.h"
#include "CKivPictureFile.h"
#include "CKivPlainFile.h"
#include "CKivProjectDocument.h"
#include "CKivSelectObject.h"
#include "CKivSettingsWriter.h"
#include "CKivSkinLoad.h"
#include "KivSkinFile.h"
#include <shlwapi.h>
#include <algorithm>
#include <cstring>
#include <cwctype>

namespace {

// The laid-out atlas; anything bigger is a mistake in the project (a stray
// photograph), not a skin. The library accepts the same number of pixels.
const LONG kMaxCanvasSide = CKivPictureFile::kMaxSide;
const LONGLONG kMaxCanvasPixels = CKivSkinLoad::kMaxAtlasPixels;

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

std::wstring FullPath(const wchar_t* path)
{
    const DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::vector<wchar_t> full(needed + 1);
    const DWORD written = GetFullPathNameW(path, needed + 1, full.data(), nullptr);
    return written == 0 || written > needed ? std::wstring() : std::wstring(full.data(), written);
}

// Columns of the atlas grid: ceil(sqrt(n)) + 1.
LONG GridColumns(size_t count)
{
    LONG root = 0;
    while (static_cast<size_t>(root) * static_cast<size_t>(root) < count)
        ++root;
    return root + 1;
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
    if (folder == nullptr || name == nullptr || *folder == 0 || *name == 0)
        return Fail(L"the project needs a folder and a name");
    std::wstring full = FullPath(folder);
    if (full.empty())
        return Fail(L"cannot use the folder " + Quoted(folder));
    if (full.back() != L'\\')
        full += L'\\';
    if (full.size() >= kMaxPath || wcslen(name) >= kMaxPath)
        return Fail(L"the project path is longer than 259 characters");
    m_folder = full;
    m_name = name;
    m_file = m_folder + m_name + L".kivproj";
    return true;
}

void CKivFileBuilder::CopyFrom(const CKivFileBuilder& other)
{
    m_folder = other.m_folder;
    m_name = other.m_name;
    m_file = other.m_file;
    m_items = other.m_items;
}

bool CKivFileBuilder::SetProjectFile(const wchar_t* path)
{
    if (path == nullptr || *path == 0)
        return Fail(L"no project file given");
    const std::wstring full = FullPath(path);
    const size_t slash = full.find_last_of(L'\\');
    if (full.empty() || slash == std::wstring::npos || slash + 1 == full.size())
        return Fail(L"cannot use the project file " + Quoted(path));
    const std::wstring file = full.substr(slash + 1);
    return SetProjectPath(full.substr(0, slash + 1).c_str(), file.substr(0, file.find(L'.')).c_str());
}

std::wstring CKivFileBuilder::ProjectFilePath(const wchar_t* extension) const
{
    if (m_folder.empty() || m_name.empty())
        return std::wstring();
    const std::wstring path = m_folder + m_name + L"." + extension;
    return path.size() < kMaxPath ? path : std::wstring();
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
    const std::wstring path = m_file;
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
    ItemMap items;
    std::wstring reason;
    if (!CKivProjectDocument::Read(document, &items, &reason))
        return Fail(Quoted(path) + L": " + reason);
    if (!SetProjectFile(path))
        return false;
    m_file = FullPath(path);
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
    ItemMap items;
    std::wstring reason;
    if (!CKivProjectDocument::Read(document, &items, &reason))
        return Fail(Quoted(path) + L": " + reason);
    if (!SetProjectFile(path))
        return false;
    m_items.swap(items);
    return true;
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
    if (m_folder.empty())
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
    if (stored.empty())
        return std::wstring();
    std::wstring path = stored;
    if (!IsAbsolutePath(stored))
    {
        // A relative path may start with a backslash, as kivtool import writes them.
        const size_t start = stored.find_first_not_of(L"\\/");
        path = m_folder + (start == std::wstring::npos ? std::wstring() : stored.substr(start));
    }
    return kiv::KivFileExists(path.c_str()) ? path : std::wstring();
}

bool CKivFileBuilder::IsAbsolutePath(const std::wstring& stored)
{
    return (stored.size() > 1 && stored[1] == L':') || (stored.size() > 1 && stored[0] == L'\\' && stored[1] == L'\\');
}

bool CKivFileBuilder::QueryPictureSize(const std::wstring& path, SIZE* size) const
{
    if (size == nullptr || path.empty())
        return false;
    CKivBitmap picture(static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    if (!picture)
        return false;
    CKivClientDC screen(m_deviceWindow);
    struct
    {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header.biSize = sizeof(info.header);
    if (GetDIBits(screen, picture, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == 0)
        return false;
    size->cx = info.header.biWidth;
    size->cy = info.header.biHeight < 0 ? -info.header.biHeight : info.header.biHeight;
    return size->cx > 0 && size->cy > 0;
}

bool CKivFileBuilder::LargestPictureSize(SIZE* size) const
{
    if (size == nullptr)
        return false;
    SIZE largest = {0, 0};
    for (const KivAtlasEntry& entry : m_images)
    {
        const std::wstring path = ResolvePicturePath(entry.path);
        SIZE picture;
        if (path.empty() || !QueryPictureSize(path, &picture))
            return false;
        largest.cx = std::max(largest.cx, picture.cx);
        largest.cy = std::max(largest.cy, picture.cy);
    }
    *size = largest;
    return true;
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
    if (stored.empty())
        return key + L": no picture file given";
    const std::wstring path = ResolvePicturePath(stored);
    if (path.empty())
    {
        if (IsAbsolutePath(stored) || m_folder.empty())
            return key + L": picture file " + Quoted(stored) + L" does not exist";
        const size_t start = stored.find_first_not_of(L"\\/");
        const std::wstring lookedAt = m_folder + (start == std::wstring::npos ? std::wstring() : stored.substr(start));
        return key + L": picture file " + Quoted(stored) + L" does not exist (looked for " + Quoted(lookedAt) + L")";
    }
    std::wstring problem;
    SIZE header = {0, 0};
    if (!CKivPictureFile::Inspect(path, &header, &problem))
        return key + L": " + Quoted(path) + L" " + problem;
    if (!QueryPictureSize(path, size))
        return key + L": " + Quoted(path) + L" cannot be loaded as a bitmap";
    return std::wstring();
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
    return LayOutEntries(entries, &canvas, problem);
}

bool CKivFileBuilder::LayOut(SIZE* canvas)
{
    std::wstring problem;
    return LayOutEntries(m_images, canvas, &problem) || Fail(problem);
}

bool CKivFileBuilder::LayOutEntries(std::vector<KivAtlasEntry>& entries, SIZE* canvas, std::wstring* problem) const
{
    const size_t columns = static_cast<size_t>(GridColumns(entries.size()));
    LONG x = 0;
    LONG y = 0;
    LONG rowHeight = 0;
    size_t placed = 0;
    LONGLONG width = 0;
    LONGLONG height = 0;
    for (KivAtlasEntry& entry : entries)
    {
        // Each picture is checked here so the reason names the first bad one.
        SIZE size;
        *problem = CheckPicture(entry.key, entry.path, &size);
        if (!problem->empty())
            return false;
        if (placed != 0 && placed % columns == 0)
        {
            x = 0;
            y += rowHeight;
            rowHeight = 0;
        }
        // Sides are checked one by one, so the sums below never overflow.
        if (x + size.cx > kMaxCanvasSide || y + size.cy > kMaxCanvasSide)
        {
            *problem = L"the pictures are too large for one atlas (" + entry.key + L" would end at " +
                       std::to_wstring(x + size.cx) + L"," + std::to_wstring(y + size.cy) +
                       L"; an atlas side is at most " + std::to_wstring(kMaxCanvasSide) + L")";
            return false;
        }
        entry.rect = {x, y, x + size.cx, y + size.cy};
        width = std::max<LONGLONG>(width, entry.rect.right);
        height = std::max<LONGLONG>(height, entry.rect.bottom);
        x += size.cx;
        ++placed;
        rowHeight = std::max(rowHeight, size.cy);
    }
    if (width * height > kMaxCanvasPixels)
    {
        *problem = L"the pictures are too large for one atlas (" + std::to_wstring(width) + L"x" +
                   std::to_wstring(height) + L" laid out)";
        return false;
    }
    canvas->cx = static_cast<LONG>(width);
    canvas->cy = static_cast<LONG>(height);
    return true;
}

bool CKivFileBuilder::BuildAtlas(const std::wstring& atlasPath)
{
    if (m_images.empty())
        return Fail(L"the project has no pictures");
    SIZE laidOut;
    if (!LayOut(&laidOut))
        return false;

    CKivClientDC screen(m_deviceWindow);
    CKivBitmap canvas(CreateCompatibleBitmap(screen, laidOut.cx, laidOut.cy));
    CKivCompatibleDC canvasDC(screen);
    CKivCompatibleDC pictureDC(screen);
    if (!screen.Get() || !canvas || !canvasDC.Get() || !pictureDC.Get())
        return Fail(L"cannot create the " + std::to_wstring(laidOut.cx) + L"x" + std::to_wstring(laidOut.cy) +
                    L" atlas bitmap");
    CKivSelectObject selectCanvas(canvasDC, canvas);
    CKivBrush magenta(CreateSolidBrush(RGB(255, 0, 255)));
    const RECT whole = {0, 0, laidOut.cx, laidOut.cy};
    if (!magenta || !FillRect(canvasDC, &whole, magenta))
        return Fail(L"cannot fill the atlas bitmap");

    for (const KivAtlasEntry& entry : m_images)
    {
        const std::wstring path = ResolvePicturePath(entry.path);
        CKivBitmap picture(static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
        if (path.empty() || !picture)
            return Fail(entry.key + L": " + Quoted(entry.path) + L" cannot be loaded as a bitmap");
        CKivSelectObject selectPicture(pictureDC, picture);
        const RECT& r = entry.rect;
        if (!BitBlt(canvasDC, r.left, r.top, r.right - r.left, r.bottom - r.top, pictureDC, 0, 0, SRCCOPY))
            return Fail(entry.key + L": " + Quoted(path) + L" cannot be copied into the atlas");
    }
    if (!SaveBmpByDC(canvasDC, atlasPath.c_str(), nullptr, 0))
        return Fail(L"cannot write the atlas: " + CKivAtomicFile::Problem(atlasPath));
    return true;
}

bool CKivFileBuilder::SaveBmpByDC(HDC dc, const wchar_t* path, SIZE* /*size*/, int /*flag*/)
{
    if (dc == nullptr || path == nullptr)
        return false;
    LONG width = 0;
    LONG height = 0;
    for (const KivAtlasEntry& entry : m_images)
    {
        width = std::max(width, entry.rect.right);
        height = std::max(height, entry.rect.bottom);
    }
    if (width <= 0 || height <= 0)
        return false;

    CKivClientDC screen(m_deviceWindow);
    CKivBitmap cropped(CreateCompatibleBitmap(screen, width, height));
    if (!cropped)
        return false;
    {
        CKivCompatibleDC croppedDC(screen);
        CKivSelectObject select(croppedDC, cropped);
        if (!croppedDC.Get() || !BitBlt(croppedDC, 0, 0, width, height, dc, 0, 0, SRCCOPY))
            return false;
    }
    BITMAP description;
    if (GetObjectW(cropped, sizeof(description), &description) != sizeof(description))
        return false;
    // Palette displays would need a colour table; true colour keeps the format simple.
    const WORD bits = description.bmBitsPixel >= 16 ? description.bmBitsPixel : 32;
    const DWORD rowBytes = ((static_cast<DWORD>(width) * bits + 31) / 32) * 4;
    const DWORD pixelBytes = rowBytes * static_cast<DWORD>(height);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = pixelBytes;
    std::vector<BYTE> pixels(pixelBytes);
    if (GetDIBits(screen, cropped, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) != height)
        return false;

    // 54 bytes of headers and room for the cipher's padding behind the pixels.
    const size_t imageBytes = CKivBmpFile::kHeadersSize + static_cast<size_t>(pixelBytes);
    info.bmiHeader.biSizeImage = pixelBytes;
    info.bmiHeader.biXPelsPerMeter = 0;
    info.bmiHeader.biYPelsPerMeter = 0;
    info.bmiHeader.biClrUsed = 0;
    info.bmiHeader.biClrImportant = 0;
    std::vector<BYTE> image = CKivBmpFile::Compose(info.bmiHeader, pixels.data(), pixelBytes, 0, 64);

    const size_t encrypted = CKivCipherFile::EncryptInPlace(image.data(), imageBytes, CKivCipherFile::kAtlasPiece);
    if (encrypted == 0)
        return false;
    CKivFileHandle out(CKivFileHandle::OpenWrite(path));
    return out.WriteExact(image.data(), static_cast<DWORD>(encrypted));
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
