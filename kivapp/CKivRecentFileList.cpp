#include "CKivRecentFileList.h"
#include "CKivHandle.h"

namespace {
const wchar_t kSection[] = L"\\Recent File List";
}

CKivRecentFileList::CKivRecentFileList(UINT firstId, size_t capacity) : m_firstId(firstId), m_capacity(capacity)
{
}

void CKivRecentFileList::Load(const std::wstring& profileKey)
{
    m_files.clear();
    if (profileKey.empty())
        return;
    CKivRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (profileKey + kSection).c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return;
    for (size_t index = 0; index < m_capacity; ++index)
    {
        wchar_t name[16];
        wsprintfW(name, L"File%u", static_cast<unsigned>(index + 1));
        wchar_t value[MAX_PATH] = {};
        DWORD size = sizeof(value) - sizeof(wchar_t);
        DWORD type = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            continue;
        value[size / sizeof(wchar_t)] = L'\0';  // registry strings need not be terminated
        if (value[0] != L'\0')
            m_files.emplace_back(value);
    }
}

bool CKivRecentFileList::Save(const std::wstring& profileKey) const
{
    if (profileKey.empty())
        return false;
    CKivRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, (profileKey + kSection).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (size_t index = 0; index < m_capacity; ++index)
    {
        wchar_t name[16];
        wsprintfW(name, L"File%u", static_cast<unsigned>(index + 1));
        if (index < m_files.size())
        {
            const std::wstring& path = m_files[index];
            const DWORD bytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
            ok = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()), bytes) ==
                     ERROR_SUCCESS && ok;
        }
        else
        {
            RegDeleteValueW(key, name);
        }
    }
    return ok;
}

void CKivRecentFileList::Add(const std::wstring& path)
{
    if (path.empty() || m_capacity == 0)
        return;
    for (size_t index = 0; index < m_files.size(); ++index)
    {
        if (CompareStringOrdinal(m_files[index].c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL)
        {
            m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(index));
            break;
        }
    }
    m_files.insert(m_files.begin(), path.substr(0, MAX_PATH - 1));
    if (m_files.size() > m_capacity)
        m_files.resize(m_capacity);
}

void CKivRecentFileList::Remove(size_t index)
{
    if (index < m_files.size())
        m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(index));
}

std::wstring CKivRecentFileList::FileForCommand(UINT id) const
{
    if (!IsCommand(id) || id - m_firstId >= m_files.size())
        return std::wstring();
    return m_files[id - m_firstId];
}

void CKivRecentFileList::UpdateMenu(HMENU popup) const
{
    // Find where the entries start: the first item in our command range.
    int position = -1;
    const int count = GetMenuItemCount(popup);
    for (int index = 0; index < count; ++index)
    {
        if (IsCommand(GetMenuItemID(popup, index)))
        {
            position = index;
            break;
        }
    }
    if (position < 0)
        return;
    for (UINT id = m_firstId; id < m_firstId + m_capacity; ++id)
        DeleteMenu(popup, id, MF_BYCOMMAND);
    if (m_files.empty())
    {
        InsertMenuW(popup, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING | MF_GRAYED, m_firstId,
                    L"Recent File");
        return;
    }
    for (size_t index = 0; index < m_files.size(); ++index)
    {
        // Only the file name, and ampersands doubled so they are not taken as mnemonics.
        const std::wstring& path = m_files[index];
        const size_t slash = path.find_last_of(L"\\/");
        std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
        std::wstring label = L"&" + std::to_wstring(index + 1) + L" ";
        for (wchar_t c : name)
        {
            label += c;
            if (c == L'&')
                label += L'&';
        }
        InsertMenuW(popup, static_cast<UINT>(position + static_cast<int>(index)), MF_BYPOSITION | MF_STRING,
                    m_firstId + static_cast<UINT>(index), label.c_str());
    }
}
