#pragma once
#include <windows.h>

// Owner of a kernel file handle.
class CKivFileHandle
{
public:
    CKivFileHandle() = default;
    explicit CKivFileHandle(HANDLE handle) : m_handle(handle) {}
    ~CKivFileHandle() { Close(); }
    CKivFileHandle(const CKivFileHandle&) = delete;
    CKivFileHandle& operator=(const CKivFileHandle&) = delete;

    // Opens a file for shared binary reading.
    static HANDLE OpenRead(const wchar_t* path)
    {
        return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    // Creates or truncates a file for binary writing.
    static HANDLE OpenWrite(const wchar_t* path)
    {
        return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }
    void Close()
    {
        if (IsValid())
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }
    void Reset(HANDLE handle)
    {
        Close();
        m_handle = handle;
    }
    // Size of the open file, or -1.
    LONGLONG Size() const
    {
        LARGE_INTEGER size;
        return IsValid() && GetFileSizeEx(m_handle, &size) ? size.QuadPart : -1;
    }
    // Reads exactly count bytes; false on a short read.
    bool ReadExact(void* buffer, DWORD count) const
    {
        DWORD got = 0;
        return IsValid() && ReadFile(m_handle, buffer, count, &got, nullptr) && got == count;
    }
    bool WriteExact(const void* buffer, DWORD count) const
    {
        DWORD put = 0;
        return IsValid() && WriteFile(m_handle, buffer, count, &put, nullptr) && put == count;
    }
    bool Seek(LONGLONG offset) const
    {
        LARGE_INTEGER to;
        to.QuadPart = offset;
        return IsValid() && SetFilePointerEx(m_handle, to, nullptr, FILE_BEGIN);
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};
