// Tooltip skin: the same calls give the same answers and notifications
// skinned and unskinned (the host reads back its own colours, even right after
// the tip painted with the skin's); a shown tip has the skin's list colours and
// readable text; a host's own colours stay; and repainting holds no GDI objects.
#include <doctest.h>
#include "CKivCommonLook.h"
#include "CKivEngine.h"
#include "CKivToolTipCtrl.h"
#include "CKivWnd.h"
#include "KivCommonHost.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <string>
#include <vector>

using kivtest::CommonHost;
using kivtest::ScriptStep;

namespace {

// A tracking tip of the host with one tool, made while the hook runs for a
// skinned host.
struct Tip
{
    explicit Tip(bool skinned) : host(skinned)
    {
        if (skinned)
            CKivEngine::Instance().Run();
        tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX, 0, 0, 0, 0,
                              host.Window(), nullptr, GetModuleHandleW(nullptr), nullptr);
        if (skinned)
            CKivEngine::Instance().Stop();
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.hwnd = host.Window();
        tool.uId = 1;
        tool.lpszText = text;
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        kivtest::PumpPending();
    }
    ~Tip() { DestroyWindow(tip); }
    void Show()
    {
        POINT at = {60, 120};
        ClientToScreen(host.Window(), &at);
        SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
        SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
        kivtest::Settle(tip);
    }
    CommonHost host;
    HWND tip = nullptr;
    wchar_t text[40] = L"MMMM tip text that reads";
    TTTOOLINFOW tool = {};
};

std::vector<ScriptStep> TipScript(TTTOOLINFOW* tool)
{
    const LPARAM info = reinterpret_cast<LPARAM>(tool);
    return {
        {"TTM_GETTOOLCOUNT", kivtest::SendStep(TTM_GETTOOLCOUNT, 0, 0)},
        {"TTM_GETTIPBKCOLOR", kivtest::SendStep(TTM_GETTIPBKCOLOR, 0, 0)},
        {"TTM_GETTIPTEXTCOLOR", kivtest::SendStep(TTM_GETTIPTEXTCOLOR, 0, 0)},
        {"TTM_TRACKPOSITION", kivtest::SendStep(TTM_TRACKPOSITION, 0, MAKELPARAM(100, 200))},
        {"TTM_TRACKACTIVATE on", kivtest::SendStep(TTM_TRACKACTIVATE, TRUE, info)},
        {"IsWindowVisible", [](HWND tip, std::string&) { return static_cast<LRESULT>(IsWindowVisible(tip)); }},
        {"TTM_GETTIPBKCOLOR shown", kivtest::SendStep(TTM_GETTIPBKCOLOR, 0, 0)},
        {"TTM_GETTIPTEXTCOLOR shown", kivtest::SendStep(TTM_GETTIPTEXTCOLOR, 0, 0)},
        {"TTM_UPDATE", kivtest::SendStep(TTM_UPDATE, 0, 0)},
        {"TTM_GETBUBBLESIZE", kivtest::SendStep(TTM_GETBUBBLESIZE, 0, info)},
        {"TTM_SETMAXTIPWIDTH", kivtest::SendStep(TTM_SETMAXTIPWIDTH, 0, 60)},
        {"TTM_UPDATE narrow", kivtest::SendStep(TTM_UPDATE, 0, 0)},
        {"TTM_SETTITLE", kivtest::SendStep(TTM_SETTITLEW, TTI_INFO, reinterpret_cast<LPARAM>(L"Title"))},
        {"TTM_UPDATE titled", kivtest::SendStep(TTM_UPDATE, 0, 0)},
        {"TTM_SETTIPBKCOLOR own", kivtest::SendStep(TTM_SETTIPBKCOLOR, RGB(250, 250, 120), 0)},
        {"TTM_UPDATE own", kivtest::SendStep(TTM_UPDATE, 0, 0)},
        {"TTM_GETTIPBKCOLOR own", kivtest::SendStep(TTM_GETTIPBKCOLOR, 0, 0)},
        {"TTM_TRACKACTIVATE off", kivtest::SendStep(TTM_TRACKACTIVATE, FALSE, info)},
        {"IsWindowVisible after", [](HWND tip, std::string&) { return static_cast<LRESULT>(IsWindowVisible(tip)); }},
        {"TTM_DELTOOL", kivtest::SendStep(TTM_DELTOOLW, 0, info)},
        {"TTM_GETTOOLCOUNT after", kivtest::SendStep(TTM_GETTOOLCOUNT, 0, 0)},
    };
}

std::vector<std::string> PlayTip(bool skinned)
{
    Tip tip(skinned);
    CHECK((dynamic_cast<CKivToolTipCtrl*>(CKivWnd::FromHandle(tip.tip)) != nullptr) == skinned);
    return kivtest::PlayScript(tip.tip, TipScript(&tip.tool));
}

}  // namespace

TEST_CASE("tooltip: answers and notifications are the same skinned and unskinned, its colours the host's own")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    const std::vector<std::string> plain = PlayTip(false);
    const std::vector<std::string> skinned = PlayTip(true);
    int customDraw = 0;
    for (const std::string& line : plain)
        customDraw += line.find("code -12 stage 0x1") != std::string::npos && line.find("tooltips_class32") != std::string::npos ? 1 : 0;
    CHECK(customDraw > 0);
    CHECK(kivtest::SamePlay(plain, skinned));
}

TEST_CASE("tooltip: a shown tip has the skin's colours and readable text; a host's own colour stays")
{
    for (const wchar_t* skin : {L"default.kiv", L"dark.kiv"})
    {
        CAPTURE(std::string(skin, skin + wcslen(skin)));
        REQUIRE(kivtest::LoadShippedSkin(skin));
        const CKivCommonLook& look = CKivCommonLook::Current();
        Tip tip(true);
        tip.Show();
        REQUIRE(IsWindowVisible(tip.tip));
        RECT client = {};
        GetClientRect(tip.tip, &client);
        const COLORREF back = kivtest::ScreenPixel(tip.tip, client.right - 2, client.bottom - 2);
        CHECK(back == look.tip.colour);
        CHECK(kivtest::BestContrastIn(tip.tip, client, back) >= 4.5);
        // The border round it is the skin's list border.
        POINT corner = {-1, -1};
        CHECK(kivtest::ScreenPixel(tip.tip, corner.x, corner.y) == look.tipBorder);
        // The host's own background colour is used as set.
        const COLORREF own = RGB(250, 250, 120);
        SendMessageW(tip.tip, TTM_SETTIPBKCOLOR, own, 0);
        SendMessageW(tip.tip, TTM_UPDATE, 0, 0);
        kivtest::Settle(tip.tip);
        CHECK(kivtest::ScreenPixel(tip.tip, client.right - 2, client.bottom - 2) == own);
        CHECK(SendMessageW(tip.tip, TTM_GETTIPBKCOLOR, 0, 0) == static_cast<LRESULT>(own));
    }
}

TEST_CASE("tooltip: a skinned tip repaints without holding GDI objects")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Tip tip(true);
    tip.Show();
    auto repaint = [&] {
        SendMessageW(tip.tip, TTM_UPDATE, 0, 0);
        kivtest::Settle(tip.tip);
    };
    kivtest::CheckRepaintsHoldNoGdi(repaint, 60);
}
