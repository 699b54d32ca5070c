#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The document fetched from the update server, as text: at most kMaxText
// characters of it are examined. Its fields are separated by at signs; field
// n runs from the n-th at sign to the next at sign, line end or end of text.
// An update document names a newer version in its first three fields: the
// version, its name and the web address to download it from.
class CKivUpdateDocument
{
public:
    static constexpr size_t kMaxText = 1024;
    // Larger documents are refused before they are examined.
    static constexpr size_t kMaxBytes = 64 * 1024;
    static constexpr size_t kMaxVersion = 32;
    static constexpr size_t kMaxName = 128;

    CKivUpdateDocument(const char* bytes, size_t size);

    const std::wstring& Text() const { return m_text; }
    // True when one whole field equals part ("KIV-1.0.0.1" is not "KIV-1.0.0").
    // False for an empty part, which would match any empty field. A field
    // cut off by the examined length counts as none.
    bool HasField(const std::wstring& part) const;
    std::wstring Field(int index) const { return Field(m_text, index); }
    // True when fields 1 to 3 are a version, a name and a web address.
    bool AnnouncesVersion() const;

    static std::wstring Field(const std::wstring& text, int index);
    // Narrow text in the ANSI code page to UTF-16, cut to maxChars characters;
    // the input stops at its first NUL byte.
    static std::wstring Widen(const char* bytes, size_t size, size_t maxChars);
    // True for something that is text at all: not empty, and no NUL or other
    // control byte but tab, carriage return and line feed (which a
    // compressed body or a program's bytes always hold).
    static bool IsText(const char* bytes, size_t size);
    // A version: up to kMaxVersion letters, digits, blanks and ". _ + - ( )",
    // at least one digit, no blank at either end.
    static bool IsVersion(const std::wstring& version);
    // A name: up to kMaxName characters, not all blank, without control
    // characters or angle brackets (a web page is no name).
    static bool IsName(const std::wstring& name);

private:
    std::wstring m_text;
    // More text followed what is examined.
    bool m_cut = false;
};
