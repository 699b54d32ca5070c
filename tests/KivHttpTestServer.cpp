#include "KivHttpTestServer.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kivtest {

namespace {

const DWORD kSocketTimeoutMs = 10000;

void SetSocketTimeouts(SOCKET socket)
{
    const DWORD timeout = kSocketTimeoutMs;
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
}

SOCKET ListenOnLoopback(unsigned short& port)
{
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET)
        return INVALID_SOCKET;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof(address);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0 || listen(listener, 8) != 0)
    {
        closesocket(listener);
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin_port);
    return listener;
}

const char* Reason(int status)
{
    switch (status)
    {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    default:
        return "Error";
    }
}

}  // namespace

KivHttpTestServer::KivHttpTestServer(Reply reply, int maxConnections)
    : m_reply(std::move(reply)),
      m_maxConnections(maxConnections),
      m_released(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_stopped(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    WSADATA data;
    m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!m_started)
        return;
    m_listener = ListenOnLoopback(m_port);
    m_listening = m_listener != INVALID_SOCKET;
    if (m_listening)
        m_acceptor = std::thread([this] { AcceptLoop(); });
}

KivHttpTestServer::~KivHttpTestServer()
{
    m_stopping = true;
    SetEvent(m_stopped);
    SetEvent(m_released);
    {
        // Wakes a send that waits for a client that no longer reads.
        std::lock_guard<std::mutex> lock(m_lock);
        for (SOCKET open : m_open)
            shutdown(open, SD_BOTH);
    }
    if (m_acceptor.joinable())
        m_acceptor.join();
    for (std::thread& connection : m_connections)
        connection.join();
    if (m_listener != INVALID_SOCKET)
        closesocket(m_listener);
    if (m_started)
        WSACleanup();
}

std::wstring KivHttpTestServer::Url(const wchar_t* path) const
{
    return L"http://127.0.0.1:" + std::to_wstring(m_port) + path;
}

std::string KivHttpTestServer::LastRequestHead() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_lastHead;
}

void KivHttpTestServer::SetReply(Reply reply)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_reply = std::move(reply);
}

void KivHttpTestServer::SetReply(const std::string& path, Reply reply)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_paths[path] = std::move(reply);
}

void KivHttpTestServer::Release()
{
    SetEvent(m_released);
}

bool KivHttpTestServer::Wait(HANDLE event, DWORD ms) const
{
    WaitForSingleObject(event, ms);
    return !m_stopping;
}

void KivHttpTestServer::AcceptLoop()
{
    int accepted = 0;
    while (!m_stopping && accepted < m_maxConnections)
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_listener, &readable);
        timeval wait = {0, 50000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
            continue;
        SOCKET connection = accept(m_listener, nullptr, nullptr);
        if (connection == INVALID_SOCKET)
            continue;
        ++accepted;
        m_connections.emplace_back([this, connection] { Serve(connection); });
    }
    // Used up: later connections are refused instead of waiting in the backlog.
    closesocket(m_listener);
    m_listener = INVALID_SOCKET;
}

bool KivHttpTestServer::SendAll(SOCKET connection, const char* data, size_t size)
{
    while (size > 0)
    {
        if (m_stopping)
            return false;
        const int piece = size > 65536 ? 65536 : static_cast<int>(size);
        const int sent = send(connection, data, piece, 0);
        if (sent <= 0)
            return false;
        m_sent += static_cast<unsigned long long>(sent);
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool KivHttpTestServer::Drip(SOCKET connection, const std::string& data, DWORD gapMs, ULONGLONG end)
{
    for (size_t index = 0; index < data.size(); ++index)
    {
        if (index > 0 && (!Wait(m_stopped, gapMs) || GetTickCount64() >= end))
            return false;
        if (!SendAll(connection, data.data() + index, 1))
            return false;
    }
    return true;
}

bool KivHttpTestServer::Flood(SOCKET connection, size_t size, ULONGLONG end)
{
    // Lines of some 90 bytes, all of one header name (which WinINet takes in
    // fastest, so that the memory grows fastest).
    std::string block;
    std::vector<size_t> lineEnds;
    for (int line = 0; block.size() < 65536; ++line)
    {
        block += "X-Filler: " + std::to_string(line) + std::string(80, 'f') + "\r\n";
        lineEnds.push_back(block.size());
    }
    size_t left = size;
    while (left > 0)
    {
        // A whole block, or as many whole lines of it as still fit.
        size_t piece = block.size();
        if (left < piece)
        {
            piece = 0;
            for (size_t lineEnd : lineEnds)
                piece = lineEnd <= left ? lineEnd : piece;
            if (piece == 0)
                return true;
        }
        if (GetTickCount64() >= end || !SendAll(connection, block.data(), piece))
            return false;
        left -= piece;
    }
    return true;
}

void KivHttpTestServer::Answer(SOCKET connection, const Reply& reply)
{
    const ULONGLONG end = GetTickCount64() + kReplyLimitMs;
    if (reply.silent)
    {
        Wait(m_stopped, kReplyLimitMs);
        return;
    }
    std::string head = "HTTP/1.0 " + std::to_string(reply.status) + " " + Reason(reply.status) + "\r\n";
    head += "Content-Type: text/plain\r\nConnection: close\r\n" + reply.headers;
    if (!reply.lengthText.empty())
        head += "Content-Length: " + reply.lengthText + "\r\n";
    else if (reply.sendLength)
        head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    if (reply.headerFlood > 0)
    {
        if (!SendAll(connection, head.data(), head.size()) || !Flood(connection, reply.headerFlood, end))
            return;
        head.clear();
    }
    head += "\r\n";
    if (reply.dripMs > 0)
    {
        if (reply.dripBodyOnly && !SendAll(connection, head.data(), head.size()))
            return;
        Drip(connection, reply.dripBodyOnly ? reply.body : head + reply.body, reply.dripMs, end);
        return;
    }
    if (reply.stall)
    {
        if (!SendAll(connection, head.data(), head.size()))
            return;
        head.clear();
        if (!Wait(m_released, kReplyLimitMs))
            return;
    }
    head += reply.body;
    SendAll(connection, head.data(), head.size());
}

void KivHttpTestServer::Serve(SOCKET connection)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_open.push_back(connection);
    }
    SetSocketTimeouts(connection);
    std::string head;
    char chunk[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 16384)
    {
        const int got = recv(connection, chunk, sizeof(chunk), 0);
        if (got <= 0)
            break;
        head.append(chunk, static_cast<size_t>(got));
    }
    if (head.find("\r\n\r\n") != std::string::npos)
    {
        Reply reply;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_lastHead = head;
            // "GET /path HTTP/1.1"
            const size_t from = head.find(' ') + 1;
            const auto found = m_paths.find(head.substr(from, head.find(' ', from) - from));
            reply = found != m_paths.end() ? found->second : m_reply;
        }
        ++m_requests;
        Answer(connection, reply);
    }
    std::lock_guard<std::mutex> lock(m_lock);
    m_open.erase(std::find(m_open.begin(), m_open.end(), connection));
    shutdown(connection, SD_BOTH);
    closesocket(connection);
}

void KivHttpTestServer::ClearProxySettings()
{
    for (const wchar_t* name : {L"http_proxy", L"https_proxy", L"all_proxy", L"HTTP_PROXY", L"HTTPS_PROXY", L"ALL_PROXY"})
    {
        SetEnvironmentVariableW(name, nullptr);
        _wputenv((std::wstring(name) + L"=").c_str());
    }
    CKivRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(), nullptr) == ERROR_SUCCESS)
    {
        const DWORD off = 0;
        RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof(off));
        RegDeleteValueW(key, L"ProxyServer");
    }
    else
        key.Release();
}

unsigned short KivHttpTestServer::ClosedPort()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 0;
    unsigned short port = 0;
    SOCKET listener = ListenOnLoopback(port);
    if (listener != INVALID_SOCKET)
        closesocket(listener);
    WSACleanup();
    return port;
}

}  // namespace kivtest
