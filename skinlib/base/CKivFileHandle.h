#pragma once
#include <windows.h>
#include "CKivHandle.h"

// Owner of a kernel file handle, with the whole-buffer reads and writes the
// skin file and the builder need. A null handle counts as none too.
class CKivFileHandle : public CKivHandle<KivFileHandleTraits>
{
public:
    CKivFileHandle() = default;
    explicit CKivFileHandle(HANDLE handle) : CKivHandle(Normal(handle)) {}

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

    bool IsValid() const { return Get() != INVALID_HANDLE_VALUE && Get() != nullptr; }
    void Close() { CKivHandle::Reset(); }
    void Reset(HANDLE handle) { CKivHandle::Reset(Normal(handle)); }
    // Size of the open file, or -1.
    LONGLONG Size() const
    {
        LARGE_INTEGER size;
        return IsValid() && GetFileSizeEx(Get(), &size) ? size.QuadPart : -1;
    }
    // Reads exactly count bytes; false on a short read.
    bool ReadExact(void* buffer, DWORD count) const
    {
        DWORD got = 0;
        return IsValid() && ReadFile(Get(), buffer, count, &got, nullptr) && got == count;
    }
    bool WriteExact(const void* buffer, DWORD count) const
    {
        DWORD put = 0;
        return IsValid() && WriteFile(Get(), buffer, count, &put, nullptr) && put == count;
    }
    bool Seek(LONGLONG offset) const
    {
        LARGE_INTEGER to;
        to.QuadPart = offset;
        return IsValid() && SetFilePointerEx(Get(), to, nullptr, FILE_BEGIN);
    }

private:
    static HANDLE Normal(HANDLE handle) { return handle ? handle : INVALID_HANDLE_VALUE; }
};
