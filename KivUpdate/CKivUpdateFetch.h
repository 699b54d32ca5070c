#pragma once
#include <windows.h>
#include <wininet.h>
#include <functional>
#include <vector>
#include "CKivWebAddress.h"

// One GET of the update document through WinINet, made to bear a hostile
// server: nothing is written to the cache or the cookie store, no dialog is
// shown, redirects are followed here (at most kMaxRedirects, never from
// https to http, never off the web), replies with more than kMaxHeaderBytes
// of header are refused, and at most kMaxBodyBytes of body are kept.
//
// Run blocks in WinINet until the server lets it go: Wine honours neither
// the send and receive timeouts set on a session nor the closing of a handle
// that a blocked call uses, and takes in as much header as a server sends.
// So it runs in a process of its own (CKivUpdateFetchProcess), which the
// checker ends when its time is up or the fetch holds too much memory.
class CKivUpdateFetch
{
public:
    static constexpr int kMaxRedirects = 5;
    static constexpr size_t kMaxHeaderBytes = 32 * 1024;
    static constexpr size_t kMaxBodyBytes = 64 * 1024;
    static const wchar_t* const kAgentName;

    enum class Result : unsigned char
    {
        kPending,
        kDocument,       // the body is there
        kRequestFailed,  // no connection, no answer, not 200, a refused redirect
        kBadReply,       // empty or oversized body or header
        kReadFailed,     // the body broke off or fell short of its announced size
        kAborted,
    };

    // timeoutMs bounds each connect, send and receive where the platform
    // honours it.
    CKivUpdateFetch(CKivWebAddress address, DWORD timeoutMs);

    // The fetch; onHead hears the announced size (0 when none) once the
    // head has come. secure: every step went over https.
    Result Run(const std::function<void(ULONGLONG)>& onHead, std::vector<char>& body, bool& secure) const;

    // A Content-Length value as a number; false unless it is all digits.
    // Values beyond the 64-bit range read as the largest value.
    static bool ParseContentLength(const wchar_t* text, ULONGLONG& length);

private:
    Result Exchange(const CKivWebAddress& address, HINTERNET session, CKivWebAddress& redirect,
                    const std::function<void(ULONGLONG)>& onHead, std::vector<char>& body) const;

    const CKivWebAddress m_address;
    const DWORD m_timeoutMs;
};
