#include "KivSkinFile.h"
#include "CKivFileHandle.h"
#include <new>

namespace {

bool SectionOf(const KivSkinFileHeader& header, int kind, int64_t* offset, int64_t* size)
{
    if (kind == kKivSectionSettings)
    {
        *offset = header.settingsOffset;
        *size = header.settingsSize;
        return true;
    }
    if (kind == kKivSectionAtlas)
    {
        *offset = header.atlasOffset;
        *size = header.atlasSize;
        return true;
    }
    return false;
}

// Validates the section against the open file and returns its size.
bool CheckedSection(const CKivFileHandle& file, const KivSkinFileHeader& header, int kind,
                    int64_t* offset, DWORD* size)
{
    int64_t sectionOffset = 0;
    int64_t sectionSize = 0;
    if (!SectionOf(header, kind, &sectionOffset, &sectionSize))
        return false;
    const int64_t fileSize = file.Size();
    if (sectionOffset < 0 || sectionSize < 0 || fileSize < 0)
        return false;
    if (sectionSize > static_cast<int64_t>(MAXDWORD))
        return false;
    if (sectionOffset > fileSize || sectionSize > fileSize - sectionOffset)
        return false;
    *offset = sectionOffset;
    *size = static_cast<DWORD>(sectionSize);
    return true;
}

bool ReadHeaderFrom(const CKivFileHandle& file, KivSkinFileHeader* header)
{
    KivSkinFileHeader read;
    if (!file.ReadExact(&read, sizeof(read)))
        return false;
    *header = read;
    return true;
}

bool CopyWhole(const CKivFileHandle& from, LONGLONG size, const CKivFileHandle& to)
{
    BYTE piece[64 * 1024];
    while (size > 0)
    {
        const DWORD count = size > static_cast<LONGLONG>(sizeof(piece)) ? sizeof(piece)
                                                                          : static_cast<DWORD>(size);
        if (!from.ReadExact(piece, count) || !to.WriteExact(piece, count))
            return false;
        size -= count;
    }
    return true;
}

}  // namespace

namespace kiv {

bool KivFileExists(const wchar_t* path)
{
    if (path == nullptr)
        return false;
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadHeader(const wchar_t* path, KivSkinFileHeader* header)
{
    if (path == nullptr || header == nullptr)
        return false;
    CKivFileHandle file(CKivFileHandle::OpenRead(path));
    return file.IsValid() && ReadHeaderFrom(file, header);
}

bool GetSectionSize(const wchar_t* path, int kind, DWORD* size)
{
    if (size == nullptr || !KivFileExists(path))
        return false;
    CKivFileHandle file(CKivFileHandle::OpenRead(path));
    KivSkinFileHeader header;
    int64_t offset = 0;
    return file.IsValid() && ReadHeaderFrom(file, &header) && CheckedSection(file, header, kind, &offset, size);
}

bool ReadSection(const wchar_t* path, int kind, void* buffer, DWORD capacity)
{
    if (buffer == nullptr || !KivFileExists(path))
        return false;
    if (kind != kKivSectionSettings && kind != kKivSectionAtlas)
        return false;
    CKivFileHandle file(CKivFileHandle::OpenRead(path));
    KivSkinFileHeader header;
    int64_t offset = 0;
    DWORD size = 0;
    if (!file.IsValid() || !ReadHeaderFrom(file, &header) || !CheckedSection(file, header, kind, &offset, &size))
        return false;
    if (size > capacity)
        return false;
    return file.Seek(offset) && file.ReadExact(buffer, size);
}

bool ReadSkinSections(const wchar_t* path, DWORD settingsLimit, DWORD atlasLimit, KivSkinSection* settings,
                      KivSkinSection* atlas)
{
    if (settings == nullptr || atlas == nullptr || !KivFileExists(path))
        return false;
    CKivFileHandle file(CKivFileHandle::OpenRead(path));
    KivSkinFileHeader header;
    if (!file.IsValid() || !ReadHeaderFrom(file, &header))
        return false;
    const int kinds[2] = {kKivSectionSettings, kKivSectionAtlas};
    const DWORD limits[2] = {settingsLimit, atlasLimit};
    KivSkinSection* sections[2] = {settings, atlas};
    for (int i = 0; i < 2; ++i)
    {
        int64_t offset = 0;
        DWORD size = 0;
        if (!CheckedSection(file, header, kinds[i], &offset, &size) || size > limits[i])
            return false;
        std::unique_ptr<BYTE[]> bytes(new (std::nothrow) BYTE[size ? size : 1]);
        if (!bytes || !file.Seek(offset) || !file.ReadExact(bytes.get(), size))
            return false;
        sections[i]->bytes = std::move(bytes);
        sections[i]->size = size;
    }
    return true;
}

bool PackSkinFile(const wchar_t* outputPath, const wchar_t* settingsPath, const wchar_t* atlasPath)
{
    if (!KivFileExists(settingsPath) || !KivFileExists(atlasPath) || outputPath == nullptr)
        return false;
    CKivFileHandle settings(CKivFileHandle::OpenRead(settingsPath));
    CKivFileHandle atlas(CKivFileHandle::OpenRead(atlasPath));
    if (!settings.IsValid() || !atlas.IsValid())
        return false;
    CKivFileHandle output(CKivFileHandle::OpenWrite(outputPath));
    if (!output.IsValid())
        return false;
    const LONGLONG settingsSize = settings.Size();
    const LONGLONG atlasSize = atlas.Size();
    if (settingsSize <= 0 || atlasSize <= 0)
        return false;
    KivSkinFileHeader header;
    header.settingsOffset = sizeof(KivSkinFileHeader);
    header.settingsSize = settingsSize;
    header.atlasOffset = sizeof(KivSkinFileHeader) + settingsSize;
    header.atlasSize = atlasSize;
    // Write errors fail the pack, so a full disk never passes for a good skin.
    return output.WriteExact(&header, sizeof(header)) &&
           CopyWhole(settings, settingsSize, output) &&
           CopyWhole(atlas, atlasSize, output);
}

}  // namespace kiv
