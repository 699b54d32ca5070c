#include "CKivEngine.h"
#include "CKivCaptionWatch.h"
#include "CKivSkinStore.h"
#include "CKivWindowsHook.h"
#include "CKivWnd.h"
#include "CKivWndBox.h"
#include <vector>

CKivEngine::CKivEngine()
    : m_hook(&CKivWindowsHook::CallWindowHook()), m_registry(&CKivWndBox::Instance())
{
}

CKivEngine& CKivEngine::Instance()
{
    static CKivEngine engine;
    return engine;
}

CKivEngine::~CKivEngine()
{
    if (m_hook->IsInstalled())
        m_hook->Uninstall();
}

void CKivEngine::PinModule()
{
    static const int anchor = 0;
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&anchor), &module);
}

BOOL CKivEngine::Run()
{
    const DWORD thread = GetCurrentThreadId();
    if (m_uiThread != 0 && m_uiThread != thread && m_registry->Count() != 0)
        return FALSE;
    if (!m_hook->Install(WH_CALLWNDPROC, &CKivWindowsHook::CallWndProc))
        return FALSE;
    m_uiThread = thread;
    m_registry->ForgetDeadExclusions();
    PinModule();
    return TRUE;
}

BOOL CKivEngine::LoadSkin(const wchar_t* path)
{
    if (!CKivSkinStore::LoadSkin(path))
        return FALSE;
    // Every skinned window first takes what it copied from the new skin (a
    // frame whose borders moved its client area is measured again there);
    // only then is each drawn again, once, so no window shows a mix of the
    // two skins.
    m_registry->TakeNewSkin(CKivSkinStore::Settings());
    std::vector<HWND> windows;
    for (const auto& entry : CKivWnd::SubclassMap())
        windows.push_back(entry.first);
    for (HWND window : windows)
        RepaintWindow(window);
    return TRUE;
}

void CKivEngine::RepaintWindow(HWND window)
{
    // Marked only: the window is drawn by its next WM_PAINT, once, however
    // many of its skin's parts were marked before.
    if (IsWindow(window))
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

BOOL CKivEngine::Stop()
{
    CKivCaptionWatch::Instance().Stop();
    return m_hook->Uninstall();
}

void CKivEngine::AddCaptionFilter(const wchar_t* caption)
{
    if (caption == nullptr)
        return;
    m_captionFilters.emplace_back(caption);
}

void CKivEngine::AddIdFilter(int id)
{
    m_idFilters.insert(id);
}
