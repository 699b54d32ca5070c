// Rebar skin: the same calls and drags give the same answers and the host
// hears the same notifications (each band's custom draw, however the host
// answers it) skinned and unskinned; the bar, band titles and grippers are the
// skin's and read; a band the host coloured keeps its colour; and repainting
// holds no GDI objects.
#include <doctest.h>
#include "CKivCommonLook.h"
#include "CKivReBarCtrl.h"
#include "CKivWnd.h"
#include "KivCommonHost.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <string>
#include <vector>

using kivtest::CommonHost;
using kivtest::ScriptStep;

namespace {

const int kReBarId = 600;

void InsertBand(HWND rebar, const wchar_t* text, HWND child, int width, COLORREF back = CLR_DEFAULT)
{
    REBARBANDINFOW band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_TEXT | RBBIM_STYLE | RBBIM_SIZE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_ID;
    band.fStyle = RBBS_GRIPPERALWAYS;
    band.lpText = const_cast<wchar_t*>(text);
    band.hwndChild = child;
    band.cxMinChild = 60;
    band.cyMinChild = 22;
    band.cx = width;
    band.wID = 7;
    if (back != CLR_DEFAULT)
    {
        band.fMask |= RBBIM_COLORS;
        band.clrBack = back;
        band.clrFore = CLR_DEFAULT;
    }
    SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
}

struct Bar
{
    explicit Bar(bool skinned, DWORD style = RBS_BANDBORDERS | CCS_NODIVIDER, bool onPanel = false) : host(skinned)
    {
        // On a panel without a skin, nobody hands the bands' custom draw over.
        const HWND parent = onPanel ? host.Panel(0, 0, 500, 120) : nullptr;
        rebar = host.Control(REBARCLASSNAMEW, style | WS_CLIPCHILDREN, 0, 0, 0, 0, kReBarId, parent);
        first = host.Control(WC_STATICW, SS_LEFT, 0, 0, 80, 22, 601, rebar, 0, L"child one");
        second = host.Control(WC_STATICW, SS_LEFT, 0, 0, 80, 22, 602, rebar, 0, L"child two");
        InsertBand(rebar, L"Address", first, 260);
        InsertBand(rebar, L"Links", second, 200);
        kivtest::Settle(host.Window());
    }
    RECT Band(int index) const { return kivtest::AskRect(rebar, RB_GETRECT, index); }
    CommonHost host;
    HWND rebar = nullptr;
    HWND first = nullptr;
    HWND second = nullptr;
};

std::vector<ScriptStep> ReBarScript()
{
    auto grip = [](UINT message, int dx) {
        return [=](HWND rebar, std::string&) {
            RECT r = {};
            SendMessageW(rebar, RB_GETRECT, 1, reinterpret_cast<LPARAM>(&r));
            const LPARAM at = MAKELPARAM(r.left + 4 + dx, (r.top + r.bottom) / 2);
            return SendMessageW(rebar, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
        };
    };
    return {
        {"RB_GETBANDCOUNT", kivtest::SendStep(RB_GETBANDCOUNT, 0, 0)},
        {"RB_GETROWCOUNT", kivtest::SendStep(RB_GETROWCOUNT, 0, 0)},
        {"RB_GETRECT 1", kivtest::RectStep(RB_GETRECT, 1)},
        {"RB_GETBANDINFO text", [](HWND rebar, std::string& out) {
             wchar_t text[32] = {};
             REBARBANDINFOW band = {};
             band.cbSize = sizeof(band);
             band.fMask = RBBIM_TEXT | RBBIM_STYLE | RBBIM_COLORS;
             band.lpText = text;
             band.cch = 32;
             const LRESULT answer = SendMessageW(rebar, RB_GETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
             for (const wchar_t* c = text; *c; ++c)
                 out += static_cast<char>(*c);
             out += " " + std::to_string(band.fStyle) + " " + std::to_string(band.clrFore) + " " +
                    std::to_string(band.clrBack);
             return answer;
         }},
        {"RB_SETBANDINFO text", [](HWND rebar, std::string&) {
             REBARBANDINFOW band = {};
             band.cbSize = sizeof(band);
             band.fMask = RBBIM_TEXT;
             band.lpText = const_cast<wchar_t*>(L"Location");
             return SendMessageW(rebar, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
         }},
        {"RB_HITTEST", [](HWND rebar, std::string& out) {
             RBHITTESTINFO hit = {};
             hit.pt = POINT{4, 8};
             const LRESULT answer = SendMessageW(rebar, RB_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
             out = std::to_string(hit.flags) + " " + std::to_string(hit.iBand);
             return answer;
         }},
        {"grip down", grip(WM_LBUTTONDOWN, 0)},
        {"grip drag", grip(WM_MOUSEMOVE, -40)},
        {"grip up", grip(WM_LBUTTONUP, -40)},
        {"RB_GETRECT 1 after drag", kivtest::RectStep(RB_GETRECT, 1)},
        {"RB_MINIMIZEBAND", kivtest::SendStep(RB_MINIMIZEBAND, 0, 0)},
        {"RB_MAXIMIZEBAND", kivtest::SendStep(RB_MAXIMIZEBAND, 1, 0)},
        {"RB_SHOWBAND hide", kivtest::SendStep(RB_SHOWBAND, 0, FALSE)},
        {"RB_SHOWBAND show", kivtest::SendStep(RB_SHOWBAND, 0, TRUE)},
        {"RB_GETBARHEIGHT", kivtest::SendStep(RB_GETBARHEIGHT, 0, 0)},
        {"RB_SETBKCOLOR", kivtest::SendStep(RB_SETBKCOLOR, 0, RGB(1, 2, 3))},
        {"RB_GETBKCOLOR", kivtest::SendStep(RB_GETBKCOLOR, 0, 0)},
        {"RB_DELETEBAND", kivtest::SendStep(RB_DELETEBAND, 1, 0)},
        {"RB_GETBANDCOUNT after delete", kivtest::SendStep(RB_GETBANDCOUNT, 0, 0)},
        {"GWL_STYLE", [](HWND rebar, std::string&) { return GetWindowLongPtrW(rebar, GWL_STYLE); }},
    };
}

std::vector<std::string> PlayReBar(bool skinned, LRESULT itemAnswer, bool onPanel = false)
{
    Bar bar(skinned, RBS_BANDBORDERS | CCS_NODIVIDER, onPanel);
    CHECK((dynamic_cast<CKivReBarCtrl*>(CKivWnd::FromHandle(bar.rebar)) != nullptr) == skinned);
    CommonHost::Answers().itemPrepaint = itemAnswer;
    std::vector<std::string> lines = kivtest::PlayScript(bar.rebar, ReBarScript());
    CommonHost::Answers() = kivtest::CustomDrawAnswers();
    return lines;
}

}  // namespace

TEST_CASE("rebar: answers and notifications, band custom draw included, are the same skinned and unskinned")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    for (LRESULT item : {static_cast<LRESULT>(CDRF_DODEFAULT), static_cast<LRESULT>(CDRF_SKIPDEFAULT),
                         static_cast<LRESULT>(CDRF_NOTIFYPOSTPAINT | CDRF_NOTIFYITEMDRAW)})
    {
        CAPTURE(item);
        const std::vector<std::string> plain = PlayReBar(false, item);
        const std::vector<std::string> skinned = PlayReBar(true, item);
        CHECK(kivtest::CountLines(plain, "ReBarWindow32 id 600 code -12 stage 0x10001 item 7") > 0);
        CHECK((kivtest::CountLines(plain, "stage 0x10002") > 0) == (item == (CDRF_NOTIFYPOSTPAINT | CDRF_NOTIFYITEMDRAW)));
        CHECK(kivtest::CountLines(plain, "code " + std::to_string(static_cast<int>(RBN_BEGINDRAG))) == 1);
        CHECK(kivtest::SamePlay(plain, skinned));
    }
}

TEST_CASE("rebar on a parent without a skin: the same notifications, and the skin's band titles while the host leaves them")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    for (LRESULT item : {static_cast<LRESULT>(CDRF_DODEFAULT), static_cast<LRESULT>(CDRF_SKIPDEFAULT)})
    {
        CAPTURE(item);
        const std::vector<std::string> plain = PlayReBar(false, item, true);
        const std::vector<std::string> skinned = PlayReBar(true, item, true);
        CHECK(kivtest::CountLines(plain, "ReBarWindow32 id 600 code -12 stage 0x10001 item 7") > 0);
        CHECK(kivtest::SamePlay(plain, skinned));
    }
    Bar bar(true, RBS_BANDBORDERS | CCS_NODIVIDER, true);
    CKivReBarCtrl* skin = dynamic_cast<CKivReBarCtrl*>(CKivWnd::FromHandle(bar.rebar));
    REQUIRE(skin != nullptr);
    CHECK(skin->ShowsSkin());
    const RECT band = bar.Band(0);
    const COLORREF back = kivtest::ScreenPixel(bar.rebar, band.left + 1, band.top + 1);
    CHECK(kivtest::Contrast(back, CKivCommonLook::Current().bar.average) < 1.2);
    CHECK(kivtest::BestContrastIn(bar.rebar, RECT{band.left + 10, band.top + 2, band.left + 60, band.bottom - 2}, back) >=
          4.5);
}

TEST_CASE("rebar: the skin's bar, readable band titles and grippers, and a band's own colour, with both shipped skins")
{
    for (const wchar_t* skin : {L"default.kiv", L"dark.kiv"})
    {
        CAPTURE(std::string(skin, skin + wcslen(skin)));
        REQUIRE(kivtest::LoadShippedSkin(skin));
        const CKivCommonLook& look = CKivCommonLook::Current();
        Bar bar(true);
        REQUIRE(dynamic_cast<CKivReBarCtrl*>(CKivWnd::FromHandle(bar.rebar)) != nullptr);
        const RECT band = bar.Band(0);
        // Between the title and the child: the bar.
        RECT child = {};
        GetWindowRect(bar.first, &child);
        MapWindowPoints(nullptr, bar.rebar, reinterpret_cast<POINT*>(&child), 2);
        const COLORREF back = kivtest::ScreenPixel(bar.rebar, band.left + 1, band.top + 1);
        CHECK(kivtest::Contrast(back, look.bar.average) < 1.2);
        // The title reads on it, and the gripper's dots show.
        CHECK(kivtest::BestContrastIn(bar.rebar, RECT{band.left + 10, band.top + 2, child.left - 2, band.bottom - 2},
                                      back) >= 4.5);
        CHECK(kivtest::BestContrastIn(bar.rebar, RECT{band.left + 1, band.top + 2, band.left + 6, band.bottom - 2},
                                      back) > 1.5);
    }
    // A band the host gave a colour keeps it, and its title reads there.
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Bar bar(true);
    const COLORREF own = RGB(250, 240, 120);
    REBARBANDINFOW coloured = {};
    coloured.cbSize = sizeof(coloured);
    coloured.fMask = RBBIM_COLORS;
    coloured.clrBack = own;
    coloured.clrFore = CLR_DEFAULT;
    SendMessageW(bar.rebar, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&coloured));
    kivtest::Settle(bar.host.Window());
    const RECT band = bar.Band(0);
    CHECK(kivtest::ScreenPixel(bar.rebar, band.left + 1, band.top + 1) == own);
    CHECK(kivtest::BestContrastIn(bar.rebar, RECT{band.left + 10, band.top + 2, band.left + 60, band.bottom - 2}, own) >=
          4.5);
}

TEST_CASE("rebar: a skinned rebar repaints without holding GDI objects")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Bar bar(true);
    int step = 0;
    auto repaint = [&] {
        SendMessageW(bar.rebar, (step++ % 2) ? RB_MINIMIZEBAND : RB_MAXIMIZEBAND, 0, 0);
        kivtest::Settle(bar.host.Window());
    };
    kivtest::CheckRepaintsHoldNoGdi(repaint, 60);
}
