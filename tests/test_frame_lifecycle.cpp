// A skinned frame as real programs create and restyle it: the host's window
// procedure sees the same size and position messages during CreateWindowEx
// as without the skin; a style change at run time takes or gives back the
// skin's caption and border; a minimised frame and a dialog with only a big
// icon look right.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivFrameWnd.h"
#include "CKivSkinStore.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <string>
#include <vector>

namespace skin = kivtest::skin;

namespace {

struct Heard
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// What the host procedure heard while its CreateWindowEx ran, and after.
struct HostEars
{
    bool creating = false;
    std::vector<Heard> duringCreate;
    std::vector<Heard> afterCreate;
};

HostEars& Ears()
{
    static HostEars ears;
    return ears;
}

bool IsPlacement(UINT message)
{
    return message == WM_SIZE || message == WM_MOVE || message == WM_WINDOWPOSCHANGING ||
           message == WM_WINDOWPOSCHANGED;
}

LRESULT CALLBACK RecordingHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsPlacement(message))
        (Ears().creating ? Ears().duringCreate : Ears().afterCreate).push_back(Heard{message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* HostClass()
{
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSW w = {};
        w.lpfnWndProc = &RecordingHost;
        w.hInstance = GetModuleHandleW(nullptr);
        w.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        w.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        w.lpszClassName = L"KivLifecycleHost";
        RegisterClassW(&w);
        registered = true;
    }
    return L"KivLifecycleHost";
}

HWND CreateRecorded(DWORD style, bool skinned)
{
    Ears() = HostEars();
    if (skinned)
        CKivEngine::Instance().Run();
    Ears().creating = true;
    HWND window = CreateWindowExW(0, HostClass(), L"Kiv lifecycle", style, 90, 70, 320, 240, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    Ears().creating = false;
    if (skinned)
        CKivEngine::Instance().Stop();
    return window;
}

std::string Names(const std::vector<Heard>& heard)
{
    std::string names;
    for (const Heard& h : heard)
    {
        switch (h.message)
        {
        case WM_SIZE: names += "WM_SIZE(" + std::to_string(LOWORD(h.lParam)) + "x" + std::to_string(HIWORD(h.lParam)) + ") "; break;
        case WM_MOVE: names += "WM_MOVE "; break;
        case WM_WINDOWPOSCHANGING: names += "WM_WINDOWPOSCHANGING "; break;
        case WM_WINDOWPOSCHANGED: names += "WM_WINDOWPOSCHANGED "; break;
        default: names += std::to_string(h.message) + " "; break;
        }
    }
    return names;
}

SIZE ClientSize(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

}  // namespace

TEST_CASE("the host hears the same placement messages during CreateWindowEx as without the skin")
{
    skin::Install();
    const DWORD styles[] = {WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU};
    for (DWORD style : styles)
    {
        CAPTURE(style);
        HWND plain = CreateRecorded(style, false);
        REQUIRE(plain != nullptr);
        const HostEars unskinned = Ears();
        const SIZE plainClient = ClientSize(plain);
        HWND window = CreateRecorded(style, true);
        REQUIRE(window != nullptr);
        const HostEars skinned = Ears();
        REQUIRE(dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(window)) != nullptr);
        // The skin keeps the client area the host asked for.
        CHECK(ClientSize(window).cx == plainClient.cx);
        CHECK(ClientSize(window).cy == plainClient.cy);
        CHECK(Names(skinned.duringCreate) == Names(unskinned.duringCreate));

        // A window created hidden hears its first size when it is shown, as without the skin.
        Ears().afterCreate.clear();
        ShowWindow(window, SW_SHOWNOACTIVATE);
        const std::vector<Heard> shownSkinned = Ears().afterCreate;
        Ears().afterCreate.clear();
        ShowWindow(plain, SW_SHOWNOACTIVATE);
        const std::vector<Heard> shownPlain = Ears().afterCreate;
        CHECK(Names(shownSkinned) == Names(shownPlain));
        DestroyWindow(window);
        DestroyWindow(plain);
        kivtest::PumpPending();
    }
}
