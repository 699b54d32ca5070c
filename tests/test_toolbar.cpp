// Tool bar skin: the same calls, clicks and keys give the same answers and the
// host hears the same notifications (custom draw stages in the control's own
// order, however the host answers them) skinned and unskinned, alone and in a
// rebar; the bar, the hot, pressed and checked faces and the texts are the
// skin's and read; a host that colours its buttons keeps its colour; and
// repainting holds no GDI objects.
#include <doctest.h>
#include "CKivCommonLook.h"
#include "CKivToolBarCtrl.h"
#include "CKivWnd.h"
#include "KivCommonHost.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <string>
#include <vector>

using kivtest::CommonHost;
using kivtest::ScriptStep;

namespace {

const int kBarId = 400;
const int kReBarId = 401;
const int kFirstCommand = 100;

// A tool bar of its own, or one in a rebar's band.
struct Bar
{
    Bar(bool skinned, bool inReBar, DWORD style = TBSTYLE_FLAT | TBSTYLE_LIST, bool onPanel = false) : host(skinned)
    {
        // On a panel without a skin, nobody hands the bar's custom draw over.
        HWND parent = onPanel ? host.Panel(0, 0, 480, 120) : nullptr;
        if (inReBar)
        {
            rebar = host.Control(REBARCLASSNAMEW, CCS_NODIVIDER | WS_CLIPCHILDREN, 0, 0, 0, 0, kReBarId);
            parent = rebar;
            style |= TBSTYLE_TRANSPARENT | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN;
        }
        bar = host.Control(TOOLBARCLASSNAMEW, style, 0, 0, 400, 26, kBarId, parent);
        kivtest::AddToolButtons(bar, true, kFirstCommand);
        if (inReBar)
        {
            SIZE size = {};
            SendMessageW(bar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
            REBARBANDINFOW band = {};
            band.cbSize = sizeof(band);
            band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
            band.fStyle = RBBS_GRIPPERALWAYS;
            band.hwndChild = bar;
            band.cxMinChild = size.cx;
            band.cyMinChild = size.cy;
            band.cx = 460;
            SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
        }
        kivtest::Settle(host.Window());
    }
    RECT Button(int index) const { return kivtest::AskRect(bar, TB_GETITEMRECT, index); }
    CommonHost host;
    HWND rebar = nullptr;
    HWND bar = nullptr;
};

std::vector<ScriptStep> ToolBarScript()
{
    auto click = [](int index) {
        return [=](HWND bar, std::string&) {
            RECT r = {};
            SendMessageW(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
            const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            SendMessageW(bar, WM_MOUSEMOVE, 0, at);
            SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
            return SendMessageW(bar, WM_LBUTTONUP, 0, at);
        };
    };
    return {
        {"TB_BUTTONCOUNT", kivtest::SendStep(TB_BUTTONCOUNT, 0, 0)},
        {"TB_GETITEMRECT 1", kivtest::RectStep(TB_GETITEMRECT, 1)},
        {"TB_ISBUTTONCHECKED save", kivtest::SendStep(TB_ISBUTTONCHECKED, kFirstCommand + 2, 0)},
        {"TB_CHECKBUTTON save off", kivtest::SendStep(TB_CHECKBUTTON, kFirstCommand + 2, FALSE)},
        {"TB_GETSTATE save", kivtest::SendStep(TB_GETSTATE, kFirstCommand + 2, 0)},
        {"TB_ENABLEBUTTON copy", kivtest::SendStep(TB_ENABLEBUTTON, kFirstCommand + 5, TRUE)},
        {"TB_SETHOTITEM 1", kivtest::SendStep(TB_SETHOTITEM, 1, 0)},
        {"TB_GETHOTITEM", kivtest::SendStep(TB_GETHOTITEM, 0, 0)},
        {"TB_PRESSBUTTON open", kivtest::SendStep(TB_PRESSBUTTON, kFirstCommand + 1, TRUE)},
        {"TB_PRESSBUTTON open off", kivtest::SendStep(TB_PRESSBUTTON, kFirstCommand + 1, FALSE)},
        {"click New", click(0)},
        {"click Save", click(2)},
        {"TB_ISBUTTONCHECKED after click", kivtest::SendStep(TB_ISBUTTONCHECKED, kFirstCommand + 2, 0)},
        {"click Find", click(6)},
        {"TB_HITTEST", [](HWND bar, std::string&) {
             RECT r = {};
             SendMessageW(bar, TB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&r));
             POINT p = {r.left + 2, r.top + 2};
             return SendMessageW(bar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p));
         }},
        {"TB_HIDEBUTTON cut", kivtest::SendStep(TB_HIDEBUTTON, kFirstCommand + 4, TRUE)},
        {"TB_GETITEMRECT 5 after hide", kivtest::RectStep(TB_GETITEMRECT, 5)},
        {"TB_DELETEBUTTON 0", kivtest::SendStep(TB_DELETEBUTTON, 0, 0)},
        {"TB_BUTTONCOUNT after delete", kivtest::SendStep(TB_BUTTONCOUNT, 0, 0)},
        {"TB_GETMAXSIZE", [](HWND bar, std::string& out) {
             SIZE size = {};
             const LRESULT answer = SendMessageW(bar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
             out = std::to_string(size.cx) + "x" + std::to_string(size.cy);
             return answer;
         }},
        {"GWL_STYLE", [](HWND bar, std::string&) { return GetWindowLongPtrW(bar, GWL_STYLE); }},
        {"WM_SETREDRAW off", kivtest::SendStep(WM_SETREDRAW, FALSE, 0)},
        {"TB_ENABLEBUTTON off", kivtest::SendStep(TB_ENABLEBUTTON, kFirstCommand + 1, FALSE)},
        {"WM_SETREDRAW on", kivtest::SendStep(WM_SETREDRAW, TRUE, 0)},
        {"InvalidateRect", [](HWND bar, std::string&) { return static_cast<LRESULT>(InvalidateRect(bar, nullptr, TRUE)); }},
    };
}

std::vector<std::string> PlayToolBar(bool skinned, bool inReBar, const kivtest::CustomDrawAnswers& answers)
{
    Bar bar(skinned, inReBar);
    CHECK((dynamic_cast<CKivToolBarCtrl*>(CKivWnd::FromHandle(bar.bar)) != nullptr) == skinned);
    CommonHost::Answers() = answers;
    std::vector<std::string> lines = kivtest::PlayScript(bar.bar, ToolBarScript());
    CommonHost::Answers() = kivtest::CustomDrawAnswers();
    return lines;
}

}  // namespace

TEST_CASE("tool bar: answers and notifications, custom draw included, are the same skinned and unskinned")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    struct Case
    {
        const char* name;
        LRESULT prepaint;
        LRESULT item;
    };
    const Case cases[] = {
        {"host answers nothing", CDRF_DODEFAULT, CDRF_DODEFAULT},
        {"host asks for items", CDRF_NOTIFYITEMDRAW, CDRF_DODEFAULT},
        {"host asks for items and their post-paint", CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT, CDRF_NOTIFYPOSTPAINT},
    };
    for (bool inReBar : {false, true})
        for (const Case& c : cases)
        {
            CAPTURE(inReBar);
            CAPTURE(std::string(c.name));
            kivtest::CustomDrawAnswers answers;
            answers.prepaint = c.prepaint;
            answers.itemPrepaint = c.item;
            const std::vector<std::string> plain = PlayToolBar(false, inReBar, answers);
            const std::vector<std::string> skinned = PlayToolBar(true, inReBar, answers);
            // The script made the bar paint and click: there is something to compare.
            CHECK(kivtest::CountLines(plain, "stage 0x1 ") + kivtest::CountLines(plain, "stage 0x1") > 0);
            CHECK(kivtest::CountLines(plain, "WM_COMMAND id 100 code 0") == 1);
            CHECK((kivtest::CountLines(plain, "stage 0x10001") > 0) == ((c.prepaint & CDRF_NOTIFYITEMDRAW) != 0));
            CHECK((kivtest::CountLines(plain, "stage 0x10002") > 0) == ((c.item & CDRF_NOTIFYPOSTPAINT) != 0));
            CHECK(kivtest::SamePlay(plain, skinned));
        }
}

TEST_CASE("tool bar: the skin's bar, faces and readable texts, alone and in a rebar, with both shipped skins")
{
    for (const wchar_t* skin : {L"default.kiv", L"dark.kiv"})
    {
        CAPTURE(std::string(skin, skin + wcslen(skin)));
        REQUIRE(kivtest::LoadShippedSkin(skin));
        const CKivCommonLook& look = CKivCommonLook::Current();
        for (bool inReBar : {false, true})
        {
            CAPTURE(inReBar);
            Bar bar(true, inReBar);
            REQUIRE(dynamic_cast<CKivToolBarCtrl*>(CKivWnd::FromHandle(bar.bar)) != nullptr);
            CHECK(dynamic_cast<CKivToolBarCtrl*>(CKivWnd::FromHandle(bar.bar))->ShowsSkin());
            RECT client = {};
            GetClientRect(bar.bar, &client);
            const RECT newButton = bar.Button(0);
            const int middle = (newButton.top + newButton.bottom) / 2;
            // Past the last button: the bar.
            const COLORREF back = kivtest::ScreenPixel(bar.bar, client.right - 3, middle);
            CHECK(kivtest::Contrast(back, look.bar.text) >= 4.5);
            if (look.bar.luminance < 0.2)
                CHECK(kivtest::Contrast(back, GetSysColor(COLOR_BTNFACE)) > 3.0);
            if (inReBar)
            {
                // The band's tool bar continues the rebar's bar.
                POINT inside = {client.right - 3, middle};
                MapWindowPoints(bar.bar, bar.rebar, &inside, 1);
                RECT gap = {};
                SendMessageW(bar.rebar, RB_GETRECT, 0, reinterpret_cast<LPARAM>(&gap));
                CHECK(kivtest::Contrast(kivtest::ScreenPixel(bar.rebar, gap.left + 1, inside.y), back) < 1.3);
            }
            // The text of a normal button (right of its image) reads on the bar.
            const RECT text = {newButton.left + 20, newButton.top + 2, newButton.right - 2, newButton.bottom - 2};
            CHECK(kivtest::BestContrastIn(bar.bar, text, back) >= 4.5);
            // The checked button stands on the pressed face, not the system's dither.
            const RECT save = bar.Button(2);
            const COLORREF face = kivtest::ScreenPixel(bar.bar, save.right - 4, (save.top + save.bottom) / 2);
            CHECK(face != RGB(255, 255, 255));
            CHECK(kivtest::Contrast(face, look.barPressed.text) >= 4.5);
            const RECT saveText = {save.left + 20, save.top + 2, save.right - 2, save.bottom - 2};
            CHECK(kivtest::BestContrastIn(bar.bar, saveText, face) >= 4.5);
            // A hot button shows the bar's selected item.
            SendMessageW(bar.bar, TB_SETHOTITEM, 1, 0);
            kivtest::Settle(bar.bar);
            const RECT open = bar.Button(1);
            const COLORREF hot = kivtest::ScreenPixel(bar.bar, open.right - 4, (open.top + open.bottom) / 2);
            CHECK(hot != back);
            CHECK(kivtest::BestContrastIn(bar.bar, RECT{open.left + 20, open.top + 2, open.right - 2, open.bottom - 2},
                                          hot) >= 4.5);
        }
    }
}

TEST_CASE("tool bar on a parent without a skin: the control's own look, and the same notifications")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    std::vector<std::string> plays[2];
    COLORREF backs[2] = {};
    for (bool skinned : {false, true})
    {
        Bar bar(skinned, false, TBSTYLE_FLAT | TBSTYLE_LIST, true);
        CKivToolBarCtrl* skin = dynamic_cast<CKivToolBarCtrl*>(CKivWnd::FromHandle(bar.bar));
        CHECK((skin != nullptr) == skinned);
        // Its texts stay the system's, so its background does too.
        if (skin != nullptr)
            CHECK_FALSE(skin->ShowsSkin());
        RECT client = {};
        GetClientRect(bar.bar, &client);
        backs[skinned ? 1 : 0] = kivtest::ScreenPixel(bar.bar, client.right - 3, 5);
        plays[skinned ? 1 : 0] = kivtest::PlayScript(bar.bar, ToolBarScript());
    }
    CHECK(backs[0] == backs[1]);
    CHECK(kivtest::CountLines(plays[0], "stage 0x1") > 0);
    CHECK(kivtest::SamePlay(plays[0], plays[1]));
}

TEST_CASE("tool bar: a host that colours its buttons' text keeps its colour")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Bar bar(true, false);
    CommonHost::Answers().prepaint = CDRF_NOTIFYITEMDRAW;
    CommonHost::Answers().itemText = RGB(255, 0, 0);
    kivtest::Settle(bar.bar);
    const RECT newButton = bar.Button(0);
    int red = 0;
    for (COLORREF pixel : kivtest::ScreenBox(bar.bar, newButton))
        red += GetRValue(pixel) > 150 && GetGValue(pixel) < 90 && GetBValue(pixel) < 90 ? 1 : 0;
    CHECK(red > 5);
    CommonHost::Answers() = kivtest::CustomDrawAnswers();
}

TEST_CASE("tool bar: a skinned bar repaints without holding GDI objects")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Bar bar(true, true);
    int hot = 0;
    auto repaint = [&] {
        SendMessageW(bar.bar, TB_SETHOTITEM, (hot++ % 3), 0);
        kivtest::Settle(bar.host.Window());
    };
    kivtest::CheckRepaintsHoldNoGdi(repaint, 60);
}
