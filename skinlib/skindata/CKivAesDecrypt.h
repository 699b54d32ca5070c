#pragma once
#include <windows.h>
#include <wincrypt.h>
#include "IKivCryptTransform.h"

// Decrypting side of the skin cipher.
class CKivAesDecrypt : public IKivCryptTransform
{
public:
    explicit CKivAesDecrypt(HCRYPTKEY key) : m_key(key) {}
    BYTE* Transform(const BYTE* source, DWORD sourceLength,
                    BYTE* destination, DWORD* destinationLength, BOOL final) override;

private:
    HCRYPTKEY m_key;  // owned by the CKivAes that made this transform
};
