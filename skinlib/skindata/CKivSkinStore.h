#pragma once
#include <windows.h>
#include "KivSkinSettings.h"

// The process-wide skin: the settings record followed by the atlas bitmap.
class CKivSkinStore
{
public:
    static KivSkinSettings& Settings();
    // The atlas as a DIB section; null when no skin is loaded or it could not be built.
    static HBITMAP Atlas();
    // Grows by one at every skin load, so painting caches know when to drop what they hold.
    static unsigned Generation();

    // Loads a .kiv file; true once both sections were read and decrypted.
    static bool LoadSkin(const wchar_t* path);

    // Builds the atlas from a BMP file image; null (and no atlas) when the
    // image fails a check or an atlas already exists.
    static HBITMAP CreateAtlas(const BYTE* image, size_t length);
    // Deletes the atlas, if any.
    static void DeleteAtlas();
};
