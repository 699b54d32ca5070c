#pragma once
#include "CKivXmlDocument.h"
#include <map>
#include <string>
#include <vector>

// Reads a compiled skin without touching the process-wide skin store: which
// keys its settings document carries (by the library's reading rules) and the
// size of its atlas.
class CKivSkinAuditor : public CKivXmlDocument
{
public:
    struct Value
    {
        std::wstring first;  // text of the leaf's first attribute
        LONG rect[4] = {0, 0, 0, 0};  // left, top, right, bottom, when present
        bool hasRect = false;
    };

    // False with a reason when a section cannot be read or decrypted.
    bool Open(const wchar_t* path, std::wstring* reason);
    // The settings section alone: false with a reason when the document
    // cannot be read to its end (the library stops at the first fault and
    // leaves the keys behind it unset).
    bool OpenSettings(const wchar_t* path, std::wstring* reason);

    const std::map<std::wstring, Value>& Keys() const { return m_keys; }
    bool HasAtlas() const { return m_atlasWidth > 0; }
    LONG AtlasWidth() const { return m_atlasWidth; }
    LONG AtlasHeight() const { return m_atlasHeight; }
    // The decrypted atlas BMP file image.
    const std::vector<BYTE>& AtlasImage() const { return m_atlas; }

    // Decrypts one section of a skin file; false when it cannot be read or
    // the cipher rejects it.
    static bool ReadPlainSection(const wchar_t* path, int kind, std::vector<BYTE>* plain);

private:
    bool ParseSettings(const std::vector<BYTE>& document, std::wstring* reason);
    void ReadLeaf(const std::wstring& key);

    std::map<std::wstring, Value> m_keys;
    std::vector<BYTE> m_atlas;
    LONG m_atlasWidth = 0;
    LONG m_atlasHeight = 0;
};
