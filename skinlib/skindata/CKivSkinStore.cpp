#include "CKivSkinStore.h"
#include "CKivAes.h"
#include "CKivClientDC.h"
#include "CKivGdiObject.h"
#include "CKivLayoutLoader.h"
#include "KivSkinFile.h"
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

struct SkinStore
{
    KivSkinSettings settings;
    HBITMAP atlas;
};

SkinStore g_store = {};
unsigned g_generation = 0;

// Deletes the atlas at process end.
struct AtlasCleanup
{
    ~AtlasCleanup()
    {
        if (g_store.atlas && DeleteObject(g_store.atlas))
            g_store.atlas = nullptr;
    }
} g_atlasCleanup;

// Checks the information header before the platform sees it and returns the
// number of pixel bytes the image needs. Every product is taken in 64 bits, so
// no header can make the platform allocate more than the file carries.
bool PixelBytesNeeded(const BITMAPINFOHEADER& info, size_t infoBlockSize, uint64_t* needed)
{
    if (info.biSize != sizeof(BITMAPINFOHEADER) || info.biPlanes != 1)
        return false;
    const int64_t width = info.biWidth;
    const int64_t height = info.biHeight < 0 ? -static_cast<int64_t>(info.biHeight) : info.biHeight;
    if (width <= 0 || height <= 0)
        return false;
    switch (info.biBitCount)
    {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return false;
    }
    if (info.biCompression == BI_BITFIELDS)
    {
        // The three colour masks follow the header.
        if ((info.biBitCount != 16 && info.biBitCount != 32) ||
            infoBlockSize < sizeof(BITMAPINFOHEADER) + 3 * sizeof(DWORD))
            return false;
    }
    else if (info.biCompression != BI_RGB)
    {
        return false;
    }
    if (info.biBitCount <= 8 && info.biClrUsed > (1u << info.biBitCount))
        return false;
    const uint64_t rowBytes = ((static_cast<uint64_t>(width) * info.biBitCount + 31) / 32) * 4;
    *needed = rowBytes * static_cast<uint64_t>(height);
    return true;
}

}  // namespace

KivSkinSettings& CKivSkinStore::Settings()
{
    return g_store.settings;
}

HBITMAP CKivSkinStore::Atlas()
{
    return g_store.atlas;
}

unsigned CKivSkinStore::Generation()
{
    return g_generation;
}

void CKivSkinStore::DeleteAtlas()
{
    if (g_store.atlas && DeleteObject(g_store.atlas))
        g_store.atlas = nullptr;
    ++g_generation;
}

HBITMAP CKivSkinStore::CreateAtlas(const BYTE* image, size_t length)
{
    const size_t kFileHeader = sizeof(BITMAPFILEHEADER);
    const size_t kMinOffset = kFileHeader + sizeof(BITMAPINFOHEADER);
    if (image == nullptr || length < kMinOffset || g_store.atlas != nullptr)
        return nullptr;
    BITMAPFILEHEADER file;
    memcpy(&file, image, sizeof(file));
    if (file.bfType != 0x4D42 || file.bfSize != length || file.bfOffBits < kMinOffset || file.bfOffBits > length)
        return nullptr;
    const size_t infoBlockSize = file.bfOffBits - kFileHeader;
    BITMAPINFOHEADER info;
    memcpy(&info, image + kFileHeader, sizeof(info));
    uint64_t needed = 0;
    if (!PixelBytesNeeded(info, infoBlockSize, &needed) || needed > length - file.bfOffBits)
        return nullptr;

    // Header and colour table in a block of their own, padded with a zeroed
    // full-size colour table so the platform never reads beyond it.
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[infoBlockSize + sizeof(RGBQUAD) * 256]());
    if (!block)
        return nullptr;
    memcpy(block.get(), image + kFileHeader, infoBlockSize);
    void* bits = nullptr;
    CKivBitmap atlas;
    {
        CKivClientDC screen(GetDesktopWindow());
        atlas.Reset(CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(block.get()), DIB_RGB_COLORS,
                                     &bits, nullptr, 0));
    }
    block.reset();
    if (!atlas || bits == nullptr)
        return nullptr;
    DIBSECTION section;
    if (GetObjectW(atlas, sizeof(section), &section) != sizeof(section))
        return nullptr;
    // Trust the platform's own figures for the copy, not the header's.
    const uint64_t rows = static_cast<uint64_t>(section.dsBm.bmWidthBytes) *
                          static_cast<uint64_t>(section.dsBm.bmHeight < 0 ? -static_cast<int64_t>(section.dsBm.bmHeight)
                                                                          : section.dsBm.bmHeight);
    if (rows > length - file.bfOffBits)
        return nullptr;
    memcpy(bits, image + file.bfOffBits, static_cast<size_t>(rows));
    g_store.atlas = atlas.Release();
    ++g_generation;
    return g_store.atlas;
}

bool CKivSkinStore::LoadSkin(const wchar_t* path)
{
    DeleteAtlas();
    CKivLayoutLoader loader;
    if (!loader.Load(path) || !loader.Parse(g_store.settings))
        return false;
    KivSkinFileHeader header;
    DWORD size = 0;
    if (!KivFileExists(path) || !ReadHeader(path, &header) || !GetSectionSize(path, kKivSectionAtlas, &size))
        return false;
    std::unique_ptr<BYTE[]> image(new (std::nothrow) BYTE[size ? size : 1]);
    if (!image || !ReadSection(path, kKivSectionAtlas, image.get()))
        return false;
    size_t plainLength = 0;
    {
        CKivAes aes;
        CKivAes::InitSkinCipher(aes);
        plainLength = CKivAes::DecryptInPlace(aes.GetDecryptor(), image.get(), size, 4096);
    }
    CreateAtlas(image.get(), plainLength);
    return true;
}
