#pragma once
#include <windows.h>
#include <string>

// Writes a file through a uniquely named sibling and moves it over the target
// only on Commit, so a failure half-way never damages the file already there.
// An uncommitted sibling is deleted on destruction.
class CKivAtomicFile
{
public:
    explicit CKivAtomicFile(const std::wstring& target);
    ~CKivAtomicFile();
    CKivAtomicFile(const CKivAtomicFile&) = delete;
    CKivAtomicFile& operator=(const CKivAtomicFile&) = delete;

    // Empty when no sibling could be created (missing folder, no rights).
    const std::wstring& TempPath() const { return m_temp; }
    bool Commit();

    // A fresh, empty, uniquely named file in the folder of target; empty on failure.
    static std::wstring CreateSibling(const std::wstring& target);

    // Why target cannot be written, in words a user can act on: it is a
    // folder, its folder does not exist, or the folder takes no new files.
    // Never names the temporary sibling, which the user never sees.
    static std::wstring Problem(const std::wstring& target);
    // Problem() when target is a folder or lies in a folder that does not
    // exist, else empty: what can be known before anything is written.
    static std::wstring Precheck(const std::wstring& target);

private:
    std::wstring m_target;
    std::wstring m_temp;
    bool m_committed = false;
};
