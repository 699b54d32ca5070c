#pragma once
#include <windows.h>
#include <uxtheme.h>
#include "CKivHandle.h"

// OpenThemeData / CloseThemeData.
struct KivThemeTraits : KivHandleTraitsBase<HTHEME>
{
    static void Close(Handle theme) { CloseThemeData(theme); }
};
using CKivThemeHandle = CKivHandle<KivThemeTraits>;
