// MDI client skin: the MDI messages answer alike skinned and unskinned, the
// area behind the documents is the skin's dialog colour instead of the
// system's workspace, and repainting holds no GDI objects.
#include <doctest.h>
#include "CKivCommonLook.h"
#include "CKivMdiClient.h"
#include "CKivWnd.h"
#include "KivCommonHost.h"
#include "KivTestSupport.h"
#include <string>
#include <vector>

using kivtest::CommonHost;
using kivtest::ScriptStep;

namespace {

const wchar_t* DocumentClass()
{
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefMDIChildProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"KivMdiTestDocument";
        registered = RegisterClassW(&wc) != 0;
    }
    return L"KivMdiTestDocument";
}

struct Workspace
{
    explicit Workspace(bool skinned) : host(skinned)
    {
        CLIENTCREATESTRUCT create = {};
        create.idFirstChild = 900;
        RECT area = {};
        GetClientRect(host.Window(), &area);
        client = host.Control(L"MDICLIENT", WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0, area.right, area.bottom,
                              0xCAC, nullptr, WS_EX_CLIENTEDGE, L"", &create);
        for (const wchar_t* title : {L"first", L"second"})
        {
            MDICREATESTRUCTW document = {};
            document.szClass = DocumentClass();
            document.szTitle = title;
            document.hOwner = GetModuleHandleW(nullptr);
            document.x = document.y = CW_USEDEFAULT;
            document.cx = 160;
            document.cy = 100;
            SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&document));
        }
        kivtest::Settle(host.Window());
    }
    CommonHost host;
    HWND client = nullptr;
};

std::vector<ScriptStep> WorkspaceScript()
{
    auto active = [](HWND client, std::string& out) {
        BOOL maximised = FALSE;
        const HWND child = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximised)));
        wchar_t title[32] = {};
        GetWindowTextW(child, title, 32);
        for (const wchar_t* c = title; *c; ++c)
            out += static_cast<char>(*c);
        out += maximised ? " maximised" : "";
        return static_cast<LRESULT>(child != nullptr);
    };
    return {
        {"WM_MDIGETACTIVE", active},
        {"WM_MDINEXT", kivtest::SendStep(WM_MDINEXT, 0, 0)},
        {"WM_MDIGETACTIVE after next", active},
        {"WM_MDICASCADE", kivtest::SendStep(WM_MDICASCADE, 0, 0)},
        {"WM_MDITILE", kivtest::SendStep(WM_MDITILE, MDITILE_HORIZONTAL, 0)},
        {"WM_MDIICONARRANGE", kivtest::SendStep(WM_MDIICONARRANGE, 0, 0)},
        {"WM_MDIMAXIMIZE", [](HWND client, std::string&) {
             const HWND child = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
             return SendMessageW(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
         }},
        {"WM_MDIGETACTIVE maximised", active},
        {"WM_MDIRESTORE", [](HWND client, std::string&) {
             const HWND child = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
             return SendMessageW(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
         }},
        {"WM_MDIDESTROY", [](HWND client, std::string&) {
             const HWND child = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
             return SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
         }},
        {"WM_MDIGETACTIVE after destroy", active},
        {"GWL_STYLE", [](HWND client, std::string&) { return GetWindowLongPtrW(client, GWL_STYLE); }},
    };
}

}  // namespace

TEST_CASE("MDI client: the MDI messages answer alike skinned and unskinned")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    std::vector<std::string> plays[2];
    for (bool skinned : {false, true})
    {
        Workspace workspace(skinned);
        CHECK((dynamic_cast<CKivMdiClient*>(CKivWnd::FromHandle(workspace.client)) != nullptr) == skinned);
        plays[skinned ? 1 : 0] = kivtest::PlayScript(workspace.client, WorkspaceScript());
    }
    CHECK(plays[0].size() > 5);
    CHECK(kivtest::SamePlay(plays[0], plays[1]));
}

TEST_CASE("MDI client: the skin's dialog colour behind the documents, with both shipped skins")
{
    for (const wchar_t* skin : {L"default.kiv", L"dark.kiv"})
    {
        CAPTURE(std::string(skin, skin + wcslen(skin)));
        REQUIRE(kivtest::LoadShippedSkin(skin));
        {
            Workspace plain(false);
            RECT area = {};
            GetClientRect(plain.client, &area);
            CHECK(kivtest::ScreenPixel(plain.client, area.right - 3, area.bottom - 3) == GetSysColor(COLOR_APPWORKSPACE));
        }
        Workspace skinned(true);
        RECT area = {};
        GetClientRect(skinned.client, &area);
        CHECK(kivtest::ScreenPixel(skinned.client, area.right - 3, area.bottom - 3) ==
              CKivCommonLook::Current().page.colour);
    }
}

TEST_CASE("MDI client: a skinned client repaints without holding GDI objects")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Workspace workspace(true);
    auto repaint = [&] {
        InvalidateRect(workspace.client, nullptr, TRUE);
        kivtest::Settle(workspace.client);
    };
    kivtest::CheckRepaintsHoldNoGdi(repaint, 100);
}
