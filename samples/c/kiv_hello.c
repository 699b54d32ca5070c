/* The smallest C host of KivAPI.dll: five calls skin every window this
 * thread creates afterwards, here a frame window and a dialog.
 *
 *   kiv_hello.exe [SKIN.kiv] [--selftest]
 *
 * Without a skin path it loads default.kiv from its own folder. With
 * --selftest it checks that both windows were taken over by the engine
 * (their window procedure was replaced), closes them and exits 0, or 1 when
 * a window stayed unskinned. */
#include <windows.h>
#include <shellapi.h>
#include <wchar.h>
#include "KivAPI.h"

#define SAMPLE_KEEP_SYSTEM_LOOK 1001 /* a control the skin must leave alone */

static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static void DefaultSkinPath(wchar_t* path, DWORD size)
{
    DWORD length = GetModuleFileNameW(NULL, path, size);
    while (length > 0 && path[length - 1] != L'\\')
        --length;
    path[length] = L'\0';
    wcsncat(path, L"default.kiv", size - length - 1);
}

/* The engine subclasses every window it skins. */
static int IsSkinned(HWND window, WNDPROC ownProc)
{
    return window != NULL && (WNDPROC)GetWindowLongPtrW(window, GWLP_WNDPROC) != ownProc;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show)
{
    int argc = 0, selftest = 0, i, result = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t skin[MAX_PATH] = L"";
    WNDCLASSW frameClass = {0};
    HWND frame, dialog;
    WNDPROC dialogProc;
    MSG message;
    (void)previous;
    (void)commandLine;

    for (i = 1; argv != NULL && i < argc; ++i) {
        if (wcscmp(argv[i], L"--selftest") == 0)
            selftest = 1;
        else
            wcsncpy(skin, argv[i], MAX_PATH - 1);
    }
    LocalFree(argv);
    if (skin[0] == L'\0')
        DefaultSkinPath(skin, MAX_PATH);

    /* The five calls, before the first window exists. */
    KivInitialize();
    if (KivLoadSkin(skin)) {
        KivAddFilterForCaption(L"Open");          /* common file dialogs keep the system look */
        KivAddFilterForID(SAMPLE_KEEP_SYSTEM_LOOK);
        KivRun();
    }

    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    frameClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    frameClass.lpszClassName = L"KivHelloFrame";
    RegisterClassW(&frameClass);
    frame = CreateWindowExW(0, L"KivHelloFrame", L"Kiv sample (C)", WS_OVERLAPPEDWINDOW,
                            CW_USEDEFAULT, CW_USEDEFAULT, 480, 320, NULL, NULL, instance, NULL);
    ShowWindow(frame, selftest ? SW_SHOWNORMAL : show);

    /* A modeless dialog of the system dialog class, owned by the frame. */
    dialog = CreateWindowExW(WS_EX_DLGMODALFRAME, L"#32770", L"Kiv sample dialog",
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 120, 120, 300, 160,
                             frame, NULL, instance, NULL);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 190, 90, 80, 24,
                    dialog, (HMENU)IDOK, instance, NULL);

    if (selftest) {
        /* A plain dialog window keeps the default dialog procedure unless skinned. */
        dialogProc = (WNDPROC)GetClassLongPtrW(dialog, GCLP_WNDPROC);
        result = IsSkinned(frame, FrameProc) && IsSkinned(dialog, dialogProc) ? 0 : 1;
        DestroyWindow(dialog);
        DestroyWindow(frame);
    }
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        if (dialog == NULL || !IsWindow(dialog) || !IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return selftest ? result : (int)message.wParam;
}
