#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The local update list "config\update.txt" beside the program: three lines
// of narrow text, each a one-character prefix followed by its value (the
// marker of the installed version, the address of the document to fetch,
// and the marker of the list itself).
class CKivUpdateList
{
public:
    static constexpr size_t kLineCount = 3;
    static constexpr size_t kMaxLine = 260;

    // False, leaving the list empty, unless the first three lines are all
    // there and hold a value after their prefix.
    bool Parse(const char* bytes, size_t size);
    // Reads at most the first 64 KiB of the file.
    bool Load(const std::wstring& path);
    // The list's path under a program folder.
    static std::wstring PathIn(const std::wstring& folder);

    // True when the bytes are exactly a list: three lines that Parse takes
    // and nothing after them but line ends.
    static bool IsWellFormed(const char* bytes, size_t size);
    // True when fetched bytes may take this list's place: exactly a list,
    // none of its lines cut to fit, its address a web address that needs no
    // cutting either, on this list's host unless every step of the fetch
    // went over https.
    bool AcceptsReplacement(const char* bytes, size_t size, bool secure) const;

    const std::wstring& CurrentMarker() const { return m_values[0]; }
    const std::wstring& ListUrl() const { return m_values[1]; }
    const std::wstring& ListMarker() const { return m_values[2]; }

private:
    // Splits at CR, LF or CR LF; the last piece is what follows the last line end.
    static std::vector<std::string> SplitLines(const char* bytes, size_t size, size_t maxLines);

    std::wstring m_values[kLineCount];
};
