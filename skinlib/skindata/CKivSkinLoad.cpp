#include "CKivSkinLoad.h"
#include "CKivAes.h"
#include "CKivBmpFile.h"
#include "CKivClientDC.h"
#include "CKivLayoutLoader.h"
#include "KivSkinFile.h"
#include <cstdint>
#include <cstring>
#include <new>

namespace {

// Checks the information header before the platform sees it and returns the
// number of pixel bytes the image needs. Every product is taken in 64 bits, so
// no header can make the platform allocate more than the file carries.
const wchar_t* PixelBytesNeeded(const BITMAPINFOHEADER& info, size_t infoBlockSize, uint64_t* needed)
{
    if (info.biSize != sizeof(BITMAPINFOHEADER))
        return L"the atlas information header is not the 40-byte kind";
    if (info.biPlanes != 1)
        return L"the atlas has more than one plane";
    const int64_t width = info.biWidth;
    const int64_t height = info.biHeight < 0 ? -static_cast<int64_t>(info.biHeight) : info.biHeight;
    if (width <= 0 || height <= 0)
        return L"the atlas has no width or no height";
    switch (info.biBitCount)
    {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return L"the atlas has an unknown bit count";
    }
    if (info.biCompression == BI_BITFIELDS)
    {
        // The three colour masks follow the header.
        if ((info.biBitCount != 16 && info.biBitCount != 32) ||
            infoBlockSize < sizeof(BITMAPINFOHEADER) + 3 * sizeof(DWORD))
            return L"the atlas colour masks are missing or do not fit its bit count";
    }
    else if (info.biCompression != BI_RGB)
    {
        return L"the atlas is compressed";
    }
    if (info.biBitCount <= 8 && info.biClrUsed > (1u << info.biBitCount))
        return L"the atlas colour table is larger than its bit count allows";
    const uint64_t rowBytes = ((static_cast<uint64_t>(width) * info.biBitCount + 31) / 32) * 4;
    *needed = rowBytes * static_cast<uint64_t>(height);
    return nullptr;
}

HBITMAP Refused(const wchar_t* reason, std::wstring* refusal)
{
    if (refusal != nullptr)
        *refusal = reason;
    return nullptr;
}

}  // namespace

CKivSkinLoad::CKivSkinLoad(const KivSkinSettings& base) : m_settings(base)
{
}

bool CKivSkinLoad::Refuse(const wchar_t* reason)
{
    m_refusal = reason;
    m_atlas.Reset(nullptr);
    return false;
}

bool CKivSkinLoad::Run(const wchar_t* path)
{
    m_refusal.clear();
    m_atlas.Reset(nullptr);
    m_atlasImage.reset();
    m_atlasImageLength = 0;
    m_settingsRead = false;
    if (!kiv::KivFileExists(path))
        return Refuse(L"the skin file does not exist");
    KivSkinSection settings;
    KivSkinSection atlas;
    if (!kiv::ReadSkinSections(path, CKivLayoutLoader::kMaxDocumentSize, kMaxAtlasSection, &settings, &atlas))
        return Refuse(L"the header or a section cannot be read (a section lies outside the file or is too large)");
    {
        CKivLayoutLoader loader;
        if (!loader.LoadSection(std::move(settings.bytes), settings.size))
            return Refuse(L"the settings section is empty, damaged or not encrypted with the skin key");
        if (!loader.Parse(m_settings))
            return Refuse(L"the settings document cannot be read (XmlLite unavailable)");
    }
    m_settingsRead = true;
    size_t plain = 0;
    bool whole = false;
    {
        CKivAes aes;
        CKivAes::InitSkinCipher(aes);
        whole = CKivAes::DecryptWholeInPlace(aes.GetDecryptor(), atlas.bytes.get(), atlas.size, 4096, &plain);
    }
    m_atlasImage = std::move(atlas.bytes);
    m_atlasImageLength = plain;
    if (!whole)
        return Refuse(L"the atlas section is damaged or not encrypted with the skin key");
    std::wstring reason;
    m_atlas.Reset(BuildAtlas(m_atlasImage.get(), plain, &reason));
    if (!m_atlas)
        return Refuse(reason.c_str());
    return true;
}

HBITMAP CKivSkinLoad::BuildAtlas(const BYTE* image, size_t length, std::wstring* refusal)
{
    const size_t kFileHeader = sizeof(BITMAPFILEHEADER);
    const size_t kMinOffset = kFileHeader + sizeof(BITMAPINFOHEADER);
    if (image == nullptr || length < kMinOffset)
        return Refused(L"the atlas is empty, damaged or shorter than a BMP header", refusal);
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    if (!CKivBmpFile::ReadHeaders(image, length, &file, &info))
        return Refused(L"the atlas is not a BMP image", refusal);
    if (file.bfSize != length)
        return Refused(L"the atlas file size field differs from the decrypted length", refusal);
    if (file.bfOffBits < kMinOffset || file.bfOffBits > length)
        return Refused(L"the atlas pixel offset lies inside the headers or beyond the image", refusal);
    const size_t infoBlockSize = file.bfOffBits - kFileHeader;
    uint64_t needed = 0;
    if (const wchar_t* bad = PixelBytesNeeded(info, infoBlockSize, &needed))
        return Refused(bad, refusal);
    if (needed > length - file.bfOffBits)
        return Refused(L"the atlas pixel area is shorter than its rows need", refusal);

    // Header and colour table in a block of their own, padded with a zeroed
    // full-size colour table so the platform never reads beyond it.
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[infoBlockSize + sizeof(RGBQUAD) * 256]());
    if (!block)
        return Refused(L"out of memory for the atlas header", refusal);
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
        return Refused(L"the platform cannot create the atlas bitmap", refusal);
    DIBSECTION section;
    if (GetObjectW(atlas, sizeof(section), &section) != sizeof(section))
        return Refused(L"the platform cannot describe the atlas bitmap", refusal);
    // Trust the platform's own figures for the copy, not the header's.
    const uint64_t rows = static_cast<uint64_t>(section.dsBm.bmWidthBytes) *
                          static_cast<uint64_t>(section.dsBm.bmHeight < 0 ? -static_cast<int64_t>(section.dsBm.bmHeight)
                                                                          : section.dsBm.bmHeight);
    if (rows > length - file.bfOffBits)
        return Refused(L"the atlas pixel area is shorter than the platform's rows", refusal);
    memcpy(bits, image + file.bfOffBits, static_cast<size_t>(rows));
    return atlas.Release();
}
