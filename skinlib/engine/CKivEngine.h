#pragma once
#include <windows.h>
#include <set>
#include <string>
#include <vector>

class CKivWindowsHook;
class CKivWndBox;

// The engine instance: the host's filters and the hook and registry it drives.
class CKivEngine
{
public:
    static CKivEngine& Instance();

    BOOL Run();
    BOOL Stop();
    void AddCaptionFilter(const wchar_t* caption);
    void AddIdFilter(int id);

    const std::vector<std::wstring>& CaptionFilters() const { return m_captionFilters; }
    const std::set<int>& IdFilters() const { return m_idFilters; }
    bool IsIdFiltered(int id) const { return m_idFilters.count(id) != 0; }
    CKivWindowsHook& Hook() { return *m_hook; }
    CKivWndBox& Registry() { return *m_registry; }

private:
    CKivEngine();
    CKivEngine(const CKivEngine&) = delete;
    CKivEngine& operator=(const CKivEngine&) = delete;

    std::vector<std::wstring> m_captionFilters;
    std::set<int> m_idFilters;
    CKivWindowsHook* m_hook;
    CKivWndBox* m_registry;
};
