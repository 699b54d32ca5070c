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

// Registers a window class of this module with that procedure, arrow cursor
// and background, unless it exists already; the class name.
const wchar_t* RegisterTestClass(const wchar_t* name, WNDPROC proc,
                                 HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));

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

// A bottom-up 32-bpp BMP file image whose pixel bytes are byteAt(index).
std::vector<unsigned char> Bmp32(int width, int height, const std::function<unsigned char(size_t)>& byteAt);

// A 32-bpp BMP file image of pixels given top row first (0x00RRGGBB each).
std::vector<unsigned char> Bmp32FromRows(int width, int height, const std::vector<DWORD>& topDownPixels);

// A settings document that sets every key of the schema, each in its own
// group and element; attributes(index, isRect) gives the leaf's attribute text
// (for example value="3" or left="0" top="0" right="8" bottom="8").
std::string SchemaDocument(const std::function<std::string(size_t index, bool isRect)>& attributes);

// Folder of the built programs and of the source tree (set by ctest).
std::wstring BinaryDir();
std::wstring SourceDir();

// A program of Wine's own: most live in the system folder, regedit in the Windows
// folder, wordpad with the accessories under the program files.
std::wstring SystemProgram(const wchar_t* name);

}  // namespace kivtest
