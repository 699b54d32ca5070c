/* Stands in for a preview program: records its command line in
   commandline.txt beside itself and ends. */
#include <windows.h>
#include <wchar.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show)
{
    wchar_t path[MAX_PATH];
    const wchar_t* command = GetCommandLineW();
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    HANDLE file;
    DWORD written = 0;
    (void)instance;
    (void)previous;
    (void)line;
    (void)show;
    if (length == 0 || length >= MAX_PATH || slash == NULL || (slash - path) + 17 >= MAX_PATH)
        return 1;
    wcscpy(slash + 1, L"commandline.txt");
    file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    WriteFile(file, command, (DWORD)(wcslen(command) * sizeof(wchar_t)), &written, NULL);
    CloseHandle(file);
    return 0;
}
