#pragma once
// The values a skin project holds and the atlas entries its pictures become.
#include <windows.h>
#include <string>

// Item types, as stored in project files.
enum KivItemType
{
    kKivItemText = 1,
    kKivItemPicture = 2,
    kKivItemColor = 3,
};

struct KivProjectItem
{
    std::wstring value;  // at most kMaxValue characters
    int type = kKivItemText;
};

// One picture of the atlas and where it landed.
struct KivAtlasEntry
{
    std::wstring path;  // as stored in the project
    std::wstring key;
    int type = kKivItemPicture;
    RECT rect = {0, 0, 0, 0};
};
