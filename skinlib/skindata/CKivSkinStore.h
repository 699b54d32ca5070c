#pragma once
#include <windows.h>

// The process-wide skin: settings record and atlas bitmap.
class CKivSkinStore
{
public:
    // Loads a .kiv file; true once both sections were read and decrypted.
    static bool LoadSkin(const wchar_t* path);
};
