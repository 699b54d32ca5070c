#include "CKivRichEditCtrl.h"
#include <richedit.h>
#include "CKivCommonLook.h"
#include "CKivImportPatch.h"

namespace {

// What the control gets for the two window colours while it paints for us.
struct Lent
{
    DWORD thread = 0;
    int depth = 0;
    COLORREF window = 0;
    COLORREF text = 0;
};

Lent& Current()
{
    static Lent lent;
    return lent;
}

DWORD WINAPI SkinnedGetSysColor(int index)
{
    const Lent& lent = Current();
    if (lent.depth > 0 && lent.thread == GetCurrentThreadId())
    {
        if (index == COLOR_WINDOW)
            return lent.window;
        if (index == COLOR_WINDOWTEXT)
            return lent.text;
    }
    return GetSysColor(index);
}

FARPROC SystemGetSysColor()
{
    const HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? GetProcAddress(user, "GetSysColor") : nullptr;
}

HMODULE ModuleOf(const void* address)
{
    HMODULE module = nullptr;
    if (address == nullptr ||
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module))
        return nullptr;
    return module;
}

// Counts one lending of the colours on this thread.
class LendScope
{
public:
    LendScope(COLORREF window, COLORREF text)
    {
        Lent& lent = Current();
        m_outer = lent;
        lent.thread = GetCurrentThreadId();
        lent.window = window;
        lent.text = text;
        ++lent.depth;
    }
    ~LendScope() { Current() = m_outer; }
    LendScope(const LendScope&) = delete;
    LendScope& operator=(const LendScope&) = delete;

private:
    Lent m_outer;
};

}  // namespace

CKivRichEditCtrl::~CKivRichEditCtrl() = default;

LRESULT CKivRichEditCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    switch (message)
    {
    case WM_PAINT:
    case WM_PRINTCLIENT:
    case WM_ERASEBKGND: return PassRecoloured(message, wParam, lParam);
    case EM_SETBKGNDCOLOR: return OnSetBackground(wParam, lParam);
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivRichEditCtrl::OnSetBackground(WPARAM wParam, LPARAM lParam)
{
    m_hostBackground = wParam == 0;
    return CallPrevious(EM_SETBKGNDCOLOR, wParam, lParam);
}

HMODULE CKivRichEditCtrl::DrawingModule()
{
    if (m_moduleKnown)
        return m_module;
    m_moduleKnown = true;
    const FARPROC system = SystemGetSysColor();
    // The class procedure lives in the module that draws the control; the
    // class's own module is the fallback (a class registered for another).
    const HWND window = Window();
    const HMODULE candidates[] = {
        ModuleOf(reinterpret_cast<const void*>(GetClassLongPtrW(window, GCLP_WNDPROC))),
        ModuleOf(reinterpret_cast<const void*>(GetClassLongPtrA(window, GCLP_WNDPROC))),
        reinterpret_cast<HMODULE>(GetClassLongPtrW(window, GCLP_HMODULE)),
    };
    for (HMODULE candidate : candidates)
        if (candidate != nullptr && CKivImportPatch::Imports(candidate, system))
        {
            m_module = candidate;
            break;
        }
    return m_module;
}

bool CKivRichEditCtrl::Recolours()
{
    if (m_hostBackground)
        return false;
    const CKivCommonLook::Surface& document = CKivCommonLook::Current().document;
    if (document.colour == GetSysColor(COLOR_WINDOW) && document.text == GetSysColor(COLOR_WINDOWTEXT))
        return false;
    return DrawingModule() != nullptr;
}

LRESULT CKivRichEditCtrl::PassRecoloured(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!Recolours())
        return CKivWnd::WindowProc(message, wParam, lParam);
    const CKivCommonLook::Surface& document = CKivCommonLook::Current().document;
    LendScope lend(document.colour, document.text);
    CKivImportPatch patch(m_module, SystemGetSysColor(), reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SkinnedGetSysColor)));
    return CallPrevious(message, wParam, lParam);
}
