#include "CKivProjectPath.h"
#include <cwchar>
#include <vector>
#include "KivSkinFile.h"

std::wstring CKivProjectPath::Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

std::wstring CKivProjectPath::FullPath(const wchar_t* path)
{
    const DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::vector<wchar_t> full(needed + 1);
    const DWORD written = GetFullPathNameW(path, needed + 1, full.data(), nullptr);
    return written == 0 || written > needed ? std::wstring() : std::wstring(full.data(), written);
}

std::wstring CKivProjectPath::Set(const wchar_t* folder, const wchar_t* name)
{
    if (folder == nullptr || name == nullptr || *folder == 0 || *name == 0)
        return L"the project needs a folder and a name";
    std::wstring full = FullPath(folder);
    if (full.empty())
        return L"cannot use the folder " + Quoted(folder);
    if (full.back() != L'\\')
        full += L'\\';
    if (full.size() >= kMaxPath || wcslen(name) >= kMaxPath)
        return L"the project path is longer than 259 characters";
    m_folder = full;
    m_name = name;
    m_file = m_folder + m_name + L".kivproj";
    return std::wstring();
}

std::wstring CKivProjectPath::SetFromFile(const wchar_t* path)
{
    if (path == nullptr || *path == 0)
        return L"no project file given";
    const std::wstring full = FullPath(path);
    const size_t slash = full.find_last_of(L'\\');
    if (full.empty() || slash == std::wstring::npos || slash + 1 == full.size())
        return L"cannot use the project file " + Quoted(path);
    const std::wstring file = full.substr(slash + 1);
    return Set(full.substr(0, slash + 1).c_str(), file.substr(0, file.find(L'.')).c_str());
}

std::wstring CKivProjectPath::FilePath(const wchar_t* extension) const
{
    if (m_folder.empty() || m_name.empty())
        return std::wstring();
    const std::wstring path = m_folder + m_name + L"." + extension;
    return path.size() < kMaxPath ? path : std::wstring();
}

std::wstring CKivProjectPath::InFolder(const std::wstring& stored) const
{
    // A relative path may start with a backslash, as kivtool import writes them.
    const size_t start = stored.find_first_not_of(L"\\/");
    return m_folder + (start == std::wstring::npos ? std::wstring() : stored.substr(start));
}

std::wstring CKivProjectPath::ResolvePicture(const std::wstring& stored) const
{
    if (stored.empty())
        return std::wstring();
    const std::wstring path = IsAbsolute(stored) ? stored : InFolder(stored);
    return kiv::KivFileExists(path.c_str()) ? path : std::wstring();
}

bool CKivProjectPath::IsAbsolute(const std::wstring& stored)
{
    return (stored.size() > 1 && stored[1] == L':') || (stored.size() > 1 && stored[0] == L'\\' && stored[1] == L'\\');
}
