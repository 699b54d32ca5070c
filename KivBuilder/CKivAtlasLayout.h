#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "CKivProjectPath.h"
#include "KivProjectItem.h"

// Where each picture of a project goes in the atlas: every picture is checked
// (it exists, is a BMP the library can load, has a size), then placed row by
// row in a grid of ceil(sqrt(n)) + 1 columns, each row as high as its highest
// picture. Pictures are found through the project's paths and measured
// against the device window's screen DC.
class CKivAtlasLayout
{
public:
    CKivAtlasLayout(HWND deviceWindow, const CKivProjectPath& paths) : m_deviceWindow(deviceWindow), m_paths(paths) {}

    // Columns of the atlas grid for count pictures.
    static LONG GridColumns(size_t count);
    bool QueryPictureSize(const std::wstring& path, SIZE* size) const;
    // Largest width and height over the entries, taken independently.
    bool LargestPictureSize(const std::vector<KivAtlasEntry>& entries, SIZE* size) const;
    // Why the picture stored for key cannot go into the atlas, as
    // "KEY: ..." naming the file; empty (and its size set) when it can.
    std::wstring CheckPicture(const std::wstring& key, const std::wstring& stored, SIZE* size) const;
    // Records each entry's rectangle and the laid-out size; false with the
    // reason (naming the first bad picture, or the size) when they cannot
    // make one atlas.
    bool Place(std::vector<KivAtlasEntry>& entries, SIZE* canvas, std::wstring* problem) const;

private:
    HWND m_deviceWindow;
    const CKivProjectPath& m_paths;
};
