#include "CKivUpdateDocument.h"
#include <cstring>
#include <vector>

CKivUpdateDocument::CKivUpdateDocument(const char* bytes, size_t size) : m_text(Widen(bytes, size, kMaxText))
{
}

bool CKivUpdateDocument::Contains(const std::wstring& part) const
{
    return !part.empty() && m_text.find(part) != std::wstring::npos;
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

bool CKivUpdateDocument::IsWebAddress(const std::wstring& address)
{
    size_t scheme = 0;
    if (_wcsnicmp(address.c_str(), L"http://", 7) == 0)
        scheme = 7;
    else if (_wcsnicmp(address.c_str(), L"https://", 8) == 0)
        scheme = 8;
    if (scheme == 0 || address.size() <= scheme || address[scheme] == L'/')
        return false;
    for (wchar_t c : address)
    {
        if (c <= L' ' || c == 0x7F)
            return false;
    }
    return true;
}
