#include "CKivAesEncrypt.h"
#include <cstring>
#include <new>
#include <memory>

BYTE* CKivAesEncrypt::Transform(const BYTE* source, DWORD sourceLength,
                                BYTE* destination, DWORD* destinationLength, BOOL final)
{
    if (source == nullptr || destination == nullptr || destinationLength == nullptr)
        return nullptr;
    if (sourceLength > MAXDWORD - 16)
        return nullptr;
    const DWORD capacity = sourceLength + 16;
    std::unique_ptr<BYTE[]> scratch(new (std::nothrow) BYTE[capacity]);
    if (!scratch)
        return nullptr;
    memcpy(scratch.get(), source, sourceLength);
    DWORD produced = sourceLength;
    if (!CryptEncrypt(m_key, 0, final, 0, scratch.get(), &produced, capacity))
        return nullptr;
    memcpy(destination, scratch.get(), produced);
    *destinationLength = produced;
    return destination;
}
