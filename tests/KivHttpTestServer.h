#pragma once
// A small HTTP server on 127.0.0.1 for the update checker's tests: a free
// port chosen by the system, one thread per connection, a bounded number of
// connections, and everything stopped and joined when the object goes.
#include <winsock2.h>
#include <windows.h>
#include <atomic>
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
        // Sent after the head before the body goes out in full: the reply
        // waits there until Release() or the server stops.
        bool stall = false;
    };

    explicit KivHttpTestServer(Reply reply, int maxConnections = 8);
    ~KivHttpTestServer();
    KivHttpTestServer(const KivHttpTestServer&) = delete;
    KivHttpTestServer& operator=(const KivHttpTestServer&) = delete;

    bool Listening() const { return m_listener != INVALID_SOCKET; }
    unsigned short Port() const { return m_port; }
    std::wstring Url(const wchar_t* path = L"/update.txt") const;
    // Requests whose head arrived so far.
    int Requests() const { return m_requests; }
    std::string LastRequestHead() const;
    // The reply to requests from now on (a body may need the server's own address).
    void SetReply(Reply reply);
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
    static bool SendAll(SOCKET connection, const char* data, size_t size);

    Reply m_reply;
    int m_maxConnections;
    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::atomic<int> m_requests{0};
    std::atomic<bool> m_stopping{false};
    HANDLE m_released;
    mutable std::mutex m_lock;
    std::string m_lastHead;
    std::vector<std::thread> m_connections;
    std::thread m_acceptor;
    bool m_started = false;
};

}  // namespace kivtest
