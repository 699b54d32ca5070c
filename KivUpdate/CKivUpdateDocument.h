#pragma once
#include <windows.h>
#include <string>

// The document fetched from the update server, as text: at most kMaxText
// characters of it are examined. Its fields are separated by at signs; field
// n runs from the n-th at sign to the next at sign, line end or end of text.
class CKivUpdateDocument
{
public:
    static constexpr size_t kMaxText = 1024;
    // Larger documents are refused before they are examined.
    static constexpr size_t kMaxBytes = 64 * 1024;

    CKivUpdateDocument(const char* bytes, size_t size);

    const std::wstring& Text() const { return m_text; }
    // False for an empty part: an empty marker would match any document.
    bool Contains(const std::wstring& part) const;
    std::wstring Field(int index) const { return Field(m_text, index); }

    static std::wstring Field(const std::wstring& text, int index);
    // Narrow text in the ANSI code page to UTF-16, cut to maxChars characters;
    // the input stops at its first NUL byte.
    static std::wstring Widen(const char* bytes, size_t size, size_t maxChars);
    // True for an http:// or https:// address with something after the
    // scheme and no blanks or control characters in it.
    static bool IsWebAddress(const std::wstring& address);

private:
    std::wstring m_text;
};
