#pragma once
#include <windows.h>

// Holds GDI+ started for the life of the process.
class CKivInitialize
{
public:
    virtual ~CKivInitialize();

    // Creates the process-wide instance on the first call, starting GDI+.
    static CKivInitialize& Instance();
    static ULONG_PTR Token() { return s_token; }

    // Called from a DLL's detach: GdiplusShutdown waits for GDI+'s own thread,
    // which cannot run while the loader lock is held, so it must be skipped.
    static void SetUnderLoaderLock() { s_underLoaderLock = true; }
    // True from the DLL's detach on: nothing may wait for another thread then.
    static bool UnderLoaderLock() { return s_underLoaderLock; }

private:
    CKivInitialize();
    CKivInitialize(const CKivInitialize&) = delete;
    CKivInitialize& operator=(const CKivInitialize&) = delete;

    static ULONG_PTR s_token;
    static bool s_underLoaderLock;
};
