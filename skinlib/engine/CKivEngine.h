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

    // Loads a skin file; a good one replaces the skin in use and repaints
    // every skinned window with it, a bad one changes nothing (FALSE).
    BOOL LoadSkin(const wchar_t* path);
    // Installs the hook for the calling thread. The registry and its maps
    // belong to one UI thread: while windows of the thread that ran it are
    // still skinned, another thread gets FALSE.
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
    // Stops the hook before the registry, created earlier, is destroyed.
    ~CKivEngine();
    // Keeps this module loaded for the rest of the process: windows keep our
    // procedure in their chains, and a host may free the DLL regardless.
    static void PinModule();
    static void RepaintWindow(HWND window);
    CKivEngine(const CKivEngine&) = delete;
    CKivEngine& operator=(const CKivEngine&) = delete;

    std::vector<std::wstring> m_captionFilters;
    std::set<int> m_idFilters;
    CKivWindowsHook* m_hook;
    CKivWndBox* m_registry;
    DWORD m_uiThread = 0;
};
