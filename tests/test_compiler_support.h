#pragma once
// Pictures, atlas decoding and settings-document walking shared by the
// compiler, project and kivtool tests.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "CKivBmpFile.h"
#include "CKivCipherFile.h"
#include "CKivFileBuilder.h"
#include "CKivXmlDocument.h"
#include "KivTestSupport.h"

namespace kivcompiler {

using PixelFn = std::function<COLORREF(int x, int y)>;

// A bottom-up 24-bit BMP file.
inline bool WriteBmp(const std::wstring& path, int width, int height, const PixelFn& pixel)
{
    const size_t row = CKivBmpFile::RowBytes(width, 24);
    BITMAPINFOHEADER info = CKivBmpFile::InfoHeader(width, height, 24);
    info.biSizeImage = 0;
    std::vector<unsigned char> bytes = CKivBmpFile::Compose(info, nullptr, row * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const COLORREF c = pixel(x, y);
            unsigned char* p = bytes.data() + 54 + static_cast<size_t>(height - 1 - y) * row + x * 3;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    return kivtest::WriteFileBytes(path, bytes);
}

// A BMP file cut short: the headers promise more rows than the file holds.
inline bool WriteTruncatedBmp(const std::wstring& path, int width, int height, const PixelFn& pixel)
{
    if (!WriteBmp(path, width, height, pixel))
        return false;
    std::vector<unsigned char> bytes = kivtest::ReadFileBytes(path);
    bytes.resize(54 + (bytes.size() - 54) / 2);
    return kivtest::WriteFileBytes(path, bytes);
}

// The shipped skin project skins\<name>, complete, with its pictures named
// by full path so that a copy saved anywhere still finds them.
inline bool OpenShippedProject(const wchar_t* name, CKivFileBuilder& builder)
{
    const std::wstring folder = kivtest::SourceDir() + L"\\skins\\" + name;
    if (!builder.OpenPlainProject((folder + L"\\project.kivxml").c_str()))
        return false;
    const CKivFileBuilder::ItemMap items = builder.Items();
    for (const auto& item : items)
        if (item.second.type == kKivItemPicture)
            builder.SetItem(item.first, folder + L"\\" + item.second.value, kKivItemPicture);
    return true;
}

// An asymmetric pattern unique to seed, so swapped, flipped or shifted
// pictures show.
inline PixelFn Pattern(int seed)
{
    return [seed](int x, int y) -> COLORREF {
        return RGB((seed * 37 + x * 11) & 0xFF, (seed * 91 + y * 13) & 0xFF, (seed * 17 + x * y + 1) & 0x7F);
    };
}

// A decrypted atlas image with its pixels as top-down COLORREFs.
struct Atlas
{
    bool ok = false;
    DWORD fileSize = 0;
    DWORD pixelOffset = 0;
    size_t imageLength = 0;
    int width = 0;
    int height = 0;
    int bits = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline Atlas DecodeAtlasImage(const std::vector<BYTE>& image)
{
    Atlas atlas;
    if (image.size() < 54)
        return atlas;
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    if (!CKivBmpFile::ReadHeaders(image.data(), image.size(), &file, &info))
        return atlas;
    atlas.fileSize = file.bfSize;
    atlas.pixelOffset = file.bfOffBits;
    atlas.imageLength = image.size();
    atlas.width = info.biWidth;
    atlas.height = info.biHeight;
    atlas.bits = info.biBitCount;
    if (info.biSize != 40 || (atlas.bits != 32 && atlas.bits != 24) || atlas.width <= 0 || atlas.height <= 0)
        return atlas;
    const size_t row = ((static_cast<size_t>(atlas.width) * atlas.bits + 31) / 32) * 4;
    if (file.bfOffBits + row * atlas.height > image.size())
        return atlas;
    atlas.pixels.resize(static_cast<size_t>(atlas.width) * atlas.height);
    for (int y = 0; y < atlas.height; ++y)
        for (int x = 0; x < atlas.width; ++x)
        {
            const BYTE* p = image.data() + file.bfOffBits + (atlas.height - 1 - y) * row + x * (atlas.bits / 8);
            atlas.pixels[static_cast<size_t>(y) * atlas.width + x] = RGB(p[2], p[1], p[0]);
        }
    atlas.ok = true;
    return atlas;
}

inline Atlas ReadAtlasFile(const std::wstring& path)
{
    std::vector<BYTE> image;
    if (!CKivCipherFile::ReadDecrypted(path.c_str(), CKivCipherFile::kAtlasPiece, &image))
        return Atlas();
    return DecodeAtlasImage(image);
}

// One element of a walked document: depth, name and attributes in order.
struct XmlElement
{
    UINT depth = 0;
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    bool empty = false;
};

inline std::vector<XmlElement> WalkElements(const std::vector<BYTE>& document)
{
    std::vector<XmlElement> elements;
    CKivXmlDocument xml;
    if (!xml.StartReading(document))
        return elements;
    IXmlReader* reader = xml.Reader();
    XmlNodeType node;
    while (reader->Read(&node) == S_OK)
    {
        if (node != XmlNodeType_Element)
            continue;
        XmlElement element;
        const wchar_t* text = nullptr;
        reader->GetDepth(&element.depth);
        reader->GetLocalName(&text, nullptr);
        element.name = text;
        element.empty = reader->IsEmptyElement() != FALSE;
        for (HRESULT more = reader->MoveToFirstAttribute(); more == S_OK; more = reader->MoveToNextAttribute())
        {
            const wchar_t* name = nullptr;
            const wchar_t* value = nullptr;
            reader->GetLocalName(&name, nullptr);
            reader->GetValue(&value, nullptr);
            element.attributes.emplace_back(name, value);
        }
        elements.push_back(element);
    }
    return elements;
}

inline std::vector<BYTE> ReadSettingsFile(const std::wstring& path)
{
    std::vector<BYTE> document;
    CKivCipherFile::ReadDecrypted(path.c_str(), CKivCipherFile::kDocumentPiece, &document);
    return document;
}

// Names of the files in a folder, for "nothing left behind" checks.
inline std::vector<std::wstring> ListFiles(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

}  // namespace kivcompiler
