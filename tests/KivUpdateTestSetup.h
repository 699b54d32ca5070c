#pragma once
// One update check's surroundings for the tests: a local server with its
// reply and an installation folder whose update list points at it.
#include <string>
#include "KivHttpTestServer.h"
#include "KivUpdateTestFolder.h"
#include <doctest.h>

namespace kivtest {

class KivUpdateTestSetup
{
public:
    explicit KivUpdateTestSetup(KivHttpTestServer::Reply reply, int maxConnections = 8)
        : m_server(std::move(reply), maxConnections)
    {
        KivHttpTestServer::ClearProxySettings();
        REQUIRE(m_server.Listening());
        m_list = ListFor(m_server.Url());
        REQUIRE(m_folder.WriteList(m_list));
    }

    KivHttpTestServer& Server() { return m_server; }
    const KivUpdateTestFolder& Folder() const { return m_folder; }
    // The list written last.
    const std::string& List() const { return m_list; }
    // Another list in place of the one written at the start.
    bool WriteList(std::string list)
    {
        m_list = std::move(list);
        return m_folder.WriteList(m_list);
    }

    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
    static std::string Utf8(const std::wstring& text)
    {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
        if (size > 0)
            WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
        return bytes;
    }
    // An update list: "@" before each of the three values.
    static std::string ListFor(const std::wstring& url, const char* version = "KivSkin 1.0",
                               const char* marker = "list-7", const char* end = "\r\n")
    {
        return std::string("@") + version + end + "@" + Narrow(url) + end + "@" + marker + end;
    }
    static KivHttpTestServer::Reply Serving(std::string body, int status = 200, bool stall = false)
    {
        KivHttpTestServer::Reply reply;
        reply.status = status;
        reply.body = std::move(body);
        reply.stall = stall;
        return reply;
    }

private:
    KivHttpTestServer m_server;
    KivUpdateTestFolder m_folder;
    std::string m_list;
};

}  // namespace kivtest
