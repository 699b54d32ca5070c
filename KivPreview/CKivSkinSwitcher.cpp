#include "CKivSkinSwitcher.h"
#include "CKivApp.h"
#include "CKivEngine.h"
#include "CKivSkinNotice.h"
#include "CKivResources.h"
#include <commdlg.h>

namespace {

// The switcher whose dialog takes the keys: a message filter hook carries
// no context of its own.
CKivSkinSwitcher* g_keyWatcher = nullptr;

// The full path, so that two spellings of one file count as one skin.
std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return (length > 0 && length < MAX_PATH) ? std::wstring(full) : path;
}

}  // namespace

CKivSkinSwitcher::CKivSkinSwitcher(const std::wstring& current)
{
    const std::wstring folder = CKivApp::ProgramFolder();
    for (const wchar_t* name : {L"default.kiv", L"dark.kiv"})
    {
        const std::wstring path = FullPath(folder + L"\\" + name);
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            Remember(path);
    }
    if (!current.empty())
    {
        m_current = FullPath(current);
        Remember(m_current);
    }
}

CKivSkinSwitcher::~CKivSkinSwitcher()
{
    StopKeys();
}

bool CKivSkinSwitcher::WatchKeys(HWND dialog)
{
    if (g_keyWatcher != nullptr || dialog == nullptr)
        return false;
    m_keys = CKivResources::Accelerators(IDR_SKINSWITCH);
    if (m_keys == nullptr)
        return false;
    m_keyHook = SetWindowsHookExW(WH_MSGFILTER, &CKivSkinSwitcher::KeyFilter, nullptr, GetCurrentThreadId());
    if (m_keyHook == nullptr)
        return false;
    m_keyTarget = dialog;
    g_keyWatcher = this;
    return true;
}

void CKivSkinSwitcher::StopKeys()
{
    if (m_keyHook != nullptr)
        UnhookWindowsHookEx(m_keyHook);
    m_keyHook = nullptr;
    m_keyTarget = nullptr;
    if (g_keyWatcher == this)
        g_keyWatcher = nullptr;
}

LRESULT CALLBACK CKivSkinSwitcher::KeyFilter(int code, WPARAM wParam, LPARAM lParam)
{
    // The dialog box's own loop asks before it hands a message on; keys of
    // the dialog and its controls become the switch commands there.
    MSG* message = reinterpret_cast<MSG*>(lParam);
    CKivSkinSwitcher* self = g_keyWatcher;
    if (code == MSGF_DIALOGBOX && self != nullptr && message != nullptr &&
        (message->hwnd == self->m_keyTarget || IsChild(self->m_keyTarget, message->hwnd)) &&
        TranslateAcceleratorW(self->m_keyTarget, self->m_keys, message))
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

size_t CKivSkinSwitcher::IndexOf(const std::wstring& path) const
{
    for (size_t i = 0; i < m_skins.size(); ++i)
        if (CompareStringOrdinal(m_skins[i].c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL)
            return i;
    return m_skins.size();
}

void CKivSkinSwitcher::Remember(const std::wstring& path)
{
    if (IndexOf(path) == m_skins.size())
        m_skins.push_back(path);
}

bool CKivSkinSwitcher::Load(const std::wstring& path)
{
    const std::wstring full = FullPath(path);
    if (!CKivEngine::Instance().LoadSkin(full.c_str()))
        return false;
    Remember(full);
    m_current = full;
    return true;
}

bool CKivSkinSwitcher::Next()
{
    const size_t count = m_skins.size();
    const size_t current = IndexOf(m_current);
    // Without a current skin the first of the list comes first.
    const size_t start = current < count ? current + 1 : 0;
    for (size_t step = 0; step < count; ++step)
    {
        const size_t index = (start + step) % count;
        if (index != current && Load(m_skins[index]))
            return true;
    }
    return false;
}

bool CKivSkinSwitcher::Pick(HWND owner)
{
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Kiv skin (*.kiv)\0*.kiv\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"kiv";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog))
        return false;
    if (Load(path))
        return true;
    CKivSkinNotice::Show(path, false);
    return false;
}
