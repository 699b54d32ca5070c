#pragma once
// Helpers shared by the test programs.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace kivtest {

// Dispatches every pending message of this thread.
void PumpPending();
// Pumps messages until the condition holds or timeoutMs passes; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// A fresh folder under the temp directory, removed with its files on destruction.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size);
bool WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadFileBytes(const std::wstring& path);

// AES-256-CBC with the skin key and IV, fed in pieces of pieceSize bytes.
std::vector<unsigned char> EncryptSkinPayload(const std::vector<unsigned char>& plain, size_t pieceSize);

// Builds a .kiv image in memory from two plaintext payloads.
std::vector<unsigned char> MakeSkinFile(const std::vector<unsigned char>& settingsXml,
                                        const std::vector<unsigned char>& atlasBmp);

// Folder of the built programs and of the source tree (set by ctest).
std::wstring BinaryDir();
std::wstring SourceDir();

}  // namespace kivtest
