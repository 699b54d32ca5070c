#pragma once
#include <windows.h>
#include <wincrypt.h>
#include "IKivCryptTransform.h"

// Encrypting side of the skin cipher (used by the builder only).
class CKivAesEncrypt : public IKivCryptTransform
{
public:
    explicit CKivAesEncrypt(HCRYPTKEY key) : m_key(key) {}
    BYTE* Transform(const BYTE* source, DWORD sourceLength,
                    BYTE* destination, DWORD* destinationLength, BOOL final) override;

private:
    HCRYPTKEY m_key;  // owned by the CKivAes that made this transform
};
