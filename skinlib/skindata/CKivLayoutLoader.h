#pragma once
#include "CKivXmlLite.h"
#include "CKivSkinSchema.h"
#include "KivSkinSettings.h"
#include <cstddef>
#include <memory>

// Reads the settings section of a skin file: decrypts it, hands it to the XML
// reader and walks the document into a settings record. Lives for one load.
class CKivLayoutLoader : public CKivXmlLite
{
public:
    // A settings document is a few kilobytes; anything far beyond that is hostile.
    static const DWORD kMaxDocumentSize = 4 * 1024 * 1024;
    // Names and keys are cut to this many characters (plus the terminator).
    static const size_t kNameLength = 128;

    CKivLayoutLoader() = default;
    ~CKivLayoutLoader() override;

    // Reads and decrypts the settings section and makes it the reader's input.
    bool Load(const wchar_t* path);
    // The same from a section already read (still encrypted); takes it over.
    // A section whose decryption stops short (a damaged or foreign piece) is
    // refused rather than read in part.
    bool LoadSection(std::unique_ptr<BYTE[]> section, DWORD size);
    // Walks the whole document and stores every recognised value. Values read
    // before a malformed node stay; only a missing reader gives false.
    bool Parse(KivSkinSettings& settings);

    // Decrypted document as handed to the reader (for tests and diagnostics).
    const BYTE* Document() const { return m_document.get(); }
    size_t DocumentLength() const { return m_documentLength; }

    // Integer text the way the C library's wide atoi/atol read it, saturating
    // at the 32-bit limits instead of overflowing.
    static int ParseInteger(const wchar_t* text);

private:
    bool OnNode(XmlNodeType type, KivSkinSettings& settings);
    void ReadValue(KivSkinSettings& settings);
    int ReadNamedAttribute(const wchar_t* name);
    void FreeDocument();

    std::unique_ptr<BYTE[]> m_document;
    size_t m_documentLength = 0;
    wchar_t m_group[kNameLength] = {};
    wchar_t m_element[kNameLength] = {};
    wchar_t m_key[kNameLength] = {};
};
