#pragma once
// BMP images and settings documents for the skin loading tests.
#include <windows.h>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>
#include "CKivBmpFile.h"

namespace kivtest {

using Bytes = std::vector<unsigned char>;

// A complete BMP file image: file header, 40-byte info header, colour table
// (colourCount entries), then rows bottom-up, each padded to 4 bytes. The
// pixel area holds pixelBytes bytes (the exact size when left at -1), filled
// by fill(byteIndex).
template <typename Fill>
Bytes MakeBmp(int32_t width, int32_t height, uint16_t bitCount, Fill fill, int64_t pixelBytes = -1,
              uint32_t colourCount = 0)
{
    const int64_t absHeight = height < 0 ? -static_cast<int64_t>(height) : height;
    const int64_t rowBytes = ((static_cast<int64_t>(width) * bitCount + 31) / 32) * 4;
    if (pixelBytes < 0)
        pixelBytes = rowBytes * absHeight;
    const uint32_t offset = 54 + colourCount * 4;
    BITMAPINFOHEADER info = CKivBmpFile::InfoHeader(width, height, bitCount);
    info.biSizeImage = static_cast<DWORD>(pixelBytes);
    info.biClrUsed = colourCount;
    Bytes image = CKivBmpFile::Compose(info, nullptr, static_cast<size_t>(pixelBytes), colourCount);
    for (size_t i = 0; i < static_cast<size_t>(pixelBytes); ++i)
        image[offset + i] = static_cast<unsigned char>(fill(i));
    return image;
}

inline Bytes MakeBmp32(int32_t width, int32_t height)
{
    return MakeBmp(width, height, 32, [](size_t i) { return static_cast<unsigned>(i * 37 + 11); });
}

// Reads and writes little-endian header fields of an image in place.
inline uint32_t GetU32(const Bytes& bytes, size_t at)
{
    uint32_t value = 0;
    memcpy(&value, bytes.data() + at, sizeof(value));
    return value;
}
inline void PutU32(Bytes& bytes, size_t at, uint32_t value)
{
    memcpy(bytes.data() + at, &value, sizeof(value));
}
inline void PutU16(Bytes& bytes, size_t at, uint16_t value)
{
    memcpy(bytes.data() + at, &value, sizeof(value));
}

inline Bytes Utf8(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// Settings document with the given leaves inside a root element.
inline Bytes SettingsXml(const std::string& body, const std::string& root = "KivDescription")
{
    return Utf8("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<" + root + ">" + body + "</" + root + ">");
}

// The pixel rows of a DIB section as the platform holds them.
inline Bytes AtlasPixels(HBITMAP atlas)
{
    DIBSECTION section = {};
    if (atlas == nullptr || GetObjectW(atlas, sizeof(section), &section) != sizeof(section) ||
        section.dsBm.bmBits == nullptr)
        return Bytes();
    const size_t size = static_cast<size_t>(section.dsBm.bmWidthBytes) * static_cast<size_t>(section.dsBm.bmHeight);
    const unsigned char* bits = static_cast<const unsigned char*>(section.dsBm.bmBits);
    return Bytes(bits, bits + size);
}

}  // namespace kivtest
