#pragma once
// A top-level test window for the edit, combo, list and scroll bar skins. It
// records the notifications and scroll requests its children send and can
// move a scroll bar as a real parent would. Controls made through Control
// with skinned set are created while the engine's hook runs.
#include <windows.h>
#include <vector>
#include "CKivWnd.h"

namespace kivtest {

// Distinct colours of the settings InstallControlSkin writes.
namespace controlskin {
const COLORREF kEditNormal = RGB(10, 20, 200);
const COLORREF kEditHot = RGB(200, 20, 10);
const COLORREF kEditBackground = RGB(240, 250, 200);
const COLORREF kListBorder = RGB(0, 120, 60);
const COLORREF kListBackground = RGB(250, 240, 220);
const COLORREF kListSelect = RGB(90, 160, 240);
const COLORREF kComboOutline = RGB(120, 0, 120);
const COLORREF kComboButton = RGB(180, 200, 90);
const COLORREF kComboButtonSelect = RGB(60, 140, 30);
const COLORREF kComboListSelect = RGB(230, 120, 40);
const COLORREF kComboListBackground = RGB(245, 245, 255);
const COLORREF kBar = RGB(200, 180, 40);
const COLORREF kBarBorder = RGB(40, 40, 40);
const COLORREF kSlider = RGB(30, 200, 200);
const COLORREF kSliderBorder = RGB(0, 0, 160);
const COLORREF kTrack = RGB(160, 170, 250);
}  // namespace controlskin

// Clears the settings record and fills the edit, list, combo and scroll bar
// groups with the colours above (edit: border on, colour background).
void InstallControlSkin();

struct HostNote
{
    UINT message;  // WM_COMMAND, WM_HSCROLL, WM_VSCROLL or an owner-draw message
    int code;      // notification code or SB_ request
    int id;        // control identifier (WM_COMMAND)
    int position;  // HIWORD position of a scroll request
    int trackPos;  // SIF_TRACKPOS read during SB_THUMBTRACK
};

class ControlHost
{
public:
    explicit ControlHost(bool visible = true, int width = 420, int height = 320);
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    HWND Window() const { return m_window; }
    HWND Control(const wchar_t* className, DWORD style, int x, int y, int width, int height, int id, bool skinned,
                 const wchar_t* text = L"", DWORD exStyle = 0);
    template <typename T>
    static T* Skin(HWND control)
    {
        return dynamic_cast<T*>(CKivWnd::FromHandle(control));
    }

    // Everything heard since the last Clear.
    static std::vector<HostNote>& Notes();
    static void Clear() { Notes().clear(); }
    // Codes of the WM_COMMAND notes of one control, in order.
    static std::vector<int> Commands(int id);
    // Codes of the scroll notes, in order.
    static std::vector<int> ScrollCodes();
    // How many notes of one message arrived.
    static int Count(UINT message);
    // When set, scroll requests move the SCROLLBAR control that sent them
    // (the thumb through the 32-bit track position).
    static bool& FollowScrolls();
    // The brush the host answers WM_CTLCOLORLISTBOX with (0: default).
    static HBRUSH& ListBrush();

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void Follow(HWND bar, int code);
    HWND m_window = nullptr;
};

// A ControlHost whose own procedure is proc (which hands what it leaves to
// HostProc()), with a skin over it as a skinned dialog has; parentSkin may
// be detached to have a plain parent.
class SkinnedControlHost
{
public:
    explicit SkinnedControlHost(WNDPROC proc);
    ~SkinnedControlHost();
    SkinnedControlHost(const SkinnedControlHost&) = delete;
    SkinnedControlHost& operator=(const SkinnedControlHost&) = delete;
    // The host's procedure below proc.
    static WNDPROC HostProc();

    ControlHost host;
    CKivWnd parentSkin;

private:
    static WNDPROC& Below();
};

}  // namespace kivtest
