#include "CKivAesDecrypt.h"
#include <cstring>
#include <new>
#include <memory>

BYTE* CKivAesDecrypt::Transform(const BYTE* source, DWORD sourceLength,
                                BYTE* destination, DWORD* destinationLength, BOOL final)
{
    if (source == nullptr || destination == nullptr || destinationLength == nullptr)
        return nullptr;
    // CBC decrypts whole blocks only. Refusing other lengths here also keeps
    // Wine's provider from reading before the buffer on an empty final piece.
    if (sourceLength == 0 || sourceLength % 16 != 0)
        return nullptr;
    std::unique_ptr<BYTE[]> scratch(new (std::nothrow) BYTE[sourceLength]);
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
