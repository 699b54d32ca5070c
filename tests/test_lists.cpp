// List boxes, combo boxes and edits keep their behaviour under the skin: the
// real control answers every message, holds the items and sends the
// notifications; the skin only paints what it reads back from the control.
#include <doctest.h>
#include "CKivComboBox.h"
#include "CKivEditBox.h"
#include "CKivGdiObject.h"
#include "CKivListBox.h"
#include "CKivSkinStore.h"
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

// A mouse message at the middle of a combo box's button.
Step AtComboButton(UINT message)
{
    return [=](HWND control) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        GetComboBoxInfo(control, &info);
        const int x = (info.rcButton.left + info.rcButton.right) / 2;
        const int y = (info.rcButton.top + info.rcButton.bottom) / 2;
        return Answer(SendMessageW(control, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y)));
    };
}

// A colour message without a DC sent to a combo box about its edit (or
// face): nothing for a skin to colour, so the answer is the combo's parent's.
Step ComboColour(UINT message)
{
    return [=](HWND control) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        GetComboBoxInfo(control, &info);
        return Answer(SendMessageW(control, message, 0, reinterpret_cast<LPARAM>(info.hwndItem)));
    };
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
        Send(CB_DELETESTRING, 0, 0), Send(CB_GETCOUNT, 0, 0), AtComboButton(WM_LBUTTONDOWN),
        Send(CB_GETDROPPEDSTATE, 0, 0), AtComboButton(WM_LBUTTONUP), Send(CB_SHOWDROPDOWN, FALSE, 0),
        ComboColour(KIV_WM_CTLCOLOR), ComboColour(WM_CTLCOLOREDIT), ComboColour(WM_CTLCOLORLISTBOX),
        ComboColour(WM_CTLCOLORSTATIC), ComboColour(WM_CTLCOLORBTN), Send(CB_RESETCONTENT, 0, 0), Send(CB_GETCOUNT, 0, 0)};
    const std::vector<Step> bar = {
        ReadScrollInfo(sizeof(SCROLLINFO), SIF_ALL), Send(SBM_SETRANGE, 0, 100), Send(SBM_SETPOS, 50, TRUE),
        Send(SBM_GETPOS, 0, 0), Send(SBM_SETPOS, 500, TRUE), Send(SBM_GETPOS, 0, 0), Send(SBM_SETPOS, static_cast<WPARAM>(-20), TRUE),
        ReadRange(SBM_GETRANGE), Send(SBM_SETRANGEREDRAW, 10, 20), Send(SBM_GETPOS, 0, 0),
        SetScrollInfoStep(SIF_PAGE, 0, 0, 5, 0), SetScrollInfoStep(SIF_POS, 0, 0, 0, 19), ReadScrollInfo(sizeof(SCROLLINFO), SIF_ALL),
        SetScrollInfoStep(SIF_ALL, 0, 99999, 1000, 70000), ReadScrollInfo(sizeof(SCROLLINFO), SIF_ALL),
        ReadScrollInfo(sizeof(SCROLLINFO) - 4, SIF_ALL), ReadScrollInfo(sizeof(SCROLLINFO), SIF_POS),
        SetScrollInfoStep(SIF_RANGE | SIF_DISABLENOSCROLL, 5, 5, 0, 0), ReadScrollInfo(sizeof(SCROLLINFO), SIF_ALL),
        Call(IsWindowEnabled), SetScrollInfoStep(SIF_RANGE | SIF_DISABLENOSCROLL, 0, 50, 0, 0), Call(IsWindowEnabled),
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

namespace {

int CountOf(const std::vector<int>& codes, int code)
{
    int count = 0;
    for (int each : codes)
        count += each == code ? 1 : 0;
    return count;
}

// Pixels of a row (client coordinates) that differ from the background: text.
int InkInRow(const kivtest::Canvas& canvas, int top, int bottom, int right, COLORREF background)
{
    int ink = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < right; ++x)
            ink += canvas.Pixel(x, y) != background ? 1 : 0;
    return ink;
}

void PrintClient(HWND window, kivtest::Canvas& canvas)
{
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
}

// What the screen shows at a client point of a window.
COLORREF ScreenPixel(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// What the screen shows at a point of a window's own rectangle (frame included).
COLORREF WindowPixel(HWND window, int x, int y)
{
    RECT area{};
    GetWindowRect(window, &area);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, area.left + x, area.top + y);
    ReleaseDC(nullptr, screen);
    return colour;
}

void MoveMouseTo(POINT screen)
{
    SetCursorPos(screen.x, screen.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>(screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

void ClickMouse()
{
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

COMBOBOXINFO ComboInfo(HWND combo)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(combo, &info);
    return info;
}

}  // namespace

TEST_CASE("a list filled before the skin attached shows its items, selection and LB_DIR files, and keeps them after")
{
    kivtest::InstallControlSkin();
    ControlHost host;
    const HWND list =
        host.Control(L"LISTBOX", LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL | WS_BORDER, 10, 10, 200, 150, kId, false);
    for (const wchar_t* text : {L"one", L"two", L"three"})
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(list, LB_SETSEL, TRUE, 0);
    SendMessageW(list, LB_SETSEL, TRUE, 2);
    CKivListBox skin;
    REQUIRE(skin.Attach(list));
    REQUIRE(skin.Setup(CKivSkinStore::Settings()));
    RECT client{};
    GetClientRect(list, &client);
    const int row = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    REQUIRE(row > 4);
    kivtest::Canvas canvas(client.right, client.bottom, RGB(1, 2, 3));
    PrintClient(list, canvas);
    const int x = client.right - 3;
    CHECK(canvas.Pixel(x, row / 2) == colours::kListSelect);
    CHECK(canvas.Pixel(x, row + row / 2) == colours::kListBackground);
    CHECK(canvas.Pixel(x, 2 * row + row / 2) == colours::kListSelect);
    CHECK(canvas.Pixel(x, 3 * row + row / 2) == colours::kListBackground);
    CHECK(InkInRow(canvas, row, 2 * row, client.right, colours::kListBackground) > 5);
    CHECK(InkInRow(canvas, 3 * row, 4 * row, client.right, colours::kListBackground) == 0);
    CHECK(skin.Detach());
    CHECK(SendMessageW(list, LB_GETCOUNT, 0, 0) == 3);
    CHECK(SendMessageW(list, LB_GETSELCOUNT, 0, 0) == 2);

    const HWND files = host.Control(L"LISTBOX", WS_VSCROLL | WS_BORDER, 220, 10, 180, 150, kId + 1, true);
    REQUIRE(ControlHost::Skin<CKivListBox>(files) != nullptr);
    const LRESULT last = SendMessageW(files, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>(L"C:\\windows\\*.exe"));
    CHECK(last >= 0);
    kivtest::Canvas dir(client.right, client.bottom, RGB(1, 2, 3));
    PrintClient(files, dir);
    CHECK(InkInRow(dir, 0, row, 150, colours::kListBackground) > 5);
}

// Lists whose host draws the rows get the host-drawn list skin, which
// leaves the rows to the host (see test_hostdrawn_list.cpp).
TEST_CASE("owner-draw combos and size grips keep the system look; owner-draw lists keep their host's drawing and messages")
{
    kivtest::InstallControlSkin();
    ControlHost host;
    struct Row
    {
        const wchar_t* className;
        DWORD style;
        bool skinned;
    };
    const Row rows[] = {{L"LISTBOX", WS_VSCROLL, true},
                        {L"LISTBOX", LBS_OWNERDRAWFIXED, true},
                        {L"LISTBOX", LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, true},
                        {L"LISTBOX", LBS_NODATA | LBS_OWNERDRAWFIXED, true},
                        {L"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, false},
                        {L"COMBOBOX", CBS_DROPDOWNLIST, true},
                        {L"SCROLLBAR", SBS_SIZEGRIP, false},
                        {L"SCROLLBAR", SBS_SIZEBOX, false},
                        {L"SCROLLBAR", SBS_VERT, true}};
    int id = kId;
    for (const Row& row : rows)
    {
        CAPTURE(id);
        ControlHost::Clear();
        const HWND control = host.Control(row.className, row.style, 10, 10, 150, 100, id++, true);
        REQUIRE(control != nullptr);
        CHECK((CKivWnd::FromHandle(control) != nullptr) == row.skinned);
        // Never the skin that draws the rows itself.
        if (row.style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))
            CHECK(ControlHost::Skin<CKivListBox>(control) == nullptr);
        DestroyWindow(control);
    }
    // Item data is no string: the owner gets it back whole and draws the items.
    ControlHost::Clear();
    const HWND owned = host.Control(L"LISTBOX", LBS_OWNERDRAWFIXED, 10, 10, 150, 100, kId, true);
    CHECK(ControlHost::Count(WM_MEASUREITEM) > 0);
    CHECK(SendMessageW(owned, LB_ADDSTRING, 0, kBigData) == 0);
    CHECK(SendMessageW(owned, LB_GETITEMDATA, 0, 0) == kBigData);
    RedrawWindow(owned, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CHECK(ControlHost::Count(WM_DRAWITEM) > 0);
    SendMessageW(owned, LB_DELETESTRING, 0, 0);
    CHECK(ControlHost::Count(WM_DELETEITEM) == 1);
}

TEST_CASE("every keystroke's EN_CHANGE and CBN_EDITCHANGE reaches the host through a skinned parent")
{
    kivtest::InstallControlSkin();
    ControlHost host;
    CKivWnd parentSkin;
    REQUIRE(parentSkin.Attach(host.Window()));
    const HWND edit = host.Control(L"EDIT", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 150, 24, kId, true);
    REQUIRE(ControlHost::Skin<CKivEditBox>(edit) != nullptr);
    const HWND combo = host.Control(L"COMBOBOX", CBS_DROPDOWN, 10, 50, 150, 120, kId + 1, true);
    CKivComboBox* comboSkin = ControlHost::Skin<CKivComboBox>(combo);
    REQUIRE(comboSkin != nullptr);
    const COMBOBOXINFO info = ComboInfo(combo);
    REQUIRE(info.hwndItem != nullptr);
    CHECK(comboSkin->Edit().Window() == info.hwndItem);
    CHECK(comboSkin->DropDownList().Window() == info.hwndList);

    ControlHost::Clear();
    SetFocus(edit);
    for (wchar_t c : std::wstring(L"abc"))
        SendMessageW(edit, WM_CHAR, c, 1);
    kivtest::PumpPending();
    CHECK(CountOf(ControlHost::Commands(kId), EN_CHANGE) == 3);
    SetFocus(info.hwndItem);
    for (wchar_t c : std::wstring(L"xy"))
        SendMessageW(info.hwndItem, WM_CHAR, c, 1);
    kivtest::PumpPending();
    CHECK(CountOf(ControlHost::Commands(kId + 1), CBN_EDITCHANGE) == 2);
    wchar_t text[16] = {};
    GetWindowTextW(combo, text, 16);
    CHECK(std::wstring(text) == L"xy");
    parentSkin.Detach();
}

TEST_CASE("colour answers: one brush per skin, only skinned children asked, no GDI growth over 1,000 rounds")
{
    kivtest::InstallControlSkin();
    ControlHost host;
    CKivWnd parentSkin;
    REQUIRE(parentSkin.Attach(host.Window()));
    const HWND edit = host.Control(L"EDIT", WS_BORDER, 10, 10, 150, 24, kId, true);
    const HWND list = host.Control(L"LISTBOX", WS_BORDER | WS_VSCROLL, 10, 40, 150, 80, kId + 1, true);
    const HWND filtered = host.Control(L"LISTBOX", WS_BORDER, 170, 40, 150, 80, kId + 2, false);
    const HWND combo = host.Control(L"COMBOBOX", CBS_DROPDOWNLIST, 10, 130, 150, 120, kId + 3, true);
    const HWND bar = host.Control(L"SCROLLBAR", SBS_HORZ, 10, 170, 200, 18, kId + 4, true);
    CKivEditBox* editSkin = ControlHost::Skin<CKivEditBox>(edit);
    CKivListBox* listSkin = ControlHost::Skin<CKivListBox>(list);
    REQUIRE(editSkin != nullptr);
    REQUIRE(listSkin != nullptr);
    REQUIRE(ControlHost::Skin<CKivComboBox>(combo) != nullptr);
    REQUIRE(ControlHost::Skin<CKivSysScrollBar>(bar) != nullptr);
    ControlHost::ListBrush() = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    for (int i = 0; i < 30; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"row"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"face"));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    HDC dc = GetDC(host.Window());
    auto round = [&] {
        CHECK(SendMessageW(host.Window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)) ==
              reinterpret_cast<LRESULT>(editSkin->BackgroundBrush()));
        CHECK(SendMessageW(host.Window(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list)) ==
              reinterpret_cast<LRESULT>(listSkin->BackgroundBrush()));
        // A list the skin left alone (an identifier filter) keeps the host's answer.
        CHECK(SendMessageW(host.Window(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(filtered)) == reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)));
        for (HWND control : {edit, list, combo, bar})
            RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    };
    round();
    kivtest::GdiLeakOracle oracle;
    const long ours = CKivGdiObjectCount::Live();
    const long process = oracle.LiveObjects();
    REQUIRE(process > 0);
    const HBRUSH first = editSkin->BackgroundBrush();
    for (int i = 0; i < 1000; ++i)
        round();
    CHECK(editSkin->BackgroundBrush() == first);
    CHECK(CKivGdiObjectCount::Live() == ours);
    CHECK(oracle.LiveObjects() == process);
    ReleaseDC(host.Window(), dc);
    parentSkin.Detach();
}

TEST_CASE("borders only where the window has one, in the focus colour with the focus; list border and rows")
{
    kivtest::InstallControlSkin();
    ControlHost host;
    CKivWnd parentSkin;
    REQUIRE(parentSkin.Attach(host.Window()));
    const HWND edit = host.Control(L"EDIT", WS_BORDER, 10, 10, 150, 24, kId, true);
    const HWND plain = host.Control(L"EDIT", 0, 10, 50, 150, 24, kId + 1, true);
    const HWND sunken = host.Control(L"EDIT", 0, 10, 90, 150, 24, kId + 3, true, L"", WS_EX_CLIENTEDGE);
    const HWND list =
        host.Control(L"LISTBOX", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 200, 10, 150, 120, kId + 2, true);
    REQUIRE(ControlHost::Skin<CKivEditBox>(edit) != nullptr);
    REQUIRE(ControlHost::Skin<CKivEditBox>(plain) != nullptr);
    REQUIRE(ControlHost::Skin<CKivListBox>(list) != nullptr);
    SetFocus(host.Window());
    kivtest::PumpPending();
    CHECK(WindowPixel(edit, 0, 12) == colours::kEditNormal);
    CHECK(WindowPixel(edit, 75, 0) == colours::kEditNormal);
    CHECK(WindowPixel(sunken, 0, 12) == colours::kEditNormal);
    CHECK(WindowPixel(plain, 0, 12) == colours::kEditBackground);
    SetFocus(edit);
    kivtest::PumpPending();
    CHECK(WindowPixel(edit, 0, 12) == colours::kEditHot);
    CHECK(WindowPixel(edit, 149, 12) == colours::kEditHot);
    SetFocus(plain);
    kivtest::PumpPending();
    CHECK(WindowPixel(edit, 0, 12) == colours::kEditNormal);
    CHECK(WindowPixel(plain, 145, 0) == colours::kEditBackground);
    CHECK(WindowPixel(plain, 145, 12) == colours::kEditBackground);
    CHECK(WindowPixel(edit, 140, 12) == colours::kEditBackground);

    CHECK(WindowPixel(list, 0, 60) == colours::kListBorder);
    CHECK(WindowPixel(list, 75, 119) == colours::kListBorder);
    for (int i = 0; i < 3; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"item"));
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    kivtest::PumpPending();
    const int row = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    RECT client{};
    GetClientRect(list, &client);
    CHECK(ScreenPixel(list, client.right - 2, row + row / 2) == colours::kListSelect);
    CHECK(ScreenPixel(list, client.right - 2, row / 2) == colours::kListBackground);
    // A stand-alone list keeps the height its host gave it.
    RECT outer{};
    GetWindowRect(list, &outer);
    CHECK(outer.bottom - outer.top == 120);
    // Item heights are the control's to accept or refuse, as unskinned.
    const HWND unskinned =
        host.Control(L"LISTBOX", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 200, 140, 150, 120, kId + 4, false);
    CHECK(SendMessageW(list, LB_SETITEMHEIGHT, 0, 256) == LB_ERR);
    CHECK(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0) == row);
    for (const LPARAM height : {LPARAM(256), LPARAM(0), LPARAM(MAKELPARAM(0, 30)), LPARAM(255), LPARAM(20)})
    {
        CAPTURE(height);
        CHECK(SendMessageW(list, LB_SETITEMHEIGHT, 0, height) == SendMessageW(unskinned, LB_SETITEMHEIGHT, 0, height));
        CHECK(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0) == SendMessageW(unskinned, LB_GETITEMHEIGHT, 0, 0));
    }
    CHECK(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0) == 20);
    parentSkin.Detach();
}

namespace {

// Opens the drop-down, hovers item 2, clicks it; returns the combo's
// CBN_ codes from the click on and the row colour seen while hovering.
std::vector<int> ClickDropDown(bool skinned, COLORREF* hovered, COLORREF* buttonUp, COLORREF* buttonDown)
{
    ControlHost host;
    const HWND combo = host.Control(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 20, 20, 160, 200, kId, skinned);
    for (const wchar_t* text : {L"alpha", L"beta", L"gamma", L"delta"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    kivtest::PumpPending();
    const COMBOBOXINFO info = ComboInfo(combo);
    const int buttonX = (info.rcButton.left + info.rcButton.right) / 2;
    *buttonUp = ScreenPixel(combo, buttonX, info.rcButton.top + 2);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    kivtest::PumpUntil([&] { return IsWindowVisible(info.hwndList) != FALSE; }, 2000);
    kivtest::PumpPending();
    *buttonDown = ScreenPixel(combo, buttonX, info.rcButton.top + 2);
    RECT item{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    POINT point{item.right - 3, (item.top + item.bottom) / 2};
    ClientToScreen(info.hwndList, &point);
    MoveMouseTo(point);
    kivtest::PumpUntil([&] { return SendMessageW(info.hwndList, LB_GETCURSEL, 0, 0) == 2; }, 2000);
    kivtest::PumpPending();
    *hovered = ScreenPixel(info.hwndList, item.right - 3, (item.top + item.bottom) / 2);
    ControlHost::Clear();
    ClickMouse();
    kivtest::PumpUntil([] { return CountOf(ControlHost::Commands(kId), CBN_CLOSEUP) > 0; }, 3000);
    kivtest::PumpPending();
    CHECK(SendMessageW(combo, CB_GETCURSEL, 0, 0) == 2);
    std::vector<int> codes;
    for (int code : ControlHost::Commands(kId))
        if (code == CBN_SELCHANGE || code == CBN_SELENDOK || code == CBN_CLOSEUP || code == CBN_SELENDCANCEL)
            codes.push_back(code);
    return codes;
}

}  // namespace

TEST_CASE("drop-down: hover highlight, button states, and a click notifies as the system combo does")
{
    kivtest::InstallControlSkin();
    COLORREF hovered = 0;
    COLORREF up = 0;
    COLORREF down = 0;
    const std::vector<int> plain = ClickDropDown(false, &hovered, &up, &down);
    const std::vector<int> skinned = ClickDropDown(true, &hovered, &up, &down);
    // The order is the control's own (Wine: SELENDOK, CLOSEUP, SELCHANGE):
    // the skin must neither swallow nor reorder any of them.
    CHECK(skinned == plain);
    CHECK(skinned.size() == 3);
    CHECK(CountOf(skinned, CBN_SELCHANGE) == 1);
    CHECK(CountOf(skinned, CBN_SELENDOK) == 1);
    CHECK(CountOf(skinned, CBN_CLOSEUP) == 1);
    CHECK(hovered == colours::kComboListSelect);
    CHECK(up == colours::kComboButton);
    CHECK(down == colours::kComboButtonSelect);
}

TEST_CASE("a combo box filled while hidden has its list skin bound before it is ever shown")
{
    kivtest::InstallControlSkin();
    ControlHost host(false);
    const HWND combo = host.Control(L"COMBOBOX", CBS_DROPDOWN | WS_VSCROLL, 10, 10, 150, 150, kId, true);
    CKivComboBox* skin = ControlHost::Skin<CKivComboBox>(combo);
    REQUIRE(skin != nullptr);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"hidden"));
    const COMBOBOXINFO info = ComboInfo(combo);
    CHECK(skin->DropDownList().Window() == info.hwndList);
    CHECK(skin->DropDownList().IsDropDown());
    CHECK(skin->Edit().Window() == info.hwndItem);
    CHECK(SendMessageW(info.hwndList, LB_GETCOUNT, 0, 0) == 1);
}

TEST_CASE("only a drop-down is held to twenty rows")
{
    kivtest::InstallControlSkin();
    int rows[2] = {};
    for (int skinned = 0; skinned < 2; ++skinned)
    {
        ControlHost host(true, 300, 700);
        const HWND combo = host.Control(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 150, 650, kId, skinned != 0);
        CHECK((ControlHost::Skin<CKivComboBox>(combo) != nullptr) == (skinned != 0));
        for (int i = 0; i < 40; ++i)
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"row"));
        const COMBOBOXINFO info = ComboInfo(combo);
        SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        kivtest::PumpUntil([&] { return IsWindowVisible(info.hwndList) != FALSE; }, 2000);
        RECT client{};
        GetClientRect(info.hwndList, &client);
        const int height = static_cast<int>(SendMessageW(info.hwndList, LB_GETITEMHEIGHT, 0, 0));
        REQUIRE(height > 0);
        rows[skinned] = client.bottom / height;
        SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    }
    CHECK(rows[0] > 20);
    CHECK(rows[1] == 20);
}
