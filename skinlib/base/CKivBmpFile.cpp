#include "CKivBmpFile.h"
#include <cstring>
#include "CKivFileHandle.h"

namespace {

const WORD kBmpMagic = 0x4D42;  // "BM"

}  // namespace

size_t CKivBmpFile::RowBytes(int width, int bitCount)
{
    if (width <= 0 || bitCount <= 0)
        return 0;
    return ((static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32) * 4;
}

BITMAPINFOHEADER CKivBmpFile::InfoHeader(int width, int height, WORD bitCount)
{
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = bitCount;
    info.biCompression = BI_RGB;
    const size_t rows = static_cast<size_t>(height < 0 ? -static_cast<LONGLONG>(height) : height);
    info.biSizeImage = static_cast<DWORD>(RowBytes(width, bitCount) * rows);
    return info;
}

std::vector<BYTE> CKivBmpFile::Compose(const BITMAPINFOHEADER& info, const void* pixels, size_t pixelBytes,
                                       DWORD colourCount, size_t spare)
{
    const size_t offset = kHeadersSize + static_cast<size_t>(colourCount) * sizeof(RGBQUAD);
    std::vector<BYTE> image(offset + pixelBytes + spare, 0);
    BITMAPFILEHEADER file = {};
    file.bfType = kBmpMagic;
    file.bfSize = static_cast<DWORD>(offset + pixelBytes);
    file.bfOffBits = static_cast<DWORD>(offset);
    memcpy(image.data(), &file, sizeof(file));
    memcpy(image.data() + sizeof(file), &info, sizeof(info));
    if (pixels != nullptr && pixelBytes != 0)
        memcpy(image.data() + offset, pixels, pixelBytes);
    return image;
}

bool CKivBmpFile::Write(const wchar_t* path, const BITMAPINFOHEADER& info, const void* pixels, size_t pixelBytes)
{
    if (path == nullptr)
        return false;
    const std::vector<BYTE> image = Compose(info, pixels, pixelBytes);
    if (image.size() > MAXDWORD)
        return false;
    const CKivFileHandle file(CKivFileHandle::OpenWrite(path));
    return file.WriteExact(image.data(), static_cast<DWORD>(image.size()));
}

bool CKivBmpFile::ReadHeaders(const BYTE* image, size_t length, BITMAPFILEHEADER* file, BITMAPINFOHEADER* info)
{
    if (image == nullptr || file == nullptr || info == nullptr || length < kHeadersSize)
        return false;
    memcpy(file, image, sizeof(*file));
    memcpy(info, image + sizeof(*file), sizeof(*info));
    return file->bfType == kBmpMagic;
}
