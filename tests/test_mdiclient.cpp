// MDI client skin: the MDI messages answer alike skinned and unskinned, the
// area behind the documents is the skin's dialog colour instead of the
// system's workspace, and repainting holds no GDI objects. The documents'
// frames and captions are the skin's, active as the client says, and a
// maximised document fills the client as it does unskinned.
#include <doctest.h>
#include "CKivCommonLook.h"
#include "CKivFrameWnd.h"
#include "CKivEngine.h"
#include "CKivMdiClient.h"
#include "CKivWnd.h"
#include "KivCommonHost.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <string>
#include <vector>

using kivtest::CommonHost;
using kivtest::ScriptStep;

namespace {

const wchar_t* DocumentClass()
{
    return kivtest::RegisterTestClass(L"KivMdiTestDocument", DefMDIChildProcW,
                                      static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

struct Workspace
{
    // skinnedDocuments: the documents are made while the engine's hook runs.
    explicit Workspace(bool skinned, bool skinnedDocuments = false) : host(skinned)
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
            if (skinnedDocuments)
                CKivEngine::Instance().Run();
            documents.push_back(
                reinterpret_cast<HWND>(SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&document))));
            if (skinnedDocuments)
                CKivEngine::Instance().Stop();
        }
        kivtest::Settle(host.Window());
    }
    CommonHost host;
    HWND client = nullptr;
    std::vector<HWND> documents;
};

HWND ActiveDocument(HWND client)
{
    return reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
}

CKivFrameWnd* FrameOf(HWND document)
{
    return dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(document));
}

// A point of a document's caption, in window coordinates, clear of the icon
// and the buttons.
POINT CaptionPoint(CKivFrameWnd& frame)
{
    const RECT& caption = frame.Metrics()->captionRect;
    return POINT{(caption.left + caption.right) / 2, caption.top + 2};
}

// What the screen shows at a window point of a document.
COLORREF ScreenAtWindowPoint(HWND document, POINT p)
{
    RECT window = {};
    GetWindowRect(document, &window);
    POINT origin = {0, 0};
    ClientToScreen(document, &origin);
    return kivtest::ScreenPixel(document, window.left - origin.x + p.x, window.top - origin.y + p.y);
}

// What the skin draws at a window point of a document's frame.
COLORREF SkinFrameAt(CKivFrameWnd& frame, POINT p)
{
    RECT window = {};
    GetWindowRect(frame.Window(), &window);
    kivtest::Canvas canvas(window.right - window.left, window.bottom - window.top, RGB(255, 0, 255));
    frame.PaintFrameTo(canvas.DC());
    return canvas.Pixel(p.x, p.y);
}

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
        {"client of the maximised document", [](HWND client, std::string& out) {
             RECT area = {};
             GetClientRect(ActiveDocument(client), &area);
             MapWindowPoints(ActiveDocument(client), client, reinterpret_cast<POINT*>(&area), 2);
             out = std::to_string(area.left) + "," + std::to_string(area.top) + "," + std::to_string(area.right) +
                   "," + std::to_string(area.bottom);
             return static_cast<LRESULT>(IsZoomed(ActiveDocument(client)));
         }},
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

TEST_CASE("MDI documents: skinned documents answer the MDI messages as plain ones, maximised they fill the client")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    std::vector<std::string> plays[2];
    for (bool skinned : {false, true})
    {
        Workspace workspace(skinned, skinned);
        REQUIRE(workspace.documents.size() == 2);
        for (HWND document : workspace.documents)
            CHECK((FrameOf(document) != nullptr) == skinned);
        plays[skinned ? 1 : 0] = kivtest::PlayScript(workspace.client, WorkspaceScript());
    }
    CHECK(kivtest::SamePlay(plays[0], plays[1]));
}

TEST_CASE("MDI documents: the skin draws each document's frame, active as its client says")
{
    for (const wchar_t* skin : {L"default.kiv", L"dark.kiv"})
    {
        CAPTURE(std::string(skin, skin + wcslen(skin)));
        REQUIRE(kivtest::LoadShippedSkin(skin));
        Workspace workspace(true, true);
        SendMessageW(workspace.client, WM_MDICASCADE, 0, 0);
        for (HWND wanted : {workspace.documents[0], workspace.documents[1]})
        {
            SendMessageW(workspace.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(wanted), 0);
            kivtest::Settle(workspace.host.Window());
            REQUIRE(ActiveDocument(workspace.client) == wanted);
            for (HWND document : workspace.documents)
            {
                CKivFrameWnd* frame = FrameOf(document);
                REQUIRE(frame != nullptr);
                CHECK(frame->Metrics()->menuBarHeight == 0);
                CHECK(frame->ActiveState() == (document == wanted ? WA_ACTIVE : WA_INACTIVE));
                // The caption on screen is the skin's, in the state just checked
                // (the active document lies on top, so its caption is in view).
                if (document == wanted)
                {
                    const POINT p = CaptionPoint(*frame);
                    CHECK(ScreenAtWindowPoint(document, p) == SkinFrameAt(*frame, p));
                }
            }
        }
    }
}

TEST_CASE("MDI documents: the active document's caption goes inactive with its frame window")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Workspace workspace(true, true);
    const HWND host = workspace.host.Window();
    REQUIRE(CKivWnd::FromHandle(host) != nullptr);
    CKivFrameWnd* active = FrameOf(ActiveDocument(workspace.client));
    REQUIRE(active != nullptr);
    SetForegroundWindow(host);
    kivtest::PumpPending();
    REQUIRE(GetActiveWindow() == host);
    CHECK(active->ActiveState() == WA_ACTIVE);
    const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(other);
    kivtest::PumpPending();
    CHECK(GetActiveWindow() == other);
    CHECK(active->ActiveState() == WA_INACTIVE);
    DestroyWindow(other);
    SetForegroundWindow(host);
    kivtest::PumpPending();
    CHECK(GetActiveWindow() == host);
    CHECK(active->ActiveState() == WA_ACTIVE);
}

TEST_CASE("MDI documents: maximised the system keeps the hidden frame, restored the skin's comes back")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Workspace workspace(true, true);
    const HWND document = ActiveDocument(workspace.client);
    REQUIRE(FrameOf(document) != nullptr);
    RECT before = {};
    GetClientRect(document, &before);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    CHECK(GetWindowRgn(document, region) != ERROR);

    SendMessageW(workspace.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(document), 0);
    kivtest::Settle(workspace.host.Window());
    REQUIRE(IsZoomed(document));
    CHECK(GetWindowRgn(document, region) == ERROR);
    RECT area = {};
    GetClientRect(workspace.client, &area);
    RECT inside = {};
    GetClientRect(document, &inside);
    CHECK(inside.right == area.right);
    CHECK(inside.bottom == area.bottom);
    // The document's own background reaches the client's edges: no frame shows inside.
    const COLORREF middle = kivtest::ScreenPixel(document, inside.right / 2, inside.bottom / 2);
    CHECK(kivtest::ScreenPixel(document, 0, 0) == middle);
    CHECK(kivtest::ScreenPixel(document, inside.right - 1, inside.bottom - 1) == middle);
    CHECK(kivtest::ScreenPixel(workspace.client, 0, 0) == middle);

    SendMessageW(workspace.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(document), 0);
    kivtest::Settle(workspace.host.Window());
    REQUIRE(!IsZoomed(document));
    CHECK(GetWindowRgn(document, region) != ERROR);
    RECT after = {};
    GetClientRect(document, &after);
    CHECK(after.right == before.right);
    CHECK(after.bottom == before.bottom);
    CKivFrameWnd* frame = FrameOf(document);
    REQUIRE(frame != nullptr);
    const POINT p = CaptionPoint(*frame);
    CHECK(ScreenAtWindowPoint(document, p) == SkinFrameAt(*frame, p));
    DeleteObject(region);
}

TEST_CASE("MDI documents: skinned documents repaint without holding GDI objects")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Workspace workspace(true, true);
    auto repaint = [&] {
        for (HWND document : workspace.documents)
            RedrawWindow(document, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        SendMessageW(workspace.client, WM_MDINEXT, 0, 0);
        kivtest::PumpPending();
    };
    kivtest::CheckRepaintsHoldNoGdi(repaint, 40);
}

TEST_CASE("pictures of MDI documents: default and dark" * doctest::skip())
{
    const std::wstring out = kivtest::ScreenshotFolder();
    for (const wchar_t* skin : {L"default", L"dark"})
    {
        REQUIRE(kivtest::LoadShippedSkin((std::wstring(skin) + L".kiv").c_str()));
        Workspace workspace(true, true);
        SendMessageW(workspace.client, WM_MDICASCADE, 0, 0);
        // Each document holds a text, as a word processor's documents do.
        LoadLibraryW(L"riched20.dll");
        for (HWND document : workspace.documents)
        {
            RECT area = {};
            GetClientRect(document, &area);
            workspace.host.Control(L"RichEdit20W", ES_MULTILINE, 0, 0, area.right, area.bottom, 1, document, 0,
                                   L"A document of the MDI client.");
        }
        SendMessageW(workspace.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(workspace.documents[0]), 0);
        kivtest::Settle(workspace.host.Window());
        CHECK(kivtest::SaveScreenOf(workspace.host.Window(), out + L"\\mdi-" + skin + L".bmp"));
    }
}
