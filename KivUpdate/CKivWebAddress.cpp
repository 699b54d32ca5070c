#include "CKivWebAddress.h"
#include <cwctype>
#include <vector>

namespace {

bool IsUnreserved(unsigned c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// Delimiters that keep their meaning in a path or query.
bool IsReserved(unsigned c)
{
    for (const char* delimiter = ":/?#[]@!$&'()*+,;="; *delimiter != '\0'; ++delimiter)
    {
        if (c == static_cast<unsigned char>(*delimiter))
            return true;
    }
    return false;
}

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

void AppendEscape(std::wstring& out, unsigned byte)
{
    const wchar_t digits[] = L"0123456789ABCDEF";
    out += L'%';
    out += digits[(byte >> 4) & 0xF];
    out += digits[byte & 0xF];
}

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
    {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

}  // namespace

std::wstring CKivWebAddress::EncodeTail(const std::wstring& tail)
{
    std::wstring out;
    out.reserve(tail.size());
    size_t index = 0;
    while (index < tail.size())
    {
        const wchar_t c = tail[index];
        if (c == L'%' && index + 2 < tail.size() && HexValue(tail[index + 1]) >= 0 && HexValue(tail[index + 2]) >= 0)
        {
            const unsigned byte = static_cast<unsigned>(HexValue(tail[index + 1]) * 16 + HexValue(tail[index + 2]));
            if (IsUnreserved(byte))
                out += static_cast<wchar_t>(byte);
            else
                AppendEscape(out, byte);
            index += 3;
            continue;
        }
        if (c < 0x80 && (IsUnreserved(c) || IsReserved(c)))
        {
            out += c;
            ++index;
            continue;
        }
        // Anything else goes as the escapes of its UTF-8 bytes (a lone
        // surrogate as the replacement character).
        size_t units = 1;
        if (c >= 0xD800 && c <= 0xDBFF && index + 1 < tail.size() && tail[index + 1] >= 0xDC00 && tail[index + 1] <= 0xDFFF)
            units = 2;
        char bytes[8] = {};
        const int count = WideCharToMultiByte(CP_UTF8, 0, tail.data() + index, static_cast<int>(units), bytes,
                                              sizeof(bytes), nullptr, nullptr);
        for (int byte = 0; byte < count; ++byte)
            AppendEscape(out, static_cast<unsigned char>(bytes[byte]));
        index += units;
    }
    return out;
}

bool CKivWebAddress::IsHostName(const std::wstring& host)
{
    if (host.empty() || host.size() > 253)
        return false;
    if (host.front() == L'[')
    {
        // An IPv6 literal.
        if (host.size() < 4 || host.back() != L']')
            return false;
        for (size_t index = 1; index + 1 < host.size(); ++index)
        {
            const wchar_t c = host[index];
            if (HexValue(c) < 0 && c != L':' && c != L'.')
                return false;
        }
        return true;
    }
    if (host.front() == L'.' || host.front() == L'-')
        return false;
    for (wchar_t c : host)
    {
        if (!(c < 0x80 && (std::iswalnum(c) || c == L'.' || c == L'-')))
            return false;
    }
    return true;
}

bool CKivWebAddress::Parse(const std::wstring& text)
{
    *this = CKivWebAddress();
    // The cracker accepts "http:host"; a web address names its host after "//".
    size_t scheme = 0;
    if (_wcsnicmp(text.c_str(), L"http://", 7) == 0)
        scheme = 7;
    else if (_wcsnicmp(text.c_str(), L"https://", 8) == 0)
        scheme = 8;
    if (scheme == 0 || text.size() > kMaxLength)
        return false;
    for (wchar_t c : text)
    {
        // Blanks and control characters never belong in an address; the
        // cracker would take them into the host or cut the text there.
        if (c <= L' ' || c == 0x7F)
            return false;
    }

    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUserNameLength = 1;
    parts.dwPasswordLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(text.c_str(), static_cast<DWORD>(text.size()), 0, &parts))
        return false;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return false;
    if (parts.dwUserNameLength > 0 || parts.dwPasswordLength > 0 || parts.lpszHostName == nullptr)
        return false;
    // "http://user@host" with an empty user name still carries an at sign.
    const std::wstring authority = text.substr(scheme, text.find_first_of(L"/?#", scheme) - scheme);
    if (authority.find(L'@') != std::wstring::npos)
        return false;

    const std::wstring host = Lower(std::wstring(parts.lpszHostName, parts.dwHostNameLength));
    if (!IsHostName(host) || parts.nPort == 0)
        return false;
    m_secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    m_host = host;
    m_port = parts.nPort;

    std::wstring tail;
    if (parts.lpszUrlPath != nullptr)
        tail.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo != nullptr)
        tail.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (tail.empty() || tail.front() != L'/')
        tail.insert(tail.begin(), L'/');
    tail = EncodeTail(tail);

    std::wstring canonical = m_secure ? L"https://" : L"http://";
    canonical += m_host;
    const INTERNET_PORT usual = m_secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    if (m_port != usual)
        canonical += L":" + std::to_wstring(m_port);
    canonical += tail;
    if (canonical.size() > kMaxLength)
    {
        *this = CKivWebAddress();
        return false;
    }
    m_canonical = canonical;
    m_object = tail.substr(0, tail.find(L'#'));
    return true;
}

bool CKivWebAddress::Resolve(const std::wstring& location, CKivWebAddress& next) const
{
    next = CKivWebAddress();
    if (!IsValid() || location.empty() || location.size() > kMaxLength)
        return false;
    std::vector<wchar_t> combined(kMaxLength + 1);
    DWORD size = static_cast<DWORD>(combined.size());
    if (!InternetCombineUrlW(m_canonical.c_str(), location.c_str(), combined.data(), &size, ICU_NO_ENCODE))
        return false;
    return next.Parse(std::wstring(combined.data(), size < combined.size() ? size : combined.size() - 1));
}

std::wstring CKivWebAddress::Canonicalise(const std::wstring& text)
{
    CKivWebAddress address;
    return address.Parse(text) ? address.Canonical() : std::wstring();
}
