#include "CKivPlainFile.h"
#include "CKivAtomicFile.h"
#include "CKivCipherFile.h"
#include "CKivFileHandle.h"

bool CKivPlainFile::Read(const std::wstring& path, std::vector<BYTE>* bytes)
{
    CKivFileHandle file(CKivFileHandle::OpenRead(path.c_str()));
    const LONGLONG size = file.Size();
    if (size < 0 || size > static_cast<LONGLONG>(CKivCipherFile::kMaxReadSize))
        return false;
    bytes->assign(static_cast<size_t>(size), 0);
    return size == 0 || file.ReadExact(bytes->data(), static_cast<DWORD>(size));
}

bool CKivPlainFile::Write(const std::wstring& path, const std::vector<BYTE>& bytes)
{
    CKivAtomicFile file(path);
    if (file.TempPath().empty())
        return false;
    {
        CKivFileHandle out(CKivFileHandle::OpenWrite(file.TempPath().c_str()));
        if (!out.WriteExact(bytes.data(), static_cast<DWORD>(bytes.size())))
            return false;
    }
    return file.Commit();
}
