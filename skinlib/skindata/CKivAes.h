#pragma once
#include <windows.h>
#include <wincrypt.h>
#include <cstddef>
#include "CKivCryptHandle.h"
#include "IKivCryptTransform.h"

class CKivAesEncrypt;
class CKivAesDecrypt;

// AES-256-CBC through the platform's AES provider. One object serves one
// payload: construct, SetKey, SetIV, take a transform, run it to the final piece.
class CKivAes
{
public:
    CKivAes();
    virtual ~CKivAes();
    CKivAes(const CKivAes&) = delete;
    CKivAes& operator=(const CKivAes&) = delete;

    bool SetKey(const BYTE* key);
    bool SetIV(const BYTE* iv);
    IKivCryptTransform* GetEncryptor();
    IKivCryptTransform* GetDecryptor();

    bool HasProvider() const { return m_provider != 0; }

    // Creates a CKivAes with the skin key and IV already set.
    static bool InitSkinCipher(CKivAes& aes);

    // Decrypts size bytes in place in pieces of pieceSize (a multiple of 16);
    // returns the number of plaintext bytes at the start of the buffer.
    // Stops at the first failed piece, so a damaged section comes out short.
    static size_t DecryptInPlace(IKivCryptTransform* decryptor, BYTE* buffer,
                                 size_t size, size_t pieceSize);
    // The same, true only when every piece, the final one with its padding
    // included, was accepted; *plain gets the plaintext length either way.
    static bool DecryptWholeInPlace(IKivCryptTransform* decryptor, BYTE* buffer, size_t size, size_t pieceSize,
                                    size_t* plain);

private:
#pragma pack(push, 1)
    struct KeyBlob
    {
        BLOBHEADER header;
        DWORD keyLength;
        BYTE key[32];
    };
#pragma pack(pop)

    CKivCryptProvider m_provider;
    CKivCryptKey m_key;  // destroyed before the provider it came from
    KeyBlob m_blob = {};
    BYTE m_iv[16] = {};
    CKivAesEncrypt* m_encryptor = nullptr;
    CKivAesDecrypt* m_decryptor = nullptr;
};
