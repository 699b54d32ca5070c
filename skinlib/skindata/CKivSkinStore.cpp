#include "CKivSkinStore.h"
#include "CKivAes.h"
#include "KivSkinFile.h"
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Reads a section and decrypts it in place; returns the plaintext length.
bool ReadAndDecrypt(const wchar_t* path, int kind, size_t pieceSize,
                    std::unique_ptr<BYTE[]>* buffer, size_t* plainLength)
{
    DWORD size = 0;
    if (!GetSectionSize(path, kind, &size))
        return false;
    buffer->reset(new (std::nothrow) BYTE[size ? size : 1]);
    if (!*buffer || !ReadSection(path, kind, buffer->get()))
        return false;
    CKivAes aes;
    CKivAes::InitSkinCipher(aes);
    *plainLength = CKivAes::DecryptInPlace(aes.GetDecryptor(), buffer->get(), size, pieceSize);
    return true;
}

struct SkinStore
{
    KivSkinSettings settings;
    HBITMAP atlas;
};

SkinStore g_store = {};
unsigned g_generation = 0;

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
    if (image == nullptr || length < 54 || g_store.atlas != nullptr)
        return nullptr;
    BITMAPFILEHEADER file;
    memcpy(&file, image, sizeof(file));
    if (file.bfType != 0x4D42 || file.bfSize != length || file.bfOffBits < 54 || file.bfOffBits > length)
        return nullptr;
    DWORD infoSize = 0;
    memcpy(&infoSize, image + sizeof(file), sizeof(infoSize));
    if (infoSize != sizeof(BITMAPINFOHEADER))
        return nullptr;
    // Header and any colour table, copied so the platform never reads past it.
    std::unique_ptr<BYTE[]> info(new (std::nothrow) BYTE[file.bfOffBits - sizeof(file) + sizeof(RGBQUAD) * 256]());
    if (!info)
        return nullptr;
    memcpy(info.get(), image + sizeof(file), file.bfOffBits - sizeof(file));
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP atlas = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(info.get()), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (atlas == nullptr)
        return nullptr;
    DIBSECTION section;
    if (GetObjectW(atlas, sizeof(section), &section) != sizeof(section) || bits == nullptr)
    {
        DeleteObject(atlas);
        return nullptr;
    }
    const uint64_t needed = static_cast<uint64_t>(section.dsBm.bmWidthBytes) * static_cast<uint64_t>(section.dsBm.bmHeight);
    if (needed > length - file.bfOffBits)
    {
        DeleteObject(atlas);
        return nullptr;
    }
    memcpy(bits, image + file.bfOffBits, static_cast<size_t>(needed));
    g_store.atlas = atlas;
    ++g_generation;
    return atlas;
}

bool CKivSkinStore::LoadSkin(const wchar_t* path)
{
    DeleteAtlas();
    std::unique_ptr<BYTE[]> settings;
    size_t settingsLength = 0;
    if (!ReadAndDecrypt(path, kKivSectionSettings, 64, &settings, &settingsLength) || settingsLength == 0)
        return false;
    KivSkinFileHeader header;
    if (!KivFileExists(path) || !ReadHeader(path, &header))
        return false;
    std::unique_ptr<BYTE[]> atlas;
    size_t atlasLength = 0;
    if (!ReadAndDecrypt(path, kKivSectionAtlas, 4096, &atlas, &atlasLength))
        return false;
    CreateAtlas(atlas.get(), atlasLength);
    return true;
}
