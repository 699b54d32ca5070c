#pragma once
#include <windows.h>

// One direction of the skin cipher. The provider keeps the CBC chaining value
// between calls until a call with the final flag; only the final call adds
// (encrypt) or removes (decrypt) the PKCS#7 padding.
class IKivCryptTransform
{
public:
    // Transforms length bytes in place and stores the produced length back.
    // The buffer must have room for 16 more bytes when encrypting the final piece.
    virtual BYTE* TransformInPlace(BYTE* buffer, DWORD* length, BOOL final);
    virtual BYTE* Transform(const BYTE* source, DWORD sourceLength,
                            BYTE* destination, DWORD* destinationLength, BOOL final) = 0;
    virtual ~IKivCryptTransform() = default;
};
