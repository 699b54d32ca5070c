// List boxes, combo boxes and edits keep their behaviour under the skin: the
// real control answers every message, holds the items and sends the
// notifications; the skin only paints what it reads back from the control.
#include <doctest.h>
#include "CKivComboBox.h"
#include "CKivEditBox.h"
#include "CKivGdiObject.h"
#include "CKivListBox.h"
#include "CKivSysScrollBar.h"
#include "KivControlTestHost.h"
#include "KivGdiLeakOracle.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <functional>
#include <string>
#include <vector>

using kivtest::ControlHost;
namespace colours = kivtest::controlskin;

namespace {

const int kId = 300;

// One scripted message: its answer and whatever it wrote, as text.
using Step = std::function<std::string(HWND)>;

std::string Answer(LRESULT answer) { return std::to_string(static_cast<long long>(answer)); }

Step Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return [=](HWND control) { return Answer(SendMessageW(control, message, wParam, lParam)); };
}

Step SendText(UINT message, WPARAM wParam, const wchar_t* text)
{
    return [=](HWND control) { return Answer(SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(text))); };
}

// A text query into a buffer pre-filled with a marker, so unwritten or
// overrun buffers show.
Step ReadText(UINT message, WPARAM wParam)
{
    return [=](HWND control) {
        wchar_t buffer[64];
        for (wchar_t& c : buffer)
            c = L'#';
        const LRESULT answer = SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(buffer));
        buffer[63] = 0;
        std::string text;
        for (wchar_t c : buffer)
            text += static_cast<char>(c & 0x7F);
        return Answer(answer) + " " + text;
    };
}

Step ReadRect(UINT message, WPARAM wParam)
{
    return [=](HWND control) {
        RECT r{-7, -7, -7, -7};
        const LRESULT answer = SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(&r));
        return Answer(answer) + " " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
               std::to_string(r.right) + "," + std::to_string(r.bottom);
    };
}

Step ReadSelItems()
{
    return [](HWND control) {
        int items[8] = {-9, -9, -9, -9, -9, -9, -9, -9};
        const LRESULT answer = SendMessageW(control, LB_GETSELITEMS, 8, reinterpret_cast<LPARAM>(items));
        std::string text = Answer(answer);
        for (int item : items)
            text += " " + std::to_string(item);
        return text;
    };
}

Step ReadRange(UINT message)
{
    return [=](HWND control) {
        int low = -9;
        int high = -9;
        const LRESULT answer =
            SendMessageW(control, message, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
        return Answer(answer) + " " + std::to_string(low) + ".." + std::to_string(high);
    };
}

Step ReadScrollInfo(UINT size, UINT mask)
{
    return [=](HWND control) {
        struct
        {
            SCROLLINFO info;
            int guard;
        } block;
        memset(&block, 0xCD, sizeof(block));
        block.info.cbSize = size;
        block.info.fMask = mask;
        block.guard = 0x5A5A5A5A;
        const LRESULT answer = SendMessageW(control, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&block.info));
        const SCROLLINFO& i = block.info;
        return Answer(answer) + " " + std::to_string(i.nMin) + " " + std::to_string(i.nMax) + " " +
               std::to_string(i.nPage) + " " + std::to_string(i.nPos) + " guard " + std::to_string(block.guard);
    };
}

Step SetScrollInfoStep(UINT mask, int minimum, int maximum, UINT page, int position)
{
    return [=](HWND control) {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = mask;
        info.nMin = minimum;
        info.nMax = maximum;
        info.nPage = page;
        info.nPos = position;
        return Answer(SendMessageW(control, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info)));
    };
}

Step Key(UINT key)
{
    return [=](HWND control) {
        SendMessageW(control, WM_KEYDOWN, key, 0);
        SendMessageW(control, WM_KEYUP, key, 0xC0000000);
        return std::string("key");
    };
}

Step Call(std::function<LRESULT(HWND)> call)
{
    return [=](HWND control) { return Answer(call(control)); };
}

const LPARAM kBigData = static_cast<LPARAM>(sizeof(LPARAM) == 8 ? 0x123456789ABCDEF0ll : 0x12345678l);

struct Script
{
    const char* name;
    const wchar_t* className;
    DWORD style;
    std::vector<Step> steps;
};

std::vector<Script> Scripts()
{
    const std::vector<Step> listItems = {
        SendText(LB_ADDSTRING, 0, L"pear"), SendText(LB_ADDSTRING, 0, L"apple"), SendText(LB_ADDSTRING, 0, L"fig"),
        SendText(LB_INSERTSTRING, 1, L"kiwi"), SendText(LB_ADDSTRING, 0, L"Apricot"), Send(LB_GETCOUNT, 0, 0),
        ReadText(LB_GETTEXT, 0), ReadText(LB_GETTEXT, 3), ReadText(LB_GETTEXT, 9), Send(LB_GETTEXTLEN, 2, 0),
        SendText(LB_FINDSTRING, static_cast<WPARAM>(-1), L"ap"), SendText(LB_FINDSTRING, 1, L"ap"),
        SendText(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), L"FIG"), Send(LB_SETITEMDATA, 2, kBigData),
        Send(LB_GETITEMDATA, 2, 0), Send(LB_GETITEMDATA, 42, 0)};
    std::vector<Step> single = listItems;
    const std::vector<Step> singleTail = {
        Send(LB_SETCURSEL, 2, 0), Send(LB_GETCURSEL, 0, 0), Send(LB_SETCURSEL, static_cast<WPARAM>(-1), 0),
        Send(LB_GETCURSEL, 0, 0), SendText(LB_SELECTSTRING, static_cast<WPARAM>(-1), L"k"), Send(LB_GETCURSEL, 0, 0),
        Send(LB_SETSEL, TRUE, 1), Key(VK_END), Send(LB_GETCURSEL, 0, 0), Key(VK_HOME), Send(LB_GETCURSEL, 0, 0),
        Key(VK_DOWN), Send(LB_GETCARETINDEX, 0, 0), Send(WM_CHAR, 'p', 0), Send(LB_GETCURSEL, 0, 0),
        Send(LB_SETTOPINDEX, 3, 0), Send(LB_GETTOPINDEX, 0, 0), ReadRect(LB_GETITEMRECT, 1), ReadRect(LB_GETITEMRECT, 99),
        Send(LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 20)), Send(LB_GETITEMHEIGHT, 0, 0), Send(LB_SETITEMHEIGHT, 0, 20),
        Send(LB_GETITEMHEIGHT, 0, 0), Send(LB_DELETESTRING, 0, 0), Send(LB_DELETESTRING, 99, 0), Send(LB_GETCOUNT, 0, 0),
        SendText(LB_DIR, DDL_READWRITE, L"C:\\windows\\*.exe"), Send(LB_GETCOUNT, 0, 0), ReadText(LB_GETTEXT, 5),
        Send(LB_RESETCONTENT, 0, 0), Send(LB_GETCOUNT, 0, 0)};
    single.insert(single.end(), singleTail.begin(), singleTail.end());
    std::vector<Step> extended = listItems;
    const std::vector<Step> extendedTail = {
        Send(LB_SETSEL, TRUE, static_cast<LPARAM>(-1)), Send(LB_GETSELCOUNT, 0, 0), ReadSelItems(),
        Send(LB_SETSEL, FALSE, 2), ReadSelItems(), Send(LB_SELITEMRANGEEX, 3, 1), ReadSelItems(),
        Send(LB_SELITEMRANGE, FALSE, MAKELPARAM(0, 4)), Send(LB_GETSELCOUNT, 0, 0), Send(LB_SETCURSEL, 1, 0),
        Send(LB_GETSEL, 1, 0), Send(LB_SETCARETINDEX, 4, 0), Send(LB_GETCARETINDEX, 0, 0), Send(LB_SETANCHORINDEX, 2, 0),
        Send(LB_GETANCHORINDEX, 0, 0), Key(VK_END), ReadSelItems()};
    extended.insert(extended.end(), extendedTail.begin(), extendedTail.end());
    const std::vector<Step> combo = {
        SendText(CB_ADDSTRING, 0, L"pear"), SendText(CB_ADDSTRING, 0, L"apple"), SendText(CB_INSERTSTRING, 0, L"fig"),
        Send(CB_GETCOUNT, 0, 0), ReadText(CB_GETLBTEXT, 1), ReadText(CB_GETLBTEXT, 7), Send(CB_GETLBTEXTLEN, 2, 0),
        SendText(CB_FINDSTRING, static_cast<WPARAM>(-1), L"pe"), SendText(CB_FINDSTRINGEXACT, 0, L"APPLE"),
        Send(CB_SETITEMDATA, 1, kBigData), Send(CB_GETITEMDATA, 1, 0), Send(CB_SETCURSEL, 2, 0), Send(CB_GETCURSEL, 0, 0),
        ReadText(WM_GETTEXT, 64), SendText(CB_SELECTSTRING, static_cast<WPARAM>(-1), L"ap"), Send(CB_GETCURSEL, 0, 0),
        Send(CB_SHOWDROPDOWN, TRUE, 0), Send(CB_GETDROPPEDSTATE, 0, 0), Send(CB_SHOWDROPDOWN, FALSE, 0),
        Send(CB_GETDROPPEDSTATE, 0, 0), Key(VK_DOWN), Send(CB_GETCURSEL, 0, 0), Send(CB_GETITEMHEIGHT, 0, 0),
        Send(CB_DELETESTRING, 0, 0), Send(CB_GETCOUNT, 0, 0), Send(CB_RESETCONTENT, 0, 0), Send(CB_GETCOUNT, 0, 0)};
    const std::vector<Step> bar = {
        ReadScrollInfo(sizeof(SCROLLINFO), SIF_ALL), Send(SBM_SETRANGE, 0, 100), Send(SBM_SETPOS, 50, TRUE),
        Send(SBM_GETPOS, 0, 0), Send(SBM_SETPOS, 500, TRUE), Send(SBM_GETPOS, 0, 0), Send(SBM_SETPOS, static_cast<WPARAM>(-20), TRUE),
        ReadRange(SBM_GETRANGE), Send(SBM_SETRANGEREDRAW, 10, 20), Send(SBM_GETPOS, 0, 0),
        SetScrollInfoStep(SIF_PAGE, 0, 0, 5, 0), SetScrollInfoStep(SIF_POS, 0, 0, 0, 19), ReadScrollInfo(sizeof(SCROLLINFO), SIF_ALL),
        SetScrollInfoStep(SIF_ALL, 0, 99999, 1000, 70000), ReadScrollInfo(sizeof(SCROLLINFO), SIF_ALL),
        ReadScrollInfo(sizeof(SCROLLINFO) - 4, SIF_ALL), ReadScrollInfo(sizeof(SCROLLINFO), SIF_POS),
        SetScrollInfoStep(SIF_RANGE | SIF_DISABLENOSCROLL, 5, 5, 0, 0), ReadScrollInfo(sizeof(SCROLLINFO), SIF_ALL),
        Call([](HWND h) { return SetScrollRange(h, SB_CTL, 0, 200000, TRUE); }),
        Call([](HWND h) { return SetScrollPos(h, SB_CTL, 150000, TRUE); }), Call([](HWND h) { return GetScrollPos(h, SB_CTL); }),
        Send(SBM_ENABLE_ARROWS, ESB_DISABLE_UP, 0), Key(VK_DOWN), Key(VK_END)};
    return {
        {"sorted list", L"LISTBOX", LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER, single},
        {"unsorted list", L"LISTBOX", LBS_NOTIFY | WS_VSCROLL, single},
        {"extended list", L"LISTBOX", LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL, extended},
        {"multiple list", L"LISTBOX", LBS_MULTIPLESEL | WS_VSCROLL, extended},
        {"drop-down combo", L"COMBOBOX", CBS_DROPDOWN | CBS_SORT | WS_VSCROLL, combo},
        {"drop-down list combo", L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, combo},
        {"simple combo", L"COMBOBOX", CBS_SIMPLE, combo},
        {"horizontal scroll bar", L"SCROLLBAR", SBS_HORZ, bar},
        {"vertical scroll bar", L"SCROLLBAR", SBS_VERT | WS_TABSTOP, bar},
    };
}

std::vector<std::string> Play(const Script& script, bool skinned)
{
    ControlHost host;
    const HWND control = host.Control(script.className, script.style | WS_TABSTOP, 10, 10, 200, 120, kId, skinned);
    REQUIRE(control != nullptr);
    // Both ways must really differ in their procedure chain.
    CHECK((CKivWnd::FromHandle(control) != nullptr) == skinned);
    SetFocus(control);
    std::vector<std::string> out;
    for (const Step& step : script.steps)
    {
        ControlHost::Clear();
        std::string entry = step(control);
        kivtest::PumpPending();
        for (int code : ControlHost::Commands(kId))
            entry += " cmd" + std::to_string(code);
        for (int code : ControlHost::ScrollCodes())
            entry += " sb" + std::to_string(code);
        out.push_back(entry);
    }
    return out;
}

}  // namespace

TEST_CASE("LB_, CB_ and SBM_ round trips answer alike skinned and unskinned")
{
    kivtest::InstallControlSkin();
    for (const Script& script : Scripts())
    {
        const std::string name = script.name;
        CAPTURE(name);
        const std::vector<std::string> plain = Play(script, false);
        const std::vector<std::string> skinned = Play(script, true);
        REQUIRE(plain.size() == skinned.size());
        for (size_t i = 0; i < plain.size(); ++i)
        {
            CAPTURE(i);
            CHECK(skinned[i] == plain[i]);
        }
    }
}
