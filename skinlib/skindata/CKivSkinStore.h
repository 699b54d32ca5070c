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
    // Whether there is a skin to draw with: a load has given the store its
    // atlas, or the settings record holds any value (it is all zero until a
    // skin is put in). Without one the engine leaves new windows alone.
    static bool HasSkin();

    // Loads a .kiv file into a new settings record and atlas and swaps both
    // in only when both are good (true). Otherwise false, and the skin in use
    // stays exactly as it was.
    static bool LoadSkin(const wchar_t* path);

    // Builds the atlas from a BMP file image; null (and no atlas) when the
    // image fails a check of CKivSkinLoad::BuildAtlas or an atlas already exists.
    static HBITMAP CreateAtlas(const BYTE* image, size_t length);
    // Deletes the atlas, if any.
    static void DeleteAtlas();
};
