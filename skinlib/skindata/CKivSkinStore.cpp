#include "CKivSkinStore.h"
#include "CKivAes.h"
#include "KivSkinFile.h"
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

bool CKivSkinStore::LoadSkin(const wchar_t* path)
{
    ++g_generation;
    std::unique_ptr<BYTE[]> settings;
    size_t settingsLength = 0;
    if (!ReadAndDecrypt(path, kKivSectionSettings, 64, &settings, &settingsLength) || settingsLength == 0)
        return false;
    KivSkinFileHeader header;
    if (!KivFileExists(path) || !ReadHeader(path, &header))
        return false;
    std::unique_ptr<BYTE[]> atlas;
    size_t atlasLength = 0;
    return ReadAndDecrypt(path, kKivSectionAtlas, 4096, &atlas, &atlasLength);
}
