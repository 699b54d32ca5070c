#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "CKivProjectPath.h"
#include "KivProjectItem.h"

// The atlas picture: the placed pictures drawn onto one canvas (magenta where
// no picture lies), cropped to the placed area and written as an encrypted
// BMP file image in the colour depth of the screen (32 bits below 16).
class CKivAtlasImage
{
public:
    // The right and bottom edges of the placed pictures.
    static SIZE Extent(const std::vector<KivAtlasEntry>& entries);
    // Draws every entry at its rectangle on a canvas of laidOut and writes
    // the atlas to atlasPath; false with the reason naming the picture or file.
    static bool Draw(const std::vector<KivAtlasEntry>& entries, const CKivProjectPath& paths, HWND deviceWindow,
                     SIZE laidOut, const std::wstring& atlasPath, std::wstring* problem);
    // Writes the extent of what dc holds (from its top left corner) as the
    // encrypted atlas file at path.
    static bool Write(HDC dc, HWND deviceWindow, SIZE extent, const wchar_t* path);
};
