/* A host as an MSVC tool chain builds it: compiled for the MSVC ABI, linked
 * by an MSVC-style linker (with /SAFESEH on x86, as Visual Studio's Release
 * builds link) against lib\KivAPI.lib and nothing else, no C runtime. It
 * exits 0 when every export answered as KivAPI.h says; otherwise each wrong
 * answer sets one bit of the exit code. */
#include "KivAPI.h"

int WINAPI KivHostEntry(void)
{
    int wrong = 0;
    if (KivInitialize() != 1)
        wrong |= 1;
    if (KivGetClass() != 1)
        wrong |= 2;
    if (KivLoadSkin(L"no such skin.kiv") != FALSE)
        wrong |= 4;
    if (KivRun() == FALSE)
        wrong |= 8;
    if (KivRun() != FALSE)
        wrong |= 16;
    if (KivStop() == FALSE)
        wrong |= 32;
    if (KivStop() != FALSE)
        wrong |= 64;
    KivAddFilterForCaption(L"Open");
    KivAddFilterForID(1001);
    if (KivDotNETApp() == 0)
        wrong |= 128;
    return wrong;
}
