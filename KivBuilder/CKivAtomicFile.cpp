#include "CKivAtomicFile.h"
#include <vector>

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
    const DWORD needed = GetFullPathNameW(target.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::vector<wchar_t> full(needed + 1);
    wchar_t* namePart = nullptr;
    if (GetFullPathNameW(target.c_str(), needed + 1, full.data(), &namePart) == 0 || namePart == nullptr)
        return std::wstring();
    const std::wstring folder(full.data(), namePart);
    // GetTempFileNameW creates the file, so two builds never pick the same name.
    wchar_t temp[MAX_PATH];
    if (folder.size() >= MAX_PATH - 14 || GetTempFileNameW(folder.c_str(), L"kiv", 0, temp) == 0)
        return std::wstring();
    return temp;
}
