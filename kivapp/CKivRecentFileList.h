#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The most recently used files, newest first, kept under
// "<profile key>\Recent File List" as File1..FileN and shown as numbered
// entries in a menu in place of the item firstId.
class CKivRecentFileList
{
public:
    CKivRecentFileList(UINT firstId, size_t capacity);

    void Load(const std::wstring& profileKey);
    bool Save(const std::wstring& profileKey) const;

    // Moves an existing entry to the top (paths compare without case).
    void Add(const std::wstring& path);
    void Remove(size_t index);
    const std::vector<std::wstring>& Files() const { return m_files; }
    // The path of a menu command, or empty.
    std::wstring FileForCommand(UINT id) const;

    // Rewrites the entries in the popup that holds firstId (or held it before).
    // With no files a single greyed "Recent File" item remains.
    void UpdateMenu(HMENU popup) const;
    bool IsCommand(UINT id) const { return id >= m_firstId && id < m_firstId + m_capacity; }

private:
    UINT m_firstId;
    size_t m_capacity;
    std::vector<std::wstring> m_files;
};
