// Linked into every peer test program: when KIV_CONFORMANCE_SKIN names a
// skin file, the engine is started on the main thread before main runs, the
// way a host starts it before its first window (KivInitialize, KivLoadSkin,
// KivRun). Without the variable nothing of the engine is loaded, so the plain
// run is the peer's test alone.
//
// KivAPI.dll is loaded from the program's own folder. A skin that cannot be
// loaded ends the program with exit code 3 and a message: a skinned run that
// silently ran plain would make every comparison pass.
#include <windows.h>
#include <cstdio>
#include <cstdlib>

namespace {

using InitializeFn = int(WINAPI*)();
using LoadSkinFn = BOOL(WINAPI*)(const wchar_t*);
using RunFn = BOOL(WINAPI*)();

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stdout, "kiv-conformance: %s\n", what);
    std::fflush(stdout);
    ExitProcess(3);
}

template <typename T>
T Export(HMODULE module, const char* name)
{
    FARPROC proc = GetProcAddress(module, name);
    if (!proc)
        Fail("KivAPI.dll lacks an export");
    return reinterpret_cast<T>(reinterpret_cast<void*>(proc));
}

HMODULE LoadEngine()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        Fail("the program's own path is unknown");
    wchar_t* slash = wcsrchr(path, L'\\');
    if (!slash || (slash - path) + 12 >= MAX_PATH)
        Fail("the program's own path is unknown");
    wcscpy(slash + 1, L"KivAPI.dll");
    HMODULE module = LoadLibraryW(path);
    if (!module)
        Fail("KivAPI.dll could not be loaded from the program's folder");
    return module;
}

struct SkinnedStart
{
    SkinnedStart()
    {
        wchar_t skin[MAX_PATH];
        DWORD length = GetEnvironmentVariableW(L"KIV_CONFORMANCE_SKIN", skin, MAX_PATH);
        if (length == 0)
            return;
        if (length >= MAX_PATH)
            Fail("KIV_CONFORMANCE_SKIN is too long");
        HMODULE engine = LoadEngine();
        Export<InitializeFn>(engine, "KivInitialize")();
        if (!Export<LoadSkinFn>(engine, "KivLoadSkin")(skin))
            Fail("the skin named by KIV_CONFORMANCE_SKIN could not be loaded");
        if (!Export<RunFn>(engine, "KivRun")())
            Fail("KivRun refused to start");
    }
};

const SkinnedStart start;

}  // namespace
