// A C++ host that links the skin library statically instead of loading
// KivAPI.dll: the same start-up order through the library's own classes.
//
//   kiv_static_host.exe [SKIN.kiv] [--selftest]
//
// With --selftest it checks that the engine registered its frame window,
// closes it and exits 0, or 1 when the window was left unskinned.
#include <windows.h>
#include <shellapi.h>
#include <string>
#include "CKivEngine.h"
#include "CKivInitialize.h"
#include "CKivSkinStore.h"
#include "CKivWndBox.h"

namespace {

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring DefaultSkinPath()
{
    wchar_t path[MAX_PATH] = L"";
    std::wstring result(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return result.substr(0, result.find_last_of(L'\\') + 1) + L"default.kiv";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bool selftest = false;
    std::wstring skin;
    for (int i = 1; argv && i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--selftest")
            selftest = true;
        else
            skin = argv[i];
    }
    LocalFree(argv);
    if (skin.empty())
        skin = DefaultSkinPath();

    CKivInitialize::Instance();  // GDI+
    CKivEngine& engine = CKivEngine::Instance();
    if (CKivSkinStore::LoadSkin(skin.c_str())) {
        engine.AddCaptionFilter(L"Open");
        engine.Run();
    }

    WNDCLASSW frameClass = {};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frameClass.lpszClassName = L"KivStaticHostFrame";
    RegisterClassW(&frameClass);
    HWND frame = CreateWindowExW(0, frameClass.lpszClassName, L"Kiv sample (C++, static library)",
                                 WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480, 320, nullptr, nullptr,
                                 instance, nullptr);
    ShowWindow(frame, selftest ? SW_SHOWNORMAL : show);

    int result = 0;
    if (selftest) {
        result = engine.Registry().Find(frame) != nullptr ? 0 : 1;
        DestroyWindow(frame);
    }
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return selftest ? result : static_cast<int>(message.wParam);
}
