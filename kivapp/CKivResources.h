#pragma once
#include <windows.h>
#include <string>

// Reads the program's own resources. Every call takes the module to read from;
// null means the program file.
class CKivResources
{
public:
    // The string, or an empty one when the resource is missing.
    static std::wstring String(UINT id, HINSTANCE module = nullptr);
    // Shared icon at the requested size (0, 0 = the system's large icon size).
    // Shared icons belong to the system: never destroy them.
    static HICON Icon(UINT id, int width = 0, int height = 0, HINSTANCE module = nullptr);
    static HICON SmallIcon(UINT id, HINSTANCE module = nullptr);
    // The caller owns the menu (DestroyMenu) unless it hands it to a window.
    static HMENU Menu(UINT id, HINSTANCE module = nullptr);
    // Accelerator tables are freed with the module.
    static HACCEL Accelerators(UINT id, HINSTANCE module = nullptr);

    static HINSTANCE Module(HINSTANCE module) { return module ? module : GetModuleHandleW(nullptr); }
};
