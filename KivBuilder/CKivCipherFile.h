#pragma once
#include <windows.h>
#include <cstddef>
#include <vector>

// Files encrypted whole with the skin cipher: the settings document, the atlas,
// the project file. Each call uses a fresh cipher, so every payload starts
// from the skin IV.
class CKivCipherFile
{
public:
    enum : size_t
    {
        kDocumentPiece = 64,
        kAtlasPiece = 4096,
        // Larger inputs are refused when reading, so a hostile file cannot
        // make the reader allocate without bound.
        kMaxReadSize = 64 * 1024 * 1024,
    };

    // Encrypts size bytes in pieces of pieceSize (a multiple of 16) and writes
    // the result to path (created or truncated). False when any piece fails
    // or the write falls short; the file is then incomplete.
    static bool WriteEncrypted(const wchar_t* path, const BYTE* data, size_t size, size_t pieceSize);

    // Encrypts in place; buffer must hold size + 16 bytes. Returns the
    // encrypted length, or 0 when a piece failed.
    static size_t EncryptInPlace(BYTE* buffer, size_t size, size_t pieceSize);

    // Reads and decrypts a whole file. A damaged file decrypts up to the first
    // failing piece; the result then reports false with what was recovered.
    static bool ReadDecrypted(const wchar_t* path, size_t pieceSize, std::vector<BYTE>* plain);
};
