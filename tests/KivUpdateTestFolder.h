#pragma once
// A throw-away installation folder for the update checker's tests: the
// "config" folder with the update list, and room for the program and its
// "skin" folder. Everything in it goes when the object goes.
#include <windows.h>
#include <string>
#include <vector>
#include "KivTestSupport.h"

namespace kivtest {

class KivUpdateTestFolder
{
public:
    KivUpdateTestFolder()
    {
        CreateDirectoryW(Config().c_str(), nullptr);
        CreateDirectoryW(Skin().c_str(), nullptr);
    }
    ~KivUpdateTestFolder()
    {
        for (const std::wstring& folder : {Config(), Skin()})
        {
            EmptyFolder(folder);
            RemoveDirectoryW(folder.c_str());
        }
    }
    KivUpdateTestFolder(const KivUpdateTestFolder&) = delete;
    KivUpdateTestFolder& operator=(const KivUpdateTestFolder&) = delete;

    const std::wstring& Path() const { return m_dir.Path(); }
    std::wstring Config() const { return m_dir.File(L"config"); }
    std::wstring Skin() const { return m_dir.File(L"skin"); }
    std::wstring ListPath() const { return Config() + L"\\update.txt"; }

    bool WriteList(const std::string& text) const { return WriteFileBytes(ListPath(), text.data(), text.size()); }
    std::string ReadList() const
    {
        const std::vector<unsigned char> bytes = ReadFileBytes(ListPath());
        return std::string(bytes.begin(), bytes.end());
    }
    // Files in the config folder other than the list (left-over temporaries).
    int StrayConfigFiles() const
    {
        int count = 0;
        ForEachFile(Config(), [&](const std::wstring& name) { count += name != L"update.txt"; });
        return count;
    }

private:
    template <typename Visit>
    static void ForEachFile(const std::wstring& folder, Visit visit)
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do
        {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                visit(std::wstring(found.cFileName));
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    static void EmptyFolder(const std::wstring& folder)
    {
        ForEachFile(folder, [&](const std::wstring& name) { DeleteFileW((folder + L"\\" + name).c_str()); });
    }

    TempDir m_dir;
};

}  // namespace kivtest
