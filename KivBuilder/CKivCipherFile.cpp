#include "CKivCipherFile.h"
#include "CKivAes.h"
#include "CKivFileHandle.h"
#include <cstring>

bool CKivCipherFile::WriteEncrypted(const wchar_t* path, const BYTE* data, size_t size, size_t pieceSize)
{
    if (path == nullptr || (data == nullptr && size != 0) || pieceSize == 0 || pieceSize % 16 != 0)
        return false;
    CKivAes aes;
    if (!CKivAes::InitSkinCipher(aes))
        return false;
    IKivCryptTransform* encryptor = aes.GetEncryptor();
    CKivFileHandle file(CKivFileHandle::OpenWrite(path));
    if (encryptor == nullptr || !file.IsValid())
        return false;
    // An empty payload is still one (padding-only) final piece.
    const size_t pieces = size == 0 ? 1 : (size + pieceSize - 1) / pieceSize;
    std::vector<BYTE> work(pieceSize * 2);
    for (size_t index = 0; index < pieces; ++index)
    {
        const size_t offset = index * pieceSize;
        const bool last = index + 1 == pieces;
        const size_t length = last ? size - offset : pieceSize;
        if (length)
            memcpy(work.data(), data + offset, length);
        DWORD produced = static_cast<DWORD>(length);
        if (encryptor->TransformInPlace(work.data(), &produced, last ? TRUE : FALSE) == nullptr)
            return false;
        if (produced && !file.WriteExact(work.data(), produced))
            return false;
    }
    return true;
}

size_t CKivCipherFile::EncryptInPlace(BYTE* buffer, size_t size, size_t pieceSize)
{
    if (buffer == nullptr || pieceSize == 0 || pieceSize % 16 != 0)
        return 0;
    CKivAes aes;
    if (!CKivAes::InitSkinCipher(aes))
        return 0;
    IKivCryptTransform* encryptor = aes.GetEncryptor();
    if (encryptor == nullptr)
        return 0;
    size_t done = 0;
    size_t produced = 0;
    for (;;)
    {
        const bool last = done + pieceSize >= size;
        DWORD length = static_cast<DWORD>(last ? size - done : pieceSize);
        // Pieces are encrypted where they lie; only the final one grows, and
        // it is the last thing in the buffer.
        if (encryptor->TransformInPlace(buffer + done, &length, last ? TRUE : FALSE) == nullptr)
            return 0;
        produced += length;
        if (last)
            return produced;
        done += pieceSize;
    }
}

bool CKivCipherFile::ReadDecrypted(const wchar_t* path, size_t pieceSize, std::vector<BYTE>* plain)
{
    if (plain == nullptr)
        return false;
    plain->clear();
    if (pieceSize == 0 || pieceSize % 16 != 0)
        return false;
    CKivFileHandle file(CKivFileHandle::OpenRead(path));
    const LONGLONG size = file.Size();
    if (size <= 0 || size > static_cast<LONGLONG>(kMaxReadSize))
        return false;
    std::vector<BYTE> buffer(static_cast<size_t>(size));
    if (!file.ReadExact(buffer.data(), static_cast<DWORD>(size)))
        return false;
    CKivAes aes;
    IKivCryptTransform* decryptor = CKivAes::InitSkinCipher(aes) ? aes.GetDecryptor() : nullptr;
    if (decryptor == nullptr)
        return false;
    size_t done = 0;
    bool whole = false;
    for (size_t position = 0;;)
    {
        const bool last = pieceSize >= buffer.size() - position;
        DWORD length = static_cast<DWORD>(last ? buffer.size() - position : pieceSize);
        if (decryptor->TransformInPlace(buffer.data() + position, &length, last ? TRUE : FALSE) == nullptr)
            break;
        // Plaintext never outgrows its ciphertext, so packing it to the front
        // never overwrites input not yet read.
        if (done != position)
            memmove(buffer.data() + done, buffer.data() + position, length);
        done += length;
        if (last)
        {
            whole = true;
            break;
        }
        position += pieceSize;
    }
    buffer.resize(done);
    plain->swap(buffer);
    return whole;
}
