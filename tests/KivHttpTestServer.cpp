#include "KivHttpTestServer.h"
#include <cstdio>
#include <cstdlib>

namespace kivtest {

namespace {

const DWORD kSocketTimeoutMs = 10000;
// A stalled reply waits at most this long for Release.
const DWORD kStallLimitMs = 60000;

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
    case 404:
        return "Not Found";
    default:
        return "Error";
    }
}

}  // namespace

KivHttpTestServer::KivHttpTestServer(Reply reply, int maxConnections)
    : m_reply(std::move(reply)), m_maxConnections(maxConnections), m_released(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    WSADATA data;
    m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!m_started)
        return;
    m_listener = ListenOnLoopback(m_port);
    if (m_listener != INVALID_SOCKET)
        m_acceptor = std::thread([this] { AcceptLoop(); });
}

KivHttpTestServer::~KivHttpTestServer()
{
    m_stopping = true;
    SetEvent(m_released);
    if (m_acceptor.joinable())
        m_acceptor.join();
    for (std::thread& connection : m_connections)
        connection.join();
    if (m_listener != INVALID_SOCKET)
        closesocket(m_listener);
    if (m_started)
        WSACleanup();
    CloseHandle(m_released);
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

void KivHttpTestServer::Release()
{
    SetEvent(m_released);
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
}

bool KivHttpTestServer::SendAll(SOCKET connection, const char* data, size_t size)
{
    while (size > 0)
    {
        const int piece = size > 65536 ? 65536 : static_cast<int>(size);
        const int sent = send(connection, data, piece, 0);
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

void KivHttpTestServer::Serve(SOCKET connection)
{
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
            reply = m_reply;
        }
        ++m_requests;
        std::string answer = "HTTP/1.0 " + std::to_string(reply.status) + " " + Reason(reply.status) + "\r\n";
        answer += "Content-Type: text/plain\r\nConnection: close\r\n";
        if (!reply.lengthText.empty())
            answer += "Content-Length: " + reply.lengthText + "\r\n";
        else if (reply.sendLength)
            answer += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
        answer += "\r\n";
        if (reply.stall)
        {
            SendAll(connection, answer.data(), answer.size());
            answer.clear();
            WaitForSingleObject(m_released, kStallLimitMs);
        }
        if (!m_stopping)
        {
            answer += reply.body;
            SendAll(connection, answer.data(), answer.size());
        }
    }
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
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS)
    {
        const DWORD off = 0;
        RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof(off));
        RegDeleteValueW(key, L"ProxyServer");
        RegCloseKey(key);
    }
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
