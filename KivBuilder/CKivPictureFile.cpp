#include "CKivPictureFile.h"
#include "CKivFileHandle.h"
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

template <typename T>
T At(const std::vector<BYTE>& bytes, size_t offset)
{
    T value;
    memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

}  // namespace

bool CKivPictureFile::Inspect(const std::wstring& path, SIZE* size, std::wstring* problem)
{
    CKivFileHandle file(CKivFileHandle::OpenRead(path.c_str()));
    const LONGLONG fileSize = file.Size();
    if (fileSize < 0)
    {
        *problem = L"cannot be read";
        return false;
    }
    // The file header, the longest information header (BITMAPV5HEADER) and
    // nothing more is needed.
    const size_t kFileHeader = 14;
    std::vector<BYTE> head(static_cast<size_t>(fileSize < 14 + 124 ? fileSize : 14 + 124));
    if (!head.empty() && !file.ReadExact(head.data(), static_cast<DWORD>(head.size())))
    {
        *problem = L"cannot be read";
        return false;
    }
    if (head.size() < kFileHeader + 12 || head[0] != 'B' || head[1] != 'M')
    {
        *problem = L"is not a BMP picture";
        return false;
    }
    const uint64_t pixelOffset = At<DWORD>(head, 10);
    const DWORD infoSize = At<DWORD>(head, kFileHeader);
    int64_t width = 0;
    int64_t height = 0;
    WORD bits = 0;
    DWORD compression = BI_RGB;
    DWORD imageSize = 0;
    if (infoSize == sizeof(BITMAPCOREHEADER))
    {
        width = At<WORD>(head, kFileHeader + 4);
        height = At<WORD>(head, kFileHeader + 6);
        bits = At<WORD>(head, kFileHeader + 10);
    }
    else if (infoSize >= sizeof(BITMAPINFOHEADER) && head.size() >= kFileHeader + sizeof(BITMAPINFOHEADER))
    {
        BITMAPINFOHEADER info;
        memcpy(&info, head.data() + kFileHeader, sizeof(info));
        width = info.biWidth;
        height = info.biHeight < 0 ? -static_cast<int64_t>(info.biHeight) : info.biHeight;
        bits = info.biBitCount;
        compression = info.biCompression;
        imageSize = info.biSizeImage;
    }
    else
    {
        *problem = L"is not a BMP picture (unknown header)";
        return false;
    }
    if (width <= 0 || height <= 0 || bits == 0)
    {
        *problem = L"is not a BMP picture (no width, height or colour depth)";
        return false;
    }
    // Rows of uncompressed pictures have a known length; a run-length
    // encoded one states its size.
    uint64_t needed = 0;
    if (compression == BI_RGB || compression == BI_BITFIELDS || compression == 6 /* BI_ALPHABITFIELDS */)
        needed = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4 * static_cast<uint64_t>(height);
    else if (compression == BI_RLE8 || compression == BI_RLE4)
        needed = imageSize;
    const uint64_t holds = static_cast<uint64_t>(fileSize) > pixelOffset ? static_cast<uint64_t>(fileSize) - pixelOffset : 0;
    if (pixelOffset > static_cast<uint64_t>(fileSize) || needed > holds)
    {
        *problem = L"is cut short: its " + std::to_wstring(width) + L"x" + std::to_wstring(height) +
                   L" pixels need " + std::to_wstring(needed) + L" bytes, the file holds " + std::to_wstring(holds);
        return false;
    }
    if (width > kMaxSide || height > kMaxSide)
    {
        *problem = L"is " + std::to_wstring(width) + L"x" + std::to_wstring(height) +
                   L" pixels; a picture side is at most " + std::to_wstring(kMaxSide);
        return false;
    }
    size->cx = static_cast<LONG>(width);
    size->cy = static_cast<LONG>(height);
    return true;
}
