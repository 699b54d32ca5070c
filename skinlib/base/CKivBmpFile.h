#pragma once
#include <windows.h>
#include <vector>

// BMP files as the library, the builder, the tools and the tests write and
// read them: a 14-byte file header, the 40-byte information header, an
// optional colour table, the pixel rows (each padded to four bytes).
class CKivBmpFile
{
public:
    static const size_t kHeadersSize = 54;  // file header + information header

    // Bytes in one pixel row, padded to a multiple of four.
    static size_t RowBytes(int width, int bitCount);
    // An uncompressed information header with biSizeImage filled in; a
    // negative height makes the rows top-down.
    static BITMAPINFOHEADER InfoHeader(int width, int height, WORD bitCount);
    // The whole file in memory: headers, colourCount zeroed colour table
    // entries, then pixelBytes of pixels (zeros when pixels is null), then
    // spare zero bytes that the file header does not count (room a cipher
    // pads into). The information header is taken as it is.
    static std::vector<BYTE> Compose(const BITMAPINFOHEADER& info, const void* pixels, size_t pixelBytes,
                                     DWORD colourCount = 0, size_t spare = 0);
    // Writes Compose's file to path (created or truncated); false on any failure.
    static bool Write(const wchar_t* path, const BITMAPINFOHEADER& info, const void* pixels, size_t pixelBytes);
    // Copies the two headers from the start of an image in memory; false when
    // the image is shorter than both or is no BMP ("BM"). Nothing else is checked.
    static bool ReadHeaders(const BYTE* image, size_t length, BITMAPFILEHEADER* file, BITMAPINFOHEADER* info);
};
