#include "CKivControlClass.h"
#include <uxtheme.h>

bool CKivControlClass::IsCommonControl(HWND window)
{
    // Version 5 and 6 of the common controls may both be loaded, under one
    // name: what is not the system's own class is theirs.
    const HMODULE owner = reinterpret_cast<HMODULE>(GetClassLongPtrW(window, GCLP_HMODULE));
    return owner != nullptr && owner != GetModuleHandleW(L"user32.dll");
}

bool CKivControlClass::IsThemed(HWND window)
{
    return IsCommonControl(window) && GetWindowTheme(window) != nullptr;
}
