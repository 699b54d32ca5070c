#include "CKivAtomicFile.h"
#include "CKivFileHandle.h"
#include <vector>

namespace {

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

DWORD Attributes(const std::wstring& path)
{
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
}

// The full path of target split into its folder (with the trailing
// separator) and the name behind it; false when it has no name part.
bool Split(const std::wstring& target, std::wstring* folder, std::wstring* name)
{
    const DWORD needed = GetFullPathNameW(target.c_str(), 0, nullptr, nullptr);
    if (target.empty() || needed == 0)
        return false;
    std::vector<wchar_t> full(needed + 1);
    wchar_t* namePart = nullptr;
    if (GetFullPathNameW(target.c_str(), needed + 1, full.data(), &namePart) == 0 || namePart == nullptr)
        return false;
    *folder = std::wstring(full.data(), namePart);
    *name = namePart;
    return true;
}

// A folder as the user names it: without the trailing separator, except
// for a drive's root.
std::wstring Shown(std::wstring folder)
{
    if (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return folder;
}

}  // namespace

CKivAtomicFile::CKivAtomicFile(const std::wstring& target)
    : m_target(target), m_temp(CreateSibling(target))
{
}

CKivAtomicFile::~CKivAtomicFile()
{
    if (!m_committed && !m_temp.empty())
        DeleteFileW(m_temp.c_str());
}

bool CKivAtomicFile::Commit()
{
    if (m_temp.empty() || m_committed)
        return false;
    if (!MoveFileExW(m_temp.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    m_committed = true;
    return true;
}

std::wstring CKivAtomicFile::CreateSibling(const std::wstring& target)
{
    std::wstring folder;
    std::wstring name;
    if (!Split(target, &folder, &name))
        return std::wstring();
    // GetTempFileNameW creates the file, so two builds never pick the same name.
    wchar_t temp[MAX_PATH];
    if (folder.size() >= MAX_PATH - 14 || GetTempFileNameW(folder.c_str(), L"kiv", 0, temp) == 0)
        return std::wstring();
    return temp;
}

std::wstring CKivAtomicFile::Precheck(const std::wstring& target)
{
    const DWORD attributes = Attributes(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Quoted(target) + L" is a folder, not a file";
    std::wstring folder;
    std::wstring name;
    if (!Split(target, &folder, &name))
        return Quoted(target) + L" is not a file name";
    const DWORD folderAttributes = Attributes(folder);
    if (folderAttributes == INVALID_FILE_ATTRIBUTES || !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return L"the folder " + Quoted(Shown(folder)) + L" does not exist";
    return std::wstring();
}

std::wstring CKivAtomicFile::Problem(const std::wstring& target)
{
    const std::wstring early = Precheck(target);
    if (!early.empty())
        return early;
    std::wstring folder;
    std::wstring name;
    Split(target, &folder, &name);
    const DWORD attributes = Attributes(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return Quoted(target) + L" is read-only";
    if (attributes != INVALID_FILE_ATTRIBUTES)
    {
        // The file is there but will not open for writing while shared.
        const CKivFileHandle probe(CreateFileW(target.c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = probe.IsValid() ? ERROR_SUCCESS : GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            return Quoted(target) + L" is in use by another program";
    }
    return L"cannot write into the folder " + Quoted(Shown(folder));
}
