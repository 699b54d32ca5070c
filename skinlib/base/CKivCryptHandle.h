#pragma once
#include <windows.h>
#include <wincrypt.h>
#include "CKivHandle.h"

// CryptoAPI providers and keys are both ULONG_PTR; 0 owns nothing.
struct KivCryptProviderTraits : KivHandleTraitsBase<HCRYPTPROV>
{
    static Handle Invalid() { return 0; }
    static void Close(Handle provider) { CryptReleaseContext(provider, 0); }
};
struct KivCryptKeyTraits : KivHandleTraitsBase<HCRYPTKEY>
{
    static Handle Invalid() { return 0; }
    static void Close(Handle key) { CryptDestroyKey(key); }
};
using CKivCryptProvider = CKivHandle<KivCryptProviderTraits>;
using CKivCryptKey = CKivHandle<KivCryptKeyTraits>;
