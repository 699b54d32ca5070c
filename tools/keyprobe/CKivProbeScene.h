#pragma once
#include <windows.h>
#include "CKivHandle.h"

// The windows a key picture is taken of: an active dialog frame with a menu
// bar, an icon and one of every standard control (some checked, mixed or
// disabled, the default push button focused), and an inactive frame beside
// it with the states a program can hold without the mouse. Created after the skin is loaded
// and the hook runs, so the engine skins them; destroyed with the object.
class CKivProbeScene
{
public:
    static const int kWidth = 760;
    static const int kHeight = 380;

    explicit CKivProbeScene(HINSTANCE instance);
    ~CKivProbeScene();
    CKivProbeScene(const CKivProbeScene&) = delete;
    CKivProbeScene& operator=(const CKivProbeScene&) = delete;

    bool IsValid() const { return m_active != nullptr && m_inactive != nullptr; }
    // Repaints everything and waits until the paint messages are handled.
    void Settle() const;
    // The screen area both frames lie in.
    static RECT Area();

private:
    HWND Control(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                 int height, int id = 0);
    HWND ControlIn(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                   int width, int height, int id = 0);
    void AddControls();
    void AddHeldStates();

    HINSTANCE m_instance;
    HWND m_active = nullptr;
    HWND m_inactive = nullptr;
    CKivMenu m_menu;
};
