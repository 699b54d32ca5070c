// The skin cipher against AES-256-CBC/PKCS#7 reference bytes (computed once
// with an independent implementation), piece-size independence and padding.
#include <doctest.h>
#include "CKivAes.h"
#include "KivTestSupport.h"
#include <cstring>
#include <vector>

using Bytes = std::vector<unsigned char>;

namespace {

Bytes Pattern(size_t size)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 % 251);
    return bytes;
}

Bytes Decrypt(Bytes cipher, size_t pieceSize)
{
    CKivAes aes;
    REQUIRE(CKivAes::InitSkinCipher(aes));
    const size_t plain = CKivAes::DecryptInPlace(aes.GetDecryptor(), cipher.data(), cipher.size(), pieceSize);
    cipher.resize(plain);
    return cipher;
}

}  // namespace

TEST_CASE("known answers under the skin key and IV")
{
    SUBCASE("one byte")
    {
        const Bytes expected = {0x88, 0x5d, 0xd6, 0x48, 0x42, 0x1e, 0x56, 0x10,
                                0x52, 0x79, 0x1f, 0x3c, 0x95, 0xc3, 0x23, 0x21};
        CHECK(kivtest::EncryptSkinPayload(Bytes{'A'}, 64) == expected);
    }
    SUBCASE("64 bytes get a whole padding block")
    {
        Bytes plain(64);
        for (int i = 0; i < 64; ++i)
            plain[i] = static_cast<unsigned char>(i);
        const Bytes expected = {
            0x3f, 0x3c, 0x7e, 0x4a, 0x06, 0x69, 0x17, 0xd7, 0x21, 0x3e, 0xf9, 0x74, 0x26, 0x20, 0x6f, 0x01,
            0x0d, 0xda, 0x67, 0x71, 0x7b, 0x1d, 0x66, 0x68, 0x29, 0xce, 0x9f, 0x76, 0x34, 0x1b, 0x9e, 0x5c,
            0x40, 0x0d, 0xd4, 0x9e, 0x08, 0x0d, 0xca, 0x0f, 0xb8, 0x5c, 0x9e, 0x42, 0x54, 0x09, 0x03, 0x13,
            0x61, 0xd4, 0xd5, 0x6d, 0x3b, 0x8f, 0x76, 0xc3, 0x66, 0xdd, 0x85, 0xc8, 0x05, 0x7f, 0x0d, 0xeb,
            0xd0, 0xc9, 0xfe, 0xf2, 0xca, 0x34, 0xd1, 0x87, 0xe9, 0xaa, 0xa3, 0xe5, 0x0b, 0xc3, 0x7f, 0x86};
        CHECK(kivtest::EncryptSkinPayload(plain, 64) == expected);
        CHECK(kivtest::EncryptSkinPayload(plain, 4096) == expected);
    }
    SUBCASE("5000 bytes: the last two blocks match whatever the piece size")
    {
        const Bytes tail = {0x75, 0xef, 0x73, 0xa6, 0xdc, 0xf7, 0xf0, 0x05, 0x8e, 0x37, 0x49, 0x4f,
                            0x3f, 0x17, 0x7d, 0xdd, 0x0a, 0x31, 0xc6, 0x93, 0x0c, 0xdd, 0x82, 0x13,
                            0xb7, 0x06, 0x4b, 0xd9, 0x07, 0xfc, 0x24, 0x54};
        for (size_t piece : {size_t(64), size_t(4096)})
        {
            const Bytes cipher = kivtest::EncryptSkinPayload(Pattern(5000), piece);
            REQUIRE(cipher.size() == 5008);
            CHECK(Bytes(cipher.end() - 32, cipher.end()) == tail);
        }
    }
}

TEST_CASE("padding sizes")
{
    CHECK(kivtest::EncryptSkinPayload(Pattern(1), 64).size() == 16);
    CHECK(kivtest::EncryptSkinPayload(Pattern(15), 64).size() == 16);
    CHECK(kivtest::EncryptSkinPayload(Pattern(16), 64).size() == 32);
    CHECK(kivtest::EncryptSkinPayload(Pattern(64), 64).size() == 80);
    CHECK(kivtest::EncryptSkinPayload(Pattern(65), 64).size() == 80);
    CHECK(kivtest::EncryptSkinPayload(Pattern(0), 64).size() == 16);
}

TEST_CASE("piece size does not change the plaintext")
{
    for (size_t size : {size_t(1), size_t(63), size_t(64), size_t(4095), size_t(4096), size_t(4097), size_t(20000)})
    {
        CAPTURE(size);
        const Bytes plain = Pattern(size);
        const Bytes by64 = kivtest::EncryptSkinPayload(plain, 64);
        const Bytes by4096 = kivtest::EncryptSkinPayload(plain, 4096);
        CHECK(by64 == by4096);
        CHECK(Decrypt(by64, 4096) == plain);
        CHECK(Decrypt(by4096, 64) == plain);
    }
}

TEST_CASE("two cipher objects in a row start from the skin IV")
{
    const Bytes plain = Pattern(300);
    CHECK(kivtest::EncryptSkinPayload(plain, 64) == kivtest::EncryptSkinPayload(plain, 64));
}

TEST_CASE("decrypt loop on damaged input stays inside the buffer")
{
    SUBCASE("null buffer or length")
    {
        CKivAes aes;
        REQUIRE(CKivAes::InitSkinCipher(aes));
        DWORD length = 16;
        BYTE block[16] = {};
        CHECK(aes.GetDecryptor()->TransformInPlace(nullptr, &length, TRUE) == nullptr);
        CHECK(aes.GetDecryptor()->TransformInPlace(block, nullptr, TRUE) == nullptr);
    }
    SUBCASE("length not a multiple of 16")
    {
        Bytes cipher = kivtest::EncryptSkinPayload(Pattern(100), 64);
        cipher.resize(cipher.size() - 5);
        // Guard bytes behind the section catch a loop that runs past its end.
        Bytes guarded = cipher;
        guarded.insert(guarded.end(), 64, 0xCD);
        CKivAes aes;
        REQUIRE(CKivAes::InitSkinCipher(aes));
        const size_t plain = CKivAes::DecryptInPlace(aes.GetDecryptor(), guarded.data(), cipher.size(), 64);
        CHECK(plain < 100);
        for (size_t i = cipher.size(); i < guarded.size(); ++i)
            REQUIRE(guarded[i] == 0xCD);
    }
    SUBCASE("wrong padding in the last block")
    {
        Bytes cipher = kivtest::EncryptSkinPayload(Pattern(100), 64);
        cipher.back() ^= 0x55;
        CHECK(Decrypt(cipher, 64).size() < 100);
    }
    SUBCASE("empty section")
    {
        BYTE nothing[1] = {};
        CKivAes aes;
        REQUIRE(CKivAes::InitSkinCipher(aes));
        CHECK(CKivAes::DecryptInPlace(aes.GetDecryptor(), nothing, 0, 64) == 0);
    }
}
