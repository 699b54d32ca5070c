#pragma once
// The .kiv container: a 32-byte header of four little-endian 64-bit integers
// (settings offset and size, atlas offset and size) and the two encrypted
// sections it points at.
#include <windows.h>
#include <cstdint>
#include <memory>

struct KivSkinFileHeader
{
    int64_t settingsOffset;
    int64_t settingsSize;
    int64_t atlasOffset;
    int64_t atlasSize;
};
static_assert(sizeof(KivSkinFileHeader) == 32, "the skin file header is 32 bytes");

enum KivSectionKind
{
    kKivSectionSettings = 1,
    kKivSectionAtlas = 2,
};

// One section as stored (still encrypted).
struct KivSkinSection
{
    std::unique_ptr<BYTE[]> bytes;
    DWORD size = 0;
};

// Free functions of the library live in namespace kiv, so a host that links
// the static library keeps its own ReadHeader, ReadSection and the like.
namespace kiv {

// Reads the first 32 bytes of the file.
bool ReadHeader(const wchar_t* path, KivSkinFileHeader* header);

// Size of a section, checked against the file: the section must lie inside the
// file and its size must fit in 32 bits. Callers size their buffer from this.
bool GetSectionSize(const wchar_t* path, int kind, DWORD* size);

// Reads a section, still encrypted, into a caller's buffer of capacity bytes.
// The header is read afresh here, so a section that has grown beyond the
// buffer since the caller sized it (the file was replaced in between) is
// refused, as is any section that breaks the rules of GetSectionSize.
bool ReadSection(const wchar_t* path, int kind, void* buffer, DWORD capacity);

// Both sections of a skin file through one open handle and one reading of
// the header, so the sizes and the bytes always belong to the same file.
// Sections larger than their limit are refused before anything is allocated.
bool ReadSkinSections(const wchar_t* path, DWORD settingsLimit, DWORD atlasLimit, KivSkinSection* settings,
                      KivSkinSection* atlas);

// Joins an encrypted settings file and an encrypted atlas file into a skin file.
bool PackSkinFile(const wchar_t* outputPath, const wchar_t* settingsPath, const wchar_t* atlasPath);

bool KivFileExists(const wchar_t* path);

}  // namespace kiv
