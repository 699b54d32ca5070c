#include "CKivResources.h"

std::wstring CKivResources::String(UINT id, HINSTANCE module)
{
    // With a zero buffer size LoadStringW hands out a pointer into the
    // read-only resource itself, so no length guess is needed.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(Module(module), id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || text == nullptr)
        return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}

HICON CKivResources::Icon(UINT id, int width, int height, HINSTANCE module)
{
    const UINT flags = LR_SHARED | ((width == 0 && height == 0) ? LR_DEFAULTSIZE : 0);
    return static_cast<HICON>(LoadImageW(Module(module), MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, flags));
}

HICON CKivResources::SmallIcon(UINT id, HINSTANCE module)
{
    return Icon(id, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), module);
}

HMENU CKivResources::Menu(UINT id, HINSTANCE module)
{
    return LoadMenuW(Module(module), MAKEINTRESOURCEW(id));
}

HACCEL CKivResources::Accelerators(UINT id, HINSTANCE module)
{
    return LoadAcceleratorsW(Module(module), MAKEINTRESOURCEW(id));
}
