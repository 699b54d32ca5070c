#include "CKivInitialize.h"
#include <objidl.h>
#include <gdiplus.h>

ULONG_PTR CKivInitialize::s_token = 0;
bool CKivInitialize::s_underLoaderLock = false;

CKivInitialize::CKivInitialize()
{
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread on
    Gdiplus::GdiplusStartup(&s_token, &input, nullptr);
}

CKivInitialize::~CKivInitialize()
{
    if (s_token != 0 && !s_underLoaderLock)
    {
        Gdiplus::GdiplusShutdown(s_token);
        s_token = 0;
    }
}

CKivInitialize& CKivInitialize::Instance()
{
    static CKivInitialize instance;
    return instance;
}
