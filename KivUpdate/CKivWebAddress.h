#pragma once
#include <windows.h>
#include <wininet.h>
#include <string>

// A web address (http or https) as the platform's URL cracker reads it, kept
// in one canonical spelling: lower-case scheme and host, the port only when
// it is not the scheme's own, and every character of the path and query
// outside the URL character set percent-encoded (UTF-8), so that quotes,
// carets, pipes or a "%NAME%" cannot reach a shell or a browser's command
// line as they are. Addresses with a user name or password, or a host that
// is not a plain host name or address, are refused.
class CKivWebAddress
{
public:
    static constexpr size_t kMaxLength = 2048;

    // False (and the address left empty) unless the text is such an address
    // of at most kMaxLength characters once canonical.
    bool Parse(const std::wstring& text);
    // An address a redirect names (absolute, or relative to this one).
    bool Resolve(const std::wstring& location, CKivWebAddress& next) const;

    bool IsValid() const { return !m_canonical.empty(); }
    bool IsSecure() const { return m_secure; }
    const std::wstring& Canonical() const { return m_canonical; }
    const std::wstring& Host() const { return m_host; }
    INTERNET_PORT Port() const { return m_port; }
    // Path and query, what a request asks for (the fragment is not sent).
    const std::wstring& Object() const { return m_object; }

    // The canonical spelling of text; empty when it is no web address.
    static std::wstring Canonicalise(const std::wstring& text);
    // Path, query and fragment with everything outside the URL character
    // set percent-encoded, and escapes of unreserved characters decoded.
    static std::wstring EncodeTail(const std::wstring& tail);

private:
    static bool IsHostName(const std::wstring& host);

    std::wstring m_canonical;
    std::wstring m_host;
    std::wstring m_object;
    INTERNET_PORT m_port = 0;
    bool m_secure = false;
};
