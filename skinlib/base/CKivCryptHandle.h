#pragma once
#include <windows.h>
#include <wincrypt.h>
#include "CKivHandle.h"

// CryptoAPI providers and keys are both ULONG_PTR; 0 owns nothing.
struct KivCryptProviderTraits
{
    using Handle = HCRYPTPROV;
    static Handle Invalid() { return 0; }
    static void Close(Handle provider) { CryptReleaseContext(provider, 0); }
    static void Owned(Handle) {}
    static void Disowned(Handle) {}
};
struct KivCryptKeyTraits
{
    using Handle = HCRYPTKEY;
    static Handle Invalid() { return 0; }
    static void Close(Handle key) { CryptDestroyKey(key); }
    static void Owned(Handle) {}
    static void Disowned(Handle) {}
};
using CKivCryptProvider = CKivHandle<KivCryptProviderTraits>;
using CKivCryptKey = CKivHandle<KivCryptKeyTraits>;
