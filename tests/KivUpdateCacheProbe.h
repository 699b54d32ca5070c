#pragma once
// What WinINet's cache holds, seen from a test: the entry of one address,
// and the files under the cache folder of the Wine prefix (the index files
// WinINet keeps for itself not counted).
#include <windows.h>
#include <shlobj.h>
#include <wininet.h>
#include <string>

namespace kivtest {

class KivUpdateCacheProbe
{
public:
    // True when the cache holds an entry for the address.
    static bool HasEntry(const std::wstring& url)
    {
        DWORD size = 0;
        if (GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size))
            return true;
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    }
    // Removes the entry of the address, if any.
    static void Forget(const std::wstring& url) { DeleteUrlCacheEntryW(url.c_str()); }
    // Files under the cache folder.
    static int FileCount()
    {
        wchar_t folder[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_INTERNET_CACHE, nullptr, SHGFP_TYPE_CURRENT, folder)))
            return -1;
        return CountFiles(folder);
    }

private:
    static int CountFiles(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return 0;
        int count = 0;
        do
        {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                count += CountFiles(folder + L"\\" + name);
            else if (lstrcmpiW(name.c_str(), L"index.dat") != 0)
                ++count;
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return count;
    }
};

}  // namespace kivtest
