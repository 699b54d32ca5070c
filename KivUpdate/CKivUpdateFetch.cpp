#include "CKivUpdateFetch.h"
#include <string>
#include "CKivInternetHandle.h"

const wchar_t* const CKivUpdateFetch::kAgentName = L"KivUpdateNet";

namespace {

// Every reply comes from the server, never from a cache, and leaves nothing
// behind: no cache entry, no cookie, no stored credentials, no dialog.
const DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                            INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI |
                            INTERNET_FLAG_NO_AUTH;

bool IsRedirect(DWORD status)
{
    return status == HTTP_STATUS_MOVED || status == HTTP_STATUS_REDIRECT || status == HTTP_STATUS_REDIRECT_METHOD ||
           status == HTTP_STATUS_REDIRECT_KEEP_VERB || status == 308;
}

void SetTimeouts(HINTERNET handle, DWORD timeoutMs)
{
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(handle, option, &timeoutMs, sizeof(timeoutMs));
}

// The size of the whole header as WinINet keeps it; false when it cannot say.
bool HeaderBytes(HINTERNET request, DWORD& bytes)
{
    bytes = 0;
    DWORD index = 0;
    if (HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &bytes, &index))
        return true;
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

bool QueryLocation(HINTERNET request, std::wstring& location)
{
    std::vector<wchar_t> text(CKivWebAddress::kMaxLength + 1);
    DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD index = 0;
    if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, text.data(), &size, &index))
        return false;
    location.assign(text.data(), size / sizeof(wchar_t));
    return true;
}


bool QueryContentLength(HINTERNET request, ULONGLONG& length)
{
    wchar_t text[64] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    DWORD index = 0;
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, &index))
        return false;
    return CKivUpdateFetch::ParseContentLength(text, length);
}

// Reads until the server has no more to give, keeping at most one byte more
// than a document may hold so that a larger one can be told apart.
CKivUpdateFetch::Result ReadBody(HINTERNET request, bool known, ULONGLONG announced, std::vector<char>& body)
{
    const size_t keep = CKivUpdateFetch::kMaxBodyBytes + 1;
    body.clear();
    char chunk[4096];
    for (;;)
    {
        DWORD got = 0;
        if (!InternetReadFile(request, chunk, sizeof(chunk), &got))
            return CKivUpdateFetch::Result::kReadFailed;
        if (got == 0)
            break;
        const size_t take = got < keep - body.size() ? got : keep - body.size();
        body.insert(body.end(), chunk, chunk + take);
        if (body.size() >= keep)
            break;
    }
    if (body.empty() || body.size() > CKivUpdateFetch::kMaxBodyBytes)
        return CKivUpdateFetch::Result::kBadReply;
    if (known && body.size() != announced)
        return CKivUpdateFetch::Result::kReadFailed;
    return CKivUpdateFetch::Result::kDocument;
}

}  // namespace

CKivUpdateFetch::CKivUpdateFetch(CKivWebAddress address, DWORD timeoutMs)
    : m_address(std::move(address)), m_timeoutMs(timeoutMs)
{
}

bool CKivUpdateFetch::ParseContentLength(const wchar_t* text, ULONGLONG& length)
{
    length = 0;
    if (text == nullptr)
        return false;
    while (*text == L' ' || *text == L'\t')
        ++text;
    if (*text < L'0' || *text > L'9')
        return false;
    const ULONGLONG most = ~0ULL;
    for (; *text >= L'0' && *text <= L'9'; ++text)
    {
        const unsigned digit = static_cast<unsigned>(*text - L'0');
        length = length > (most - digit) / 10 ? most : length * 10 + digit;
    }
    while (*text == L' ' || *text == L'\t')
        ++text;
    return *text == L'\0';
}

CKivUpdateFetch::Result CKivUpdateFetch::Run(const std::function<void(ULONGLONG)>& onHead, std::vector<char>& body,
                                             bool& secure) const
{
    secure = false;
    if (!m_address.IsValid())
        return Result::kRequestFailed;
    CKivInternetHandle session(InternetOpenW(kAgentName, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (session.Get() == nullptr)
        return Result::kRequestFailed;
    SetTimeouts(session.Get(), m_timeoutMs);

    CKivWebAddress address = m_address;
    secure = address.IsSecure();
    for (int redirects = 0;; ++redirects)
    {
        CKivWebAddress next;
        const Result result = Exchange(address, session.Get(), next, onHead, body);
        if (result != Result::kPending)
            return result;
        // A redirect: a handful are followed, none that leaves https.
        if (redirects >= kMaxRedirects || (address.IsSecure() && !next.IsSecure()))
            return Result::kRequestFailed;
        secure = secure && next.IsSecure();
        address = next;
    }
}

// One request; kPending with the next address when the server redirects.
CKivUpdateFetch::Result CKivUpdateFetch::Exchange(const CKivWebAddress& address, HINTERNET session,
                                                 CKivWebAddress& redirect, const std::function<void(ULONGLONG)>& onHead,
                                                 std::vector<char>& body) const
{
    CKivInternetHandle connection(InternetConnectW(session, address.Host().c_str(), address.Port(), nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (connection.Get() == nullptr)
        return Result::kRequestFailed;
    // Wine takes these from the connection, not from the session.
    SetTimeouts(connection.Get(), m_timeoutMs);
    const DWORD flags = kRequestFlags | (address.IsSecure() ? INTERNET_FLAG_SECURE : 0);
    CKivInternetHandle request(
        HttpOpenRequestW(connection.Get(), L"GET", address.Object().c_str(), nullptr, nullptr, nullptr, flags, 0));
    if (request.Get() == nullptr || !HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0))
        return Result::kRequestFailed;

    DWORD headerBytes = 0;
    if (!HeaderBytes(request.Get(), headerBytes) || headerBytes > kMaxHeaderBytes * sizeof(wchar_t))
        return Result::kBadReply;
    DWORD status = 0;
    DWORD size = sizeof(status);
    DWORD index = 0;
    if (!HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, &index))
        return Result::kRequestFailed;
    if (IsRedirect(status))
    {
        std::wstring location;
        if (!QueryLocation(request.Get(), location) || !address.Resolve(location, redirect))
            return Result::kRequestFailed;
        return Result::kPending;
    }
    if (status != HTTP_STATUS_OK)
        return Result::kRequestFailed;

    // The size comes from the answer's Content-Length; without one the
    // document is read until the server has no more.
    ULONGLONG announced = 0;
    const bool known = QueryContentLength(request.Get(), announced);
    if (known && (announced == 0 || announced > kMaxBodyBytes))
        return Result::kBadReply;
    onHead(known ? announced : 0);
    return ReadBody(request.Get(), known, announced, body);
}
