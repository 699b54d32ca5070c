#define KIVAPI_BUILDING
#include "KivAPI.h"
#include "CKivEngine.h"
#include "CKivInitialize.h"
#include "CKivWndBox.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    // Static destructors run right after this, still under the loader lock.
    if (reason == DLL_PROCESS_DETACH)
        CKivInitialize::SetUnderLoaderLock();
    return TRUE;
}

KIVAPI int WINAPI KivInitialize(void)
{
    CKivInitialize::Instance();
    return 1;
}

KIVAPI BOOL WINAPI KivLoadSkin(const wchar_t* path)
{
    return CKivEngine::Instance().LoadSkin(path);
}

KIVAPI BOOL WINAPI KivRun(void)
{
    return CKivEngine::Instance().Run();
}

KIVAPI BOOL WINAPI KivStop(void)
{
    return CKivEngine::Instance().Stop();
}

KIVAPI int WINAPI KivGetClass(void)
{
    CKivEngine::Instance();
    return 1;
}

KIVAPI void WINAPI KivAddFilterForCaption(const wchar_t* caption)
{
    CKivEngine::Instance().AddCaptionFilter(caption);
}

KIVAPI void WINAPI KivAddFilterForID(int id)
{
    CKivEngine::Instance().AddIdFilter(id);
}

KIVAPI void* WINAPI KivDotNETApp(void)
{
    CKivWndBox& registry = CKivEngine::Instance().Registry();
    registry.SetDotNet(true);
    return &registry;
}

}  // extern "C"
