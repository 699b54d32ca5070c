#include "CKivAesDecrypt.h"
#include <cstring>
#include <new>
#include <memory>

BYTE* CKivAesDecrypt::Transform(const BYTE* source, DWORD sourceLength,
                                BYTE* destination, DWORD* destinationLength, BOOL final)
{
    if (source == nullptr || destination == nullptr || destinationLength == nullptr)
        return nullptr;
    std::unique_ptr<BYTE[]> scratch(new (std::nothrow) BYTE[sourceLength ? sourceLength : 1]);
    if (!scratch)
        return nullptr;
    memcpy(scratch.get(), source, sourceLength);
    DWORD produced = sourceLength;
    if (!CryptDecrypt(m_key, 0, final, 0, scratch.get(), &produced))
        return nullptr;
    if (produced > sourceLength)
        return nullptr;
    memcpy(destination, scratch.get(), produced);
    *destinationLength = produced;
    return destination;
}
