#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "KivSkinSwitchIds.h"

// The skins a preview switches between while its windows stay open: the
// skins shipped beside the program, the one named on the command line and
// every .kiv the designer picked, in that order. A switch loads the skin
// through the engine, so every open skinned window takes it at once.
class CKivSkinSwitcher
{
public:
    // current: the skin the program started with (empty: none).
    explicit CKivSkinSwitcher(const std::wstring& current);

    // Loads the skin after the current one, passing over files that no
    // longer load; false when none did.
    bool Next();
    // Asks for a .kiv file and loads it; false when none was picked or it
    // did not load (the designer is told why).
    bool Pick(HWND owner);
    // Loads path and makes it the current skin; it joins the list when new.
    bool Load(const std::wstring& path);

    // While the dialog runs its modal loop, Ctrl+K and Ctrl+Shift+K reach it
    // as the two commands; one dialog at a time. False when the keys cannot
    // be watched.
    bool WatchKeys(HWND dialog);
    void StopKeys();

    const std::wstring& Current() const { return m_current; }
    const std::vector<std::wstring>& Skins() const { return m_skins; }

    CKivSkinSwitcher(const CKivSkinSwitcher&) = delete;
    CKivSkinSwitcher& operator=(const CKivSkinSwitcher&) = delete;
    ~CKivSkinSwitcher();

private:
    static LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam);
    void Remember(const std::wstring& path);
    size_t IndexOf(const std::wstring& path) const;

    std::vector<std::wstring> m_skins;
    std::wstring m_current;
    HWND m_keyTarget = nullptr;
    HACCEL m_keys = nullptr;
    HHOOK m_keyHook = nullptr;
};
