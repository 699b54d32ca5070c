#include "CKivUpdateDocument.h"
#include "CKivWebAddress.h"
#include <cstring>
#include <cwctype>
#include <vector>

CKivUpdateDocument::CKivUpdateDocument(const char* bytes, size_t size) : m_text(Widen(bytes, size, kMaxText + 1))
{
    m_cut = m_text.size() > kMaxText;
    if (m_cut)
        m_text.resize(kMaxText);
}

bool CKivUpdateDocument::HasField(const std::wstring& part) const
{
    if (part.empty())
        return false;
    size_t start = m_text.find(L'@');
    while (start != std::wstring::npos)
    {
        ++start;
        const size_t end = m_text.find_first_of(L"@\r\n", start);
        // The last field of a cut text may be the beginning of a longer one.
        if (end == std::wstring::npos && m_cut)
            return false;
        const size_t length = (end == std::wstring::npos ? m_text.size() : end) - start;
        if (length == part.size() && m_text.compare(start, length, part) == 0)
            return true;
        start = m_text.find(L'@', start);
    }
    return false;
}

bool CKivUpdateDocument::AnnouncesVersion() const
{
    return IsVersion(Field(1)) && IsName(Field(2)) && CKivWebAddress().Parse(Field(3));
}

std::wstring CKivUpdateDocument::Field(const std::wstring& text, int index)
{
    if (index < 1)
        return std::wstring();
    size_t start = 0;
    for (int seen = 0; seen < index; ++seen)
    {
        start = text.find(L'@', start);
        if (start == std::wstring::npos)
            return std::wstring();
        ++start;
    }
    const size_t end = text.find_first_of(L"@\r\n", start);
    return text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

std::wstring CKivUpdateDocument::Widen(const char* bytes, size_t size, size_t maxChars)
{
    if (bytes == nullptr || size == 0 || maxChars == 0)
        return std::wstring();
    const void* nul = memchr(bytes, 0, size);
    if (nul != nullptr)
        size = static_cast<size_t>(static_cast<const char*>(nul) - bytes);
    // No code page spends more than four bytes on a character: more input
    // than that can only be cut off again.
    if (maxChars < 0x10000 && size > maxChars * 4 + 4)
        size = maxChars * 4 + 4;
    if (size > 0x7FFFFFFF)
        return std::wstring();
    if (size == 0)
        return std::wstring();
    const int length = static_cast<int>(size);
    const int needed = MultiByteToWideChar(CP_ACP, 0, bytes, length, nullptr, 0);
    if (needed <= 0)
        return std::wstring();
    std::vector<wchar_t> wide(static_cast<size_t>(needed));
    const int written = MultiByteToWideChar(CP_ACP, 0, bytes, length, wide.data(), needed);
    if (written <= 0)
        return std::wstring();
    std::wstring text(wide.data(), static_cast<size_t>(written));
    if (text.size() > maxChars)
        text.resize(maxChars);
    return text;
}

bool CKivUpdateDocument::IsText(const char* bytes, size_t size)
{
    if (bytes == nullptr || size == 0)
        return false;
    for (size_t index = 0; index < size; ++index)
    {
        const unsigned char c = static_cast<unsigned char>(bytes[index]);
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F)
            return false;
    }
    return true;
}

bool CKivUpdateDocument::IsVersion(const std::wstring& version)
{
    if (version.empty() || version.size() > kMaxVersion || version.front() == L' ' || version.back() == L' ')
        return false;
    bool digit = false;
    for (wchar_t c : version)
    {
        if (c >= 0x80)
            return false;
        if (std::iswdigit(c))
            digit = true;
        else if (!std::iswalpha(c) && wcschr(L" ._+-()", c) == nullptr)
            return false;
    }
    return digit;
}

bool CKivUpdateDocument::IsName(const std::wstring& name)
{
    if (name.empty() || name.size() > kMaxName)
        return false;
    bool visible = false;
    for (wchar_t c : name)
    {
        if (c < L' ' || c == 0x7F || c == L'<' || c == L'>')
            return false;
        if (c != L' ' && c != 0x3000)
            visible = true;
    }
    return visible;
}
