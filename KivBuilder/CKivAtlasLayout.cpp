#include "CKivAtlasLayout.h"
#include <algorithm>
#include "CKivClientDC.h"
#include "CKivGdiObject.h"
#include "CKivPictureFile.h"
#include "CKivSkinLoad.h"

namespace {

// The laid-out atlas; anything bigger is a mistake in the project (a stray
// photograph), not a skin. The library accepts the same number of pixels.
const LONG kMaxCanvasSide = CKivPictureFile::kMaxSide;
const LONGLONG kMaxCanvasPixels = CKivSkinLoad::kMaxAtlasPixels;

std::wstring Quoted(const std::wstring& text)
{
    return CKivProjectPath::Quoted(text);
}

}  // namespace

LONG CKivAtlasLayout::GridColumns(size_t count)
{
    LONG root = 0;
    while (static_cast<size_t>(root) * static_cast<size_t>(root) < count)
        ++root;
    return root + 1;
}

bool CKivAtlasLayout::QueryPictureSize(const std::wstring& path, SIZE* size) const
{
    if (size == nullptr || path.empty())
        return false;
    CKivBitmap picture(static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    if (!picture)
        return false;
    CKivClientDC screen(m_deviceWindow);
    struct
    {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header.biSize = sizeof(info.header);
    if (GetDIBits(screen, picture, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == 0)
        return false;
    size->cx = info.header.biWidth;
    size->cy = info.header.biHeight < 0 ? -info.header.biHeight : info.header.biHeight;
    return size->cx > 0 && size->cy > 0;
}

bool CKivAtlasLayout::LargestPictureSize(const std::vector<KivAtlasEntry>& entries, SIZE* size) const
{
    if (size == nullptr)
        return false;
    SIZE largest = {0, 0};
    for (const KivAtlasEntry& entry : entries)
    {
        const std::wstring path = m_paths.ResolvePicture(entry.path);
        SIZE picture;
        if (path.empty() || !QueryPictureSize(path, &picture))
            return false;
        largest.cx = std::max(largest.cx, picture.cx);
        largest.cy = std::max(largest.cy, picture.cy);
    }
    *size = largest;
    return true;
}

std::wstring CKivAtlasLayout::CheckPicture(const std::wstring& key, const std::wstring& stored, SIZE* size) const
{
    if (stored.empty())
        return key + L": no picture file given";
    const std::wstring path = m_paths.ResolvePicture(stored);
    if (path.empty())
    {
        if (CKivProjectPath::IsAbsolute(stored) || m_paths.Folder().empty())
            return key + L": picture file " + Quoted(stored) + L" does not exist";
        const std::wstring lookedAt = m_paths.InFolder(stored);
        return key + L": picture file " + Quoted(stored) + L" does not exist (looked for " + Quoted(lookedAt) + L")";
    }
    std::wstring problem;
    SIZE header = {0, 0};
    if (!CKivPictureFile::Inspect(path, &header, &problem))
        return key + L": " + Quoted(path) + L" " + problem;
    if (!QueryPictureSize(path, size))
        return key + L": " + Quoted(path) + L" cannot be loaded as a bitmap";
    return std::wstring();
}

bool CKivAtlasLayout::Place(std::vector<KivAtlasEntry>& entries, SIZE* canvas, std::wstring* problem) const
{
    const size_t columns = static_cast<size_t>(GridColumns(entries.size()));
    LONG x = 0;
    LONG y = 0;
    LONG rowHeight = 0;
    size_t placed = 0;
    LONGLONG width = 0;
    LONGLONG height = 0;
    for (KivAtlasEntry& entry : entries)
    {
        // Each picture is checked here so the reason names the first bad one.
        SIZE size;
        *problem = CheckPicture(entry.key, entry.path, &size);
        if (!problem->empty())
            return false;
        if (placed != 0 && placed % columns == 0)
        {
            x = 0;
            y += rowHeight;
            rowHeight = 0;
        }
        // Sides are checked one by one, so the sums below never overflow.
        if (x + size.cx > kMaxCanvasSide || y + size.cy > kMaxCanvasSide)
        {
            *problem = L"the pictures are too large for one atlas (" + entry.key + L" would end at " +
                       std::to_wstring(x + size.cx) + L"," + std::to_wstring(y + size.cy) +
                       L"; an atlas side is at most " + std::to_wstring(kMaxCanvasSide) + L")";
            return false;
        }
        entry.rect = {x, y, x + size.cx, y + size.cy};
        width = std::max<LONGLONG>(width, entry.rect.right);
        height = std::max<LONGLONG>(height, entry.rect.bottom);
        x += size.cx;
        ++placed;
        rowHeight = std::max(rowHeight, size.cy);
    }
    if (width * height > kMaxCanvasPixels)
    {
        *problem = L"the pictures are too large for one atlas (" + std::to_wstring(width) + L"x" +
                   std::to_wstring(height) + L" laid out)";
        return false;
    }
    canvas->cx = static_cast<LONG>(width);
    canvas->cy = static_cast<LONG>(height);
    return true;
}
