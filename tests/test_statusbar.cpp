// Status bar skin: the same calls answer and notify alike skinned and
// unskinned (owner-draw requests included), the bar and its texts are the
// skin's and read, parts the host draws keep the host's drawing, and
// repainting holds no GDI objects.
#include <doctest.h>
#include "CKivCommonLook.h"
#include "CKivStatusBarCtrl.h"
#include "CKivWnd.h"
#include "KivCommonHost.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <string>
#include <vector>

using kivtest::CommonHost;
using kivtest::ScriptStep;

namespace {

const int kStatusId = 300;
const COLORREF kOwnerDrawn = RGB(200, 0, 200);

LRESULT SetText(HWND bar, WPARAM part, const wchar_t* text)
{
    return SendMessageW(bar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text));
}

std::vector<ScriptStep> StatusScript()
{
    auto text = [](WPARAM part) {
        return [=](HWND bar, std::string& out) {
            wchar_t buffer[64] = {};
            const LRESULT answer = SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buffer));
            for (const wchar_t* c = buffer; *c; ++c)
                out += static_cast<char>(*c);
            return answer;
        };
    };
    static const int parts[] = {120, 260, -1};
    static const int simpleParts[] = {-1};
    return {
        {"SB_SETPARTS", kivtest::SendStep(SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts))},
        {"SB_GETPARTS", kivtest::SendStep(SB_GETPARTS, 0, 0)},
        {"SB_SETTEXT 0", [](HWND bar, std::string&) { return SetText(bar, 0, L"Ready\tcentre\tright"); }},
        {"SB_SETTEXT 1 popout", [](HWND bar, std::string&) { return SetText(bar, 1 | SBT_POPOUT, L"Line 3"); }},
        {"SB_SETTEXT 2 owner", kivtest::SendStep(SB_SETTEXTW, 2 | SBT_OWNERDRAW, 0x1234)},
        {"SB_GETTEXT 0", text(0)},
        {"SB_GETTEXT 2 owner", text(2)},
        {"SB_GETTEXTLENGTH 1", kivtest::SendStep(SB_GETTEXTLENGTHW, 1, 0)},
        {"SB_GETRECT 1", kivtest::RectStep(SB_GETRECT, 1)},
        {"SB_SETICON", kivtest::SendStep(SB_SETICON, 1, reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_INFORMATION)))},
        {"SB_GETICON", [](HWND bar, std::string&) { return static_cast<LRESULT>(SendMessageW(bar, SB_GETICON, 1, 0) != 0); }},
        {"SB_SETBKCOLOR", kivtest::SendStep(SB_SETBKCOLOR, 0, RGB(10, 20, 30))},
        {"SB_SETBKCOLOR back", kivtest::SendStep(SB_SETBKCOLOR, 0, CLR_DEFAULT)},
        {"SB_SETMINHEIGHT", kivtest::SendStep(SB_SETMINHEIGHT, 30, 0)},
        {"WM_SIZE", kivtest::SendStep(WM_SIZE, 0, 0)},
        {"SB_GETRECT 0 after size", kivtest::RectStep(SB_GETRECT, 0)},
        {"SB_SIMPLE on", kivtest::SendStep(SB_SIMPLE, TRUE, 0)},
        {"SB_ISSIMPLE", kivtest::SendStep(SB_ISSIMPLE, 0, 0)},
        {"SB_SETTEXT simple", [](HWND bar, std::string&) { return SetText(bar, SB_SIMPLEID, L"Simple"); }},
        {"SB_GETTEXT simple", text(0)},
        {"SB_SIMPLE off", kivtest::SendStep(SB_SIMPLE, FALSE, 0)},
        {"SB_SETPARTS one", kivtest::SendStep(SB_SETPARTS, 1, reinterpret_cast<LPARAM>(simpleParts))},
        {"SB_GETPARTS one", kivtest::SendStep(SB_GETPARTS, 0, 0)},
        {"WM_GETFONT set", [](HWND bar, std::string&) { return static_cast<LRESULT>(SendMessageW(bar, WM_GETFONT, 0, 0) != 0); }},
        {"GWL_STYLE", [](HWND bar, std::string&) { return GetWindowLongPtrW(bar, GWL_STYLE); }},
    };
}

std::vector<std::string> PlayStatus(bool skinned)
{
    CommonHost host(skinned);
    const HWND bar = host.Control(STATUSCLASSNAMEW, SBARS_SIZEGRIP, 0, 0, 0, 0, kStatusId);
    REQUIRE(bar != nullptr);
    CHECK((dynamic_cast<CKivStatusBarCtrl*>(CKivWnd::FromHandle(bar)) != nullptr) == skinned);
    return kivtest::PlayScript(bar, StatusScript());
}

struct Bar
{
    explicit Bar(bool skinned) : host(skinned)
    {
        bar = host.Control(STATUSCLASSNAMEW, SBARS_SIZEGRIP, 0, 0, 0, 0, kStatusId);
        static const int parts[] = {150, 300, -1};
        SendMessageW(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
        SetText(bar, 0, L"MMMMMMMM");
        SetText(bar, 1, L"\tcentred");
        SendMessageW(bar, SB_SETTEXTW, 2 | SBT_OWNERDRAW, 7);
        kivtest::Settle(host.Window());
    }
    RECT Part(int index) const { return kivtest::AskRect(bar, SB_GETRECT, index); }
    CommonHost host;
    HWND bar = nullptr;
};

}  // namespace

TEST_CASE("status bar: calls, owner-draw requests and answers are the same skinned and unskinned")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    const std::vector<std::string> plain = PlayStatus(false);
    const std::vector<std::string> skinned = PlayStatus(true);
    // The owner-drawn part was really asked for while the bar painted.
    bool drawItem = false;
    for (const std::string& line : plain)
        drawItem = drawItem || line.find("WM_DRAWITEM id 300 item 2") != std::string::npos;
    CHECK(drawItem);
    CHECK(kivtest::SamePlay(plain, skinned));
}

TEST_CASE("status bar: the skin's bar, readable texts, the host's own part and a grip, with both shipped skins")
{
    for (const wchar_t* skin : {L"default.kiv", L"dark.kiv"})
    {
        CAPTURE(std::string(skin, skin + wcslen(skin)));
        REQUIRE(kivtest::LoadShippedSkin(skin));
        const CKivCommonLook& look = CKivCommonLook::Current();
        {
            // Unskinned, the same places show the system's face and the host's part.
            Bar plain(false);
            const RECT first = plain.Part(0);
            const int middle = (first.top + first.bottom) / 2;
            CHECK(kivtest::ScreenPixel(plain.bar, first.right - 4, middle) == GetSysColor(COLOR_BTNFACE));
            CHECK(kivtest::ScreenPixel(plain.bar, plain.Part(2).left + 10, middle) == kOwnerDrawn);
        }
        Bar skinned(true);
        REQUIRE(dynamic_cast<CKivStatusBarCtrl*>(CKivWnd::FromHandle(skinned.bar)) != nullptr);
        const RECT first = skinned.Part(0);
        const int middle = (first.top + first.bottom) / 2;
        // Beside the text, inside the first part: the bar.
        const COLORREF back = kivtest::ScreenPixel(skinned.bar, first.right - 4, middle);
        CHECK(kivtest::Contrast(back, look.bar.text) >= 4.5);
        if (look.bar.luminance < 0.2)
            CHECK(kivtest::Contrast(back, GetSysColor(COLOR_BTNFACE)) > 3.0);
        // The text is there and reads on that bar.
        const RECT text = {first.left + 2, first.top + 1, first.left + 60, first.bottom - 1};
        CHECK(kivtest::BestContrastIn(skinned.bar, text, back) >= 4.5);
        // The tab-centred text of the second part is drawn in its middle only.
        const RECT second = skinned.Part(1);
        const int centre = (second.left + second.right) / 2;
        CHECK(kivtest::BestContrastIn(skinned.bar, RECT{centre - 15, second.top + 2, centre + 15, second.bottom - 2},
                                      back) >= 4.5);
        CHECK(kivtest::BestContrastIn(skinned.bar, RECT{second.left + 2, second.top + 2, second.left + 20, second.bottom - 2},
                                      back) < 1.5);
        // What the host drew into its own part stays.
        CHECK(kivtest::ScreenPixel(skinned.bar, skinned.Part(2).left + 10, middle) == kOwnerDrawn);
        // The grip's dots in the bottom-right corner differ from the bar.
        RECT client = {};
        GetClientRect(skinned.bar, &client);
        const std::vector<COLORREF> grip =
            kivtest::ScreenBox(skinned.bar, RECT{client.right - 12, client.bottom - 12, client.right, client.bottom});
        int dots = 0;
        for (COLORREF pixel : grip)
            dots += kivtest::Contrast(pixel, back) > 1.5 ? 1 : 0;
        CHECK(dots >= 6);
    }
}

TEST_CASE("status bar: a background colour the host sets stays, with texts that read on it")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Bar bar(true);
    const COLORREF own = RGB(255, 250, 170);
    SendMessageW(bar.bar, SB_SETBKCOLOR, 0, own);
    kivtest::Settle(bar.host.Window());
    const RECT first = bar.Part(0);
    CHECK(kivtest::ScreenPixel(bar.bar, first.right - 4, (first.top + first.bottom) / 2) == own);
    CHECK(kivtest::BestContrastIn(bar.bar, RECT{first.left + 2, first.top + 1, first.left + 60, first.bottom - 1}, own) >=
          4.5);
    // Back to the default: the skin's bar again.
    SendMessageW(bar.bar, SB_SETBKCOLOR, 0, CLR_DEFAULT);
    kivtest::Settle(bar.host.Window());
    CHECK(kivtest::ScreenPixel(bar.bar, first.right - 4, (first.top + first.bottom) / 2) != own);
}

TEST_CASE("status bar: a skinned bar repaints without holding GDI objects")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Bar bar(true);
    auto repaint = [&] {
        SendMessageW(bar.bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"changing"));
        kivtest::Settle(bar.bar);
    };
    kivtest::CheckRepaintsHoldNoGdi(repaint, 100);
}
