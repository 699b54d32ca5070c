#include "CKivAtlasImage.h"
#include <algorithm>
#include "CKivAtomicFile.h"
#include "CKivBmpFile.h"
#include "CKivCipherFile.h"
#include "CKivClientDC.h"
#include "CKivCompatibleDC.h"
#include "CKivFileHandle.h"
#include "CKivGdiObject.h"
#include "CKivSelectObject.h"

namespace {

bool Failed(std::wstring* problem, const std::wstring& reason)
{
    *problem = reason;
    return false;
}

std::wstring Quoted(const std::wstring& text)
{
    return CKivProjectPath::Quoted(text);
}

}  // namespace

SIZE CKivAtlasImage::Extent(const std::vector<KivAtlasEntry>& entries)
{
    SIZE extent = {0, 0};
    for (const KivAtlasEntry& entry : entries)
    {
        extent.cx = std::max(extent.cx, entry.rect.right);
        extent.cy = std::max(extent.cy, entry.rect.bottom);
    }
    return extent;
}

bool CKivAtlasImage::Draw(const std::vector<KivAtlasEntry>& entries, const CKivProjectPath& paths, HWND deviceWindow,
                          SIZE laidOut, const std::wstring& atlasPath, std::wstring* problem)
{
    CKivClientDC screen(deviceWindow);
    CKivBitmap canvas(CreateCompatibleBitmap(screen, laidOut.cx, laidOut.cy));
    CKivCompatibleDC canvasDC(screen);
    CKivCompatibleDC pictureDC(screen);
    if (!screen.Get() || !canvas || !canvasDC.Get() || !pictureDC.Get())
        return Failed(problem, L"cannot create the " + std::to_wstring(laidOut.cx) + L"x" +
                                   std::to_wstring(laidOut.cy) + L" atlas bitmap");
    CKivSelectObject selectCanvas(canvasDC, canvas);
    CKivBrush magenta(CreateSolidBrush(RGB(255, 0, 255)));
    const RECT whole = {0, 0, laidOut.cx, laidOut.cy};
    if (!magenta || !FillRect(canvasDC, &whole, magenta))
        return Failed(problem, L"cannot fill the atlas bitmap");

    for (const KivAtlasEntry& entry : entries)
    {
        const std::wstring path = paths.ResolvePicture(entry.path);
        CKivBitmap picture(static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
        if (path.empty() || !picture)
            return Failed(problem, entry.key + L": " + Quoted(entry.path) + L" cannot be loaded as a bitmap");
        CKivSelectObject selectPicture(pictureDC, picture);
        const RECT& r = entry.rect;
        if (!BitBlt(canvasDC, r.left, r.top, r.right - r.left, r.bottom - r.top, pictureDC, 0, 0, SRCCOPY))
            return Failed(problem, entry.key + L": " + Quoted(path) + L" cannot be copied into the atlas");
    }
    if (!Write(canvasDC, deviceWindow, Extent(entries), atlasPath.c_str()))
        return Failed(problem, L"cannot write the atlas: " + CKivAtomicFile::Problem(atlasPath));
    return true;
}

bool CKivAtlasImage::Write(HDC dc, HWND deviceWindow, SIZE extent, const wchar_t* path)
{
    const LONG width = extent.cx;
    const LONG height = extent.cy;
    if (dc == nullptr || path == nullptr || width <= 0 || height <= 0)
        return false;
    CKivClientDC screen(deviceWindow);
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
