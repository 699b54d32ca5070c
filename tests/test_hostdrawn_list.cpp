// A list box whose host draws the rows (LBS_OWNERDRAWFIXED) keeps the host's
// drawing and every answer; what the host leaves to the system (the
// background its parent answers by default, the DC's text colour, the window
// scroll bar) takes the skin's list colours. Colours the host chooses stay.
#include <doctest.h>
#include <windows.h>
#include <algorithm>
#include <set>
#include <string>
#include <vector>
#include "CKivEngine.h"
#include "CKivHostDrawnList.h"
#include "CKivSkinStore.h"
#include "KivControlTestHost.h"
#include "KivGdiLeakOracle.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"

using kivtest::ControlHost;
namespace cs = kivtest::controlskin;

namespace {

const int kSkinnedId = 810;
const int kPlainId = 811;
const COLORREF kDark = RGB(30, 32, 36);
const COLORREF kHostRow = RGB(0, 128, 0);
const int kHostBox = 30;  // the host fills this much of each row

// What the host's own procedure does below the parent's skin.
struct Host
{
    HBRUSH brush = nullptr;          // answered for WM_CTLCOLORLISTBOX when set
    COLORREF text = CLR_INVALID;     // set on the DC there when valid
    COLORREF drawText[2] = {CLR_INVALID, CLR_INVALID};  // the DC's text colour in WM_DRAWITEM, per list
    HGDIOBJ drawPen[2] = {nullptr, nullptr};            // and its pen
};
Host g_host;

LRESULT CALLBACK DrawingHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM)
    {
        const DRAWITEMSTRUCT* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw->CtlType == ODT_LISTBOX && (draw->CtlID == kSkinnedId || draw->CtlID == kPlainId))
        {
            g_host.drawText[draw->CtlID - kSkinnedId] = GetTextColor(draw->hDC);
            g_host.drawPen[draw->CtlID - kSkinnedId] = GetCurrentObject(draw->hDC, OBJ_PEN);
            // Only a box at the row's start: the rest of the row is what the list erased.
            RECT box = draw->rcItem;
            box.right = box.left + kHostBox;
            HBRUSH fill = CreateSolidBrush(kHostRow);
            FillRect(draw->hDC, &box, fill);
            DeleteObject(fill);
        }
    }
    if (message == WM_CTLCOLORLISTBOX && (g_host.brush != nullptr || g_host.text != CLR_INVALID))
    {
        if (g_host.text != CLR_INVALID)
            SetTextColor(reinterpret_cast<HDC>(wParam), g_host.text);
        return reinterpret_cast<LRESULT>(g_host.brush != nullptr ? g_host.brush : GetSysColorBrush(COLOR_WINDOW));
    }
    return CallWindowProcW(kivtest::SkinnedControlHost::HostProc(), window, message, wParam, lParam);
}

// A host window drawing list rows, with a skin over it as a skinned dialog has.
struct DrawingParent : kivtest::SkinnedControlHost
{
    DrawingParent() : SkinnedControlHost(&DrawingHost)
    {
        g_host = Host();
        REQUIRE(parentSkin.Window() == host.Window());
    }
    ~DrawingParent() { g_host = Host(); }
};

HWND FilledList(ControlHost& host, int x, int id, bool skinned, int items)
{
    const HWND list = host.Control(L"LISTBOX", LBS_OWNERDRAWFIXED | LBS_NOTIFY | WS_VSCROLL, x, 10, 170, 200, id, skinned);
    REQUIRE(list != nullptr);
    for (int i = 0; i < items; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, 0x1000 + i);
    return list;
}

// The list as WM_PRINT renders it, erased background and scroll bar included.
void Print(HWND list, kivtest::Canvas& canvas)
{
    canvas.Fill(RGB(255, 0, 255));
    SendMessageW(list, WM_PRINT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
}

int SkinBarPixels(const kivtest::Canvas& canvas, HWND list)
{
    const std::set<COLORREF> skin = {cs::kBar, cs::kBarBorder, cs::kSlider, cs::kSliderBorder, cs::kTrack};
    RECT client{};
    GetClientRect(list, &client);
    int found = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = client.right; x < canvas.Width(); ++x)
            found += skin.count(canvas.Pixel(x, y)) != 0;
    return found;
}

}  // namespace

TEST_CASE("host-drawn list: the host's rows and answers stay; the background it leaves, the DC's text colour and the "
          "scroll bar take the skin")
{
    kivtest::InstallControlSkin();
    CKivSkinStore::Settings().listBoxBackgroundColor = static_cast<int>(kDark);
    DrawingParent parent;
    const HWND list = FilledList(parent.host, 10, kSkinnedId, true, 3);
    const HWND plain = FilledList(parent.host, 200, kPlainId, false, 3);
    CKivHostDrawnList* skin = ControlHost::Skin<CKivHostDrawnList>(list);
    REQUIRE(skin != nullptr);
    CHECK(ControlHost::Skin<CKivWnd>(plain) == nullptr);

    // The same answers and notifications as unskinned.
    for (UINT query : {LB_GETCOUNT, LB_GETITEMHEIGHT, LB_GETTOPINDEX})
        CHECK(SendMessageW(list, query, 0, 0) == SendMessageW(plain, query, 0, 0));
    CHECK(SendMessageW(list, LB_GETITEMDATA, 2, 0) == 0x1002);
    RECT row{}, plainRow{};
    REQUIRE(SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)) != LB_ERR);
    REQUIRE(SendMessageW(plain, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&plainRow)) != LB_ERR);
    CHECK(EqualRect(&row, &plainRow));
    ControlHost::Clear();
    for (HWND each : {list, plain})
    {
        SetFocus(each);
        SendMessageW(each, WM_KEYDOWN, VK_DOWN, 0);
        SendMessageW(each, WM_KEYDOWN, VK_DOWN, 0);
    }
    kivtest::PumpPending();
    // (Focus notifications differ by when each list had the focus.)
    const std::vector<int> heard = ControlHost::Commands(kSkinnedId);
    const std::vector<int> plainHeard = ControlHost::Commands(kPlainId);
    CHECK(std::count(heard.begin(), heard.end(), LBN_SELCHANGE) == 2);
    CHECK(std::count(plainHeard.begin(), plainHeard.end(), LBN_SELCHANGE) == 2);
    CHECK(SendMessageW(list, LB_GETCURSEL, 0, 0) == SendMessageW(plain, LB_GETCURSEL, 0, 0));

    RECT client{};
    GetClientRect(list, &client);
    kivtest::Canvas canvas(170, 200, 0);
    const int below = row.bottom + 2 * (row.bottom - row.top) + 10;
    const int middle = (row.top + row.bottom) / 2;
    SUBCASE("the host answers the default")
    {
        Print(list, canvas);
        CHECK(canvas.Pixel(kHostBox / 2, middle) == kHostRow);
        CHECK(canvas.Pixel(kHostBox + 20, middle) == kDark);
        CHECK(canvas.Pixel(client.right / 2, below) == kDark);
        CHECK(g_host.drawText[0] == RGB(255, 255, 255));
        // Lines drawn with the default pen show on the dark background.
        CHECK(g_host.drawPen[0] == GetStockObject(WHITE_PEN));
        // A context of its own: a print leaves the list's colours and pen in the one it was given.
        kivtest::Canvas plainCanvas(170, 200, 0);
        Print(plain, plainCanvas);
        CHECK(plainCanvas.Pixel(kHostBox / 2, middle) == kHostRow);
        CHECK(plainCanvas.Pixel(client.right / 2, below) == GetSysColor(COLOR_WINDOW));
        CHECK(g_host.drawText[1] == GetSysColor(COLOR_WINDOWTEXT));
        CHECK(g_host.drawPen[1] == GetStockObject(BLACK_PEN));
    }
    SUBCASE("the host chooses a brush and a text colour of its own")
    {
        HBRUSH own = CreateSolidBrush(RGB(20, 60, 120));
        g_host.brush = own;
        g_host.text = RGB(255, 200, 0);
        Print(list, canvas);
        CHECK(canvas.Pixel(client.right / 2, below) == RGB(20, 60, 120));
        CHECK(canvas.Pixel(kHostBox / 2, middle) == kHostRow);
        CHECK(g_host.drawText[0] == RGB(255, 200, 0));
        CHECK(g_host.drawPen[0] == GetStockObject(BLACK_PEN));
        g_host = Host();
        DeleteObject(own);
    }
    SUBCASE("the scroll bar in the list's bar colours; GDI flat")
    {
        for (int i = 3; i < 40; ++i)
            for (HWND each : {list, plain})
                SendMessageW(each, LB_ADDSTRING, 0, 0x1000 + i);
        RECT outer{};
        GetWindowRect(list, &outer);
        kivtest::Canvas whole(outer.right - outer.left, outer.bottom - outer.top, 0);
        Print(list, whole);
        CHECK(SkinBarPixels(whole, list) > 50);
        Print(plain, whole);
        CHECK(SkinBarPixels(whole, plain) == 0);
        // Scrolling stays the system's.
        SendMessageW(list, WM_VSCROLL, SB_PAGEDOWN, 0);
        SendMessageW(plain, WM_VSCROLL, SB_PAGEDOWN, 0);
        CHECK(SendMessageW(list, LB_GETTOPINDEX, 0, 0) == SendMessageW(plain, LB_GETTOPINDEX, 0, 0));
        CHECK(GetScrollPos(list, SB_VERT) == GetScrollPos(plain, SB_VERT));

        kivtest::GdiLeakOracle oracle;
        Print(list, whole);
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        const long before = oracle.LiveObjects();
        for (int i = 0; i < 20; ++i)
        {
            Print(list, whole);
            RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        }
        kivtest::PumpPending();
        CHECK(oracle.LiveObjects() == before);
    }
    DestroyWindow(list);
    DestroyWindow(plain);
}

namespace {

// An ANSI host-drawn list with strings, made the way a program built
// without UNICODE makes it, skinned or not.
HWND AnsiList(ControlHost& host, int x, int id, bool skinned)
{
    CKivEngine& engine = CKivEngine::Instance();
    if (skinned)
        engine.Run();
    const HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                      LBS_NOTIFY | WS_VSCROLL, x, 10, 170, 200, host.Window(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (skinned)
        engine.Stop();
    kivtest::PumpPending();
    REQUIRE(list != nullptr);
    for (const char* text : {"Erste Zeile \xE4\xF6\xFC", "second", "third"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    return list;
}

}  // namespace

TEST_CASE("host-drawn list, ANSI: the same strings, answers and host drawing as unskinned; the background it leaves takes the skin")
{
    kivtest::InstallControlSkin();
    CKivSkinStore::Settings().listBoxBackgroundColor = static_cast<int>(kDark);
    DrawingParent parent;
    const HWND list = AnsiList(parent.host, 10, kSkinnedId, true);
    const HWND plain = AnsiList(parent.host, 200, kPlainId, false);
    REQUIRE(ControlHost::Skin<CKivHostDrawnList>(list) != nullptr);
    CHECK(ControlHost::Skin<CKivWnd>(plain) == nullptr);
    CHECK_FALSE(IsWindowUnicode(list));
    CHECK_FALSE(IsWindowUnicode(plain));

    for (int item = 0; item < 3; ++item)
    {
        CAPTURE(item);
        char text[64] = {}, plainText[64] = {};
        CHECK(SendMessageA(list, LB_GETTEXTLEN, item, 0) == SendMessageA(plain, LB_GETTEXTLEN, item, 0));
        CHECK(SendMessageA(list, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text)) ==
              SendMessageA(plain, LB_GETTEXT, item, reinterpret_cast<LPARAM>(plainText)));
        CHECK(std::string(text) == std::string(plainText));
        wchar_t wide[64] = {}, plainWide[64] = {};
        SendMessageW(list, LB_GETTEXT, item, reinterpret_cast<LPARAM>(wide));
        SendMessageW(plain, LB_GETTEXT, item, reinterpret_cast<LPARAM>(plainWide));
        CHECK(std::wstring(wide) == std::wstring(plainWide));
    }
    CHECK(SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("second")) ==
          SendMessageA(plain, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("second")));
    ControlHost::Clear();
    for (HWND each : {list, plain})
    {
        SetFocus(each);
        SendMessageA(each, WM_KEYDOWN, VK_DOWN, 0);
        SendMessageA(each, WM_CHAR, 't', 0);
    }
    kivtest::PumpPending();
    CHECK(SendMessageA(list, LB_GETCURSEL, 0, 0) == SendMessageA(plain, LB_GETCURSEL, 0, 0));
    const std::vector<int> heard = ControlHost::Commands(kSkinnedId);
    const std::vector<int> plainHeard = ControlHost::Commands(kPlainId);
    CHECK(std::count(heard.begin(), heard.end(), LBN_SELCHANGE) ==
          std::count(plainHeard.begin(), plainHeard.end(), LBN_SELCHANGE));

    RECT row{};
    REQUIRE(SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) != LB_ERR);
    RECT client{};
    GetClientRect(list, &client);
    kivtest::Canvas canvas(170, 200, 0);
    Print(list, canvas);
    const int middle = (row.top + row.bottom) / 2;
    CHECK(canvas.Pixel(kHostBox / 2, middle) == kHostRow);
    CHECK(canvas.Pixel(client.right / 2, row.bottom + 3 * (row.bottom - row.top) + 10) == kDark);
    CHECK(g_host.drawText[0] == RGB(255, 255, 255));
    kivtest::Canvas plainCanvas(170, 200, 0);
    Print(plain, plainCanvas);
    CHECK(plainCanvas.Pixel(client.right / 2, row.bottom + 3 * (row.bottom - row.top) + 10) == GetSysColor(COLOR_WINDOW));
    DestroyWindow(list);
    DestroyWindow(plain);
}
