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
    explicit KivUpdateTestSetup(KivHttpTestServer::Reply reply) : m_server(std::move(reply))
    {
        KivHttpTestServer::ClearProxySettings();
        REQUIRE(m_server.Listening());
        m_list = ListFor(m_server.Url());
        REQUIRE(m_folder.WriteList(m_list));
    }

    KivHttpTestServer& Server() { return m_server; }
    const KivUpdateTestFolder& Folder() const { return m_folder; }
    // The list written at the start.
    const std::string& List() const { return m_list; }

    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
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
