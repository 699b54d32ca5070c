#pragma once
#include <windows.h>
#include <string>

// What a picture file of a skin project holds, read from its own headers
// before the platform loads it: a BMP image whose pixel rows are all in the
// file. The platform's loader accepts a BMP cut short and fills the missing
// rows with black, which the engine then draws as transparent; a picture must
// therefore be whole to be compiled.
class CKivPictureFile
{
public:
    // The largest side a picture (and the atlas) may have.
    static const LONG kMaxSide = 16384;

    // Width and height from the headers; false with a reason ("is not a BMP
    // picture", "is cut short: ...") when the file cannot be a whole BMP.
    static bool Inspect(const std::wstring& path, SIZE* size, std::wstring* problem);
};
