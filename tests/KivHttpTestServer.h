#pragma once
// A small HTTP server on 127.0.0.1 for the update checker's tests: a free
// port chosen by the system, one thread per connection, a bounded number of
// connections (the listener closes once they are used up, so later attempts
// are refused rather than left waiting), and every reply bounded in time.
// Besides plain answers it plays a hostile server: silent, dripping, flooding
// with headers, redirecting. Everything stops and is joined when it goes.
#include <winsock2.h>
#include <windows.h>
#include "CKivHandle.h"
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kivtest {

class KivHttpTestServer
{
public:
    struct Reply
    {
        int status = 200;
        std::string body;
        // Content-Length: the body's size when true and lengthText is empty;
        // lengthText is sent as it is (a lie, or a huge figure).
        bool sendLength = true;
        std::string lengthText;
        // More header lines, each ending in CR LF (Location, Content-Encoding, ...).
        std::string headers;
        // Sent after the head before the body goes out in full: the reply
        // waits there until Release() or the server stops.
        bool stall = false;
        // Reads the request and never answers.
        bool silent = false;
        // The whole answer (or only its body) one byte at a time, this many
        // milliseconds apart.
        DWORD dripMs = 0;
        bool dripBodyOnly = false;
        // This many bytes of filler header lines before the head ends, sent as
        // fast as the client takes them.
        size_t headerFlood = 0;
    };

    // No reply outlives this bound, whatever it was told to do.
    static constexpr DWORD kReplyLimitMs = 60000;

    explicit KivHttpTestServer(Reply reply, int maxConnections = 8);
    ~KivHttpTestServer();
    KivHttpTestServer(const KivHttpTestServer&) = delete;
    KivHttpTestServer& operator=(const KivHttpTestServer&) = delete;

    bool Listening() const { return m_listening; }
    unsigned short Port() const { return m_port; }
    std::wstring Url(const wchar_t* path = L"/update.txt") const;
    // Requests whose head arrived so far.
    int Requests() const { return m_requests; }
    std::string LastRequestHead() const;
    // Bytes sent so far over all connections.
    unsigned long long SentBytes() const { return m_sent; }
    // The reply to requests from now on (a body may need the server's own address).
    void SetReply(Reply reply);
    // The reply to requests for one path ("/a"), before the general one.
    void SetReply(const std::string& path, Reply reply);
    // A stalled reply goes on with its body.
    void Release();

    // Empties the proxy settings of this process's environment and of the
    // Wine prefix, so that WinINet connects to 127.0.0.1 directly.
    static void ClearProxySettings();
    // A port on 127.0.0.1 that nothing listens on.
    static unsigned short ClosedPort();

private:
    void AcceptLoop();
    void Serve(SOCKET connection);
    void Answer(SOCKET connection, const Reply& reply);
    bool SendAll(SOCKET connection, const char* data, size_t size);
    bool Drip(SOCKET connection, const std::string& data, DWORD gapMs, ULONGLONG end);
    bool Flood(SOCKET connection, size_t size, ULONGLONG end);
    // False once the server stops; otherwise waits up to ms.
    bool Wait(HANDLE event, DWORD ms) const;

    Reply m_reply;
    int m_maxConnections;
    SOCKET m_listener = INVALID_SOCKET;
    bool m_listening = false;
    unsigned short m_port = 0;
    std::atomic<int> m_requests{0};
    std::atomic<unsigned long long> m_sent{0};
    std::atomic<bool> m_stopping{false};
    CKivKernelHandle m_released;
    CKivKernelHandle m_stopped;
    mutable std::mutex m_lock;
    std::string m_lastHead;
    std::map<std::string, Reply> m_paths;
    // Connections being served.
    std::vector<SOCKET> m_open;
    std::vector<std::thread> m_connections;
    std::thread m_acceptor;
    bool m_started = false;
};

}  // namespace kivtest
