#include "CKivAes.h"
#include "CKivAesDecrypt.h"
#include "CKivAesEncrypt.h"
#include "KivSkinKey.h"
#include <cstring>
#include <new>

namespace {
const wchar_t kProviderName[] = L"Microsoft Enhanced RSA and AES Cryptographic Provider";
const wchar_t kContainerName[] = L"KivAesProvider";
const DWORD kProviderType = 24;  // PROV_RSA_AES
}

static_assert(sizeof(BLOBHEADER) == 8, "CryptoAPI blob header is 8 bytes");

CKivAes::CKivAes()
{
    if (!CryptAcquireContextW(m_provider.Receive(), nullptr, kProviderName, kProviderType, 0) &&
        !CryptAcquireContextW(m_provider.Receive(), kContainerName, nullptr, kProviderType, 0) &&
        !CryptAcquireContextW(m_provider.Receive(), kContainerName, nullptr, kProviderType, CRYPT_NEWKEYSET))
    {
        m_provider.Release();  // whatever a failed call left there is no provider
        return;
    }
    m_blob.header.bType = PLAINTEXTKEYBLOB;
    m_blob.header.bVersion = CUR_BLOB_VERSION;
    m_blob.header.reserved = 0;
    m_blob.header.aiKeyAlg = CALG_AES_256;
    m_blob.keyLength = 32;

    // A random key and IV give the object a usable state until the caller
    // installs the real ones.
    BYTE random[32];
    if (CryptGenRandom(m_provider, sizeof(random), random))
        SetKey(random);
    if (CryptGenRandom(m_provider, 16, random))
        SetIV(random);
    SecureZeroMemory(random, sizeof(random));
}

CKivAes::~CKivAes()
{
    delete m_encryptor;
    delete m_decryptor;
    m_key.Reset();
    m_provider.Reset();
    SecureZeroMemory(&m_blob, sizeof(m_blob));
}

bool CKivAes::SetKey(const BYTE* key)
{
    if (key == nullptr)
        return false;
    memcpy(m_blob.key, key, sizeof(m_blob.key));
    m_key.Reset();
    if (!m_provider)
        return false;
    HCRYPTKEY imported = 0;
    if (!CryptImportKey(m_provider, reinterpret_cast<const BYTE*>(&m_blob), sizeof(m_blob), 0,
                        CRYPT_EXPORTABLE, &imported))
        return false;
    m_key.Reset(imported);
    const DWORD mode = CRYPT_MODE_CBC;
    return CryptSetKeyParam(m_key, KP_MODE, reinterpret_cast<const BYTE*>(&mode), 0) != FALSE;
}

bool CKivAes::SetIV(const BYTE* iv)
{
    if (iv == nullptr)
        return false;
    memcpy(m_iv, iv, sizeof(m_iv));
    if (!m_key)
        return false;
    return CryptSetKeyParam(m_key, KP_IV, m_iv, 0) != FALSE;
}

IKivCryptTransform* CKivAes::GetEncryptor()
{
    if (!m_encryptor)
        m_encryptor = new (std::nothrow) CKivAesEncrypt(m_key);
    return m_encryptor;
}

IKivCryptTransform* CKivAes::GetDecryptor()
{
    if (!m_decryptor)
        m_decryptor = new (std::nothrow) CKivAesDecrypt(m_key);
    return m_decryptor;
}

bool CKivAes::InitSkinCipher(CKivAes& aes)
{
    return aes.SetKey(kKivSkinKey) && aes.SetIV(kKivSkinIV);
}

size_t CKivAes::DecryptInPlace(IKivCryptTransform* decryptor, BYTE* buffer,
                               size_t size, size_t pieceSize)
{
    size_t plain = 0;
    DecryptWholeInPlace(decryptor, buffer, size, pieceSize, &plain);
    return plain;
}

bool CKivAes::DecryptWholeInPlace(IKivCryptTransform* decryptor, BYTE* buffer, size_t size, size_t pieceSize,
                                  size_t* plain)
{
    *plain = 0;
    if (decryptor == nullptr || buffer == nullptr || pieceSize == 0 || pieceSize > MAXDWORD)
        return false;
    size_t done = 0;
    size_t position = 0;
    bool whole = false;
    for (;;)
    {
        const bool last = pieceSize >= size - position;
        DWORD length = static_cast<DWORD>(last ? size - position : pieceSize);
        // Plaintext is never longer than ciphertext, so the produced bytes are
        // packed at the front of the buffer without overlapping unread input.
        if (decryptor->TransformInPlace(buffer + position, &length, last) == nullptr)
            break;
        if (done != position)
            memmove(buffer + done, buffer + position, length);
        done += length;
        if (last)
        {
            whole = true;
            break;
        }
        position += pieceSize;
    }
    *plain = done;
    return whole;
}
