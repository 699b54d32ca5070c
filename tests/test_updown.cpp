// Up-down skin: the same calls, clicks and keys give the same answers, buddy
// texts and notifications skinned and unskinned; the buttons are drawn in the
// skin's scroll bar colours with arrows that read, pressed while held, laid out
// where the control hit-tests them; and repainting holds no GDI objects.
#include <doctest.h>
#include "CKivCommonLook.h"
#include "CKivUpDownCtrl.h"
#include "CKivWnd.h"
#include "KivCommonHost.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <string>
#include <vector>

using kivtest::CommonHost;
using kivtest::ScriptStep;

namespace {

const int kUpDownId = 700;
const int kEditId = 701;

// An up-down aligned right of an edit buddy. The edit is made without the
// hook, so only the up-down's skin differs between the runs.
struct Spin
{
    Spin(bool skinned, DWORD style = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS) : host(skinned)
    {
        edit = CreateWindowExW(0, WC_EDITW, L"0", WS_CHILD | WS_VISIBLE | WS_BORDER, 20, 20, 80, 24, host.Window(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), GetModuleHandleW(nullptr),
                               nullptr);
        upDown = host.Control(UPDOWN_CLASSW, style, 120, 20, 40, 22, kUpDownId);
        SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        SendMessageW(upDown, UDM_SETRANGE32, 0, 20);
        SendMessageW(upDown, UDM_SETPOS32, 0, 5);
        kivtest::Settle(host.Window());
    }
    CommonHost host;
    HWND edit = nullptr;
    HWND upDown = nullptr;
};

LPARAM Centre(const RECT& r)
{
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

std::vector<ScriptStep> SpinScript(Spin& spin)
{
    RECT client = {};
    GetClientRect(spin.upDown, &client);
    // The halves the control hit-tests (its client area split at the middle).
    const RECT up = {client.left, client.top + 3, client.right - 3, client.bottom / 2 - 1};
    const RECT down = {client.left, client.bottom / 2 + 1, client.right - 3, client.bottom - 3};
    auto click = [](LPARAM at) {
        return [=](HWND control, std::string&) {
            SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
            return SendMessageW(control, WM_LBUTTONUP, 0, at);
        };
    };
    const HWND edit = spin.edit;
    auto buddyText = [edit](HWND, std::string& out) {
        wchar_t text[16] = {};
        GetWindowTextW(edit, text, 16);
        for (const wchar_t* c = text; *c; ++c)
            out += static_cast<char>(*c);
        return static_cast<LRESULT>(0);
    };
    auto key = [edit](WPARAM vk) {
        return [=](HWND, std::string&) {
            SetFocus(edit);
            SendMessageW(edit, WM_KEYDOWN, vk, 1);
            return SendMessageW(edit, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
        };
    };
    return {
        {"UDM_GETPOS32", kivtest::SendStep(UDM_GETPOS32, 0, 0)},
        {"UDM_GETRANGE32", [](HWND control, std::string& out) {
             int low = -1, high = -1;
             const LRESULT answer = SendMessageW(control, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                                                 reinterpret_cast<LPARAM>(&high));
             out = std::to_string(low) + ".." + std::to_string(high);
             return answer;
         }},
        {"click up", click(Centre(up))},
        {"buddy after up", buddyText},
        {"click down", click(Centre(down))},
        {"click down again", click(Centre(down))},
        {"buddy after down", buddyText},
        {"VK_UP in buddy", key(VK_UP)},
        {"VK_DOWN in buddy", key(VK_DOWN)},
        {"UDM_GETPOS32 after keys", kivtest::SendStep(UDM_GETPOS32, 0, 0)},
        {"UDM_SETBASE 16", kivtest::SendStep(UDM_SETBASE, 16, 0)},
        {"UDM_SETPOS32", kivtest::SendStep(UDM_SETPOS32, 0, 12)},
        {"buddy hex", buddyText},
        {"UDM_GETBUDDY", [edit](HWND control, std::string&) {
             return static_cast<LRESULT>(reinterpret_cast<HWND>(SendMessageW(control, UDM_GETBUDDY, 0, 0)) == edit);
         }},
        {"EnableWindow off", [](HWND control, std::string&) { return static_cast<LRESULT>(EnableWindow(control, FALSE)); }},
        {"click up disabled", click(Centre(up))},
        {"EnableWindow on", [](HWND control, std::string&) { return static_cast<LRESULT>(EnableWindow(control, TRUE)); }},
        {"UDM_GETPOS32 end", kivtest::SendStep(UDM_GETPOS32, 0, 0)},
        {"GWL_STYLE", [](HWND control, std::string&) { return GetWindowLongPtrW(control, GWL_STYLE); }},
    };
}

std::vector<std::string> PlaySpin(bool skinned)
{
    Spin spin(skinned);
    CHECK((dynamic_cast<CKivUpDownCtrl*>(CKivWnd::FromHandle(spin.upDown)) != nullptr) == skinned);
    return kivtest::PlayScript(spin.upDown, SpinScript(spin));
}

}  // namespace

TEST_CASE("up-down: answers, buddy texts and notifications are the same skinned and unskinned")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    const std::vector<std::string> plain = PlaySpin(false);
    const std::vector<std::string> skinned = PlaySpin(true);
    int deltas = 0;
    for (const std::string& line : plain)
        deltas += line.find("code " + std::to_string(static_cast<int>(UDN_DELTAPOS))) != std::string::npos ? 1 : 0;
    CHECK(deltas >= 3);
    CHECK(kivtest::SamePlay(plain, skinned));
}

TEST_CASE("up-down: the skin's buttons where the control has them, arrows that read, pressed while held")
{
    for (const wchar_t* skin : {L"default.kiv", L"dark.kiv"})
    {
        CAPTURE(std::string(skin, skin + wcslen(skin)));
        REQUIRE(kivtest::LoadShippedSkin(skin));
        const CKivCommonLook& look = CKivCommonLook::Current();
        for (DWORD style : {static_cast<DWORD>(UDS_ALIGNRIGHT | UDS_SETBUDDYINT), static_cast<DWORD>(UDS_HORZ)})
        {
            CAPTURE(style);
            Spin spin(true, style);
            CKivUpDownCtrl* skinObject = dynamic_cast<CKivUpDownCtrl*>(CKivWnd::FromHandle(spin.upDown));
            REQUIRE(skinObject != nullptr);
            RECT up = {}, down = {};
            skinObject->ButtonRects(&up, &down);
            REQUIRE(!IsRectEmpty(&up));
            REQUIRE(!IsRectEmpty(&down));
            // The increment button is up (or right), where clicks increment.
            if (style & UDS_HORZ)
                CHECK(up.left >= down.right);
            else
                CHECK(up.bottom <= down.top);
            const COLORREF face = kivtest::ScreenPixel(spin.upDown, up.left + 2, up.top + 2);
            CHECK(face == look.spin.colour);
            CHECK(kivtest::BestContrastIn(spin.upDown, up, face) >= 4.5);
            CHECK(kivtest::BestContrastIn(spin.upDown, down, face) >= 4.5);
            // Held down, the button shows pressed, and the value moved.
            const LRESULT before = SendMessageW(spin.upDown, UDM_GETPOS32, 0, 0);
            SendMessageW(spin.upDown, WM_LBUTTONDOWN, MK_LBUTTON, Centre(up));
            kivtest::Settle(spin.upDown);
            CHECK(kivtest::ScreenPixel(spin.upDown, up.left + 2, up.top + 2) == look.spinPressed.colour);
            SendMessageW(spin.upDown, WM_LBUTTONUP, 0, Centre(up));
            kivtest::Settle(spin.upDown);
            CHECK(SendMessageW(spin.upDown, UDM_GETPOS32, 0, 0) == before + 1);
            CHECK(kivtest::ScreenPixel(spin.upDown, up.left + 2, up.top + 2) != look.spinPressed.colour);
        }
    }
}

TEST_CASE("up-down: a skinned up-down repaints without holding GDI objects")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Spin spin(true);
    auto repaint = [&] {
        InvalidateRect(spin.upDown, nullptr, TRUE);
        kivtest::Settle(spin.upDown);
    };
    kivtest::CheckRepaintsHoldNoGdi(repaint, 100);
}
