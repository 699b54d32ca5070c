// Entry point of kivtool.exe; the commands live in CKivTool.
#include "CKivTool.h"
#include <objbase.h>
#include <shellapi.h>

int main()
{
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; argv && i < count; ++i)
        arguments.push_back(argv[i]);
    LocalFree(argv);
    // XmlLite and the memory streams are COM objects.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int code = 1;
    {
        CKivTool tool;
        code = tool.Run(arguments);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return code;
}
