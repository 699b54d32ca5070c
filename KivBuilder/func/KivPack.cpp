// func\pack.dll: the builder's packaging plug-in.
#include "CKivPackager.h"

extern "C" __declspec(dllexport) int __cdecl KivPack(const KivPackProject* project)
{
    try
    {
        return project != nullptr && CKivPackager::Pack(*project) ? 1 : 0;
    }
    catch (...)
    {
        return 0;
    }
}
