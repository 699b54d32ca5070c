#pragma once
#include <windows.h>
#include <cstddef>
#include <memory>
#include <string>
#include "CKivGdiObject.h"
#include "KivSkinSettings.h"

// One skin load from start to finish, kept apart from the process-wide store:
// the file is opened once and its header read once, both sections are read,
// decrypted and checked, the settings are read into a record of their own and
// the atlas is built. The store takes the result only when every step
// succeeded; `kivtool check` runs the very same steps to report what a load
// would refuse.
class CKivSkinLoad
{
public:
    // The new settings start as a copy of base: keys the document leaves out
    // keep the values they had, as when a document is read over a record.
    explicit CKivSkinLoad(const KivSkinSettings& base);
    CKivSkinLoad(const CKivSkinLoad&) = delete;
    CKivSkinLoad& operator=(const CKivSkinLoad&) = delete;

    // True when settings and atlas are both good; otherwise Refusal() says why.
    bool Run(const wchar_t* path);
    const std::wstring& Refusal() const { return m_refusal; }

    const KivSkinSettings& Settings() const { return m_settings; }
    // The settings document was read whole, whatever became of the atlas.
    bool SettingsRead() const { return m_settingsRead; }
    HBITMAP Atlas() const { return m_atlas.Get(); }
    // Hands the atlas to the caller, who deletes it.
    HBITMAP ReleaseAtlas() { return m_atlas.Release(); }
    // The decrypted atlas image (a BMP file) of the last Run once its section
    // was read and decrypted, whatever the verdict on it; null before.
    const BYTE* AtlasImage() const { return m_atlasImage.get(); }
    size_t AtlasImageLength() const { return m_atlasImageLength; }

    // The checks a BMP file image must pass to become an atlas, then the DIB
    // section built from it. Null, with the reason, when a check fails.
    static HBITMAP BuildAtlas(const BYTE* image, size_t length, std::wstring* refusal);

    // Largest atlas a load accepts: 64 million pixels at 32 bits (the
    // compiler's own bound), headers and padding.
    static const DWORD kMaxAtlasPixels = 64u * 1024u * 1024u;
    static const DWORD kMaxAtlasSection = kMaxAtlasPixels * 4u + 4096u;

private:
    bool Refuse(const wchar_t* reason);

    KivSkinSettings m_settings;
    CKivBitmap m_atlas;
    std::unique_ptr<BYTE[]> m_atlasImage;
    size_t m_atlasImageLength = 0;
    std::wstring m_refusal;
    bool m_settingsRead = false;
};
