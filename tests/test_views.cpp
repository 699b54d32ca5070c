// List view, tree view and tab control skins on real controls inside a
// skinned dialog: the controls keep their behaviour (header drags, column
// clicks, selection with its notifications and veto, keys), the skin paints
// borders, backgrounds and the drawn tab strip, read back from the screen.
#include <doctest.h>
#include "CKivDirectTabCtrl.h"
#include "CKivEngine.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivListCtrl.h"
#include "CKivSkinStore.h"
#include "CKivTabCtrl.h"
#include "CKivTreeCtrl.h"
#include "CKivWnd.h"
#include "KivDialogTemplate.h"
#include "KivGdiLeakOracle.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <prsht.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

const COLORREF kDialogColour = RGB(250, 230, 210);
const COLORREF kListBorder = RGB(200, 20, 40);
const COLORREF kTreeBorder = RGB(30, 160, 60);
const COLORREF kTreeBack = RGB(220, 240, 200);
const COLORREF kTabNormal = RGB(64, 128, 192);
const COLORREF kTabHot = RGB(128, 192, 64);
const COLORREF kTabPressed = RGB(192, 64, 128);
const COLORREF kLine = RGB(255, 0, 255);
const COLORREF kLineSelected = RGB(0, 200, 200);
const COLORREF kTabBack = RGB(90, 30, 150);

void InstallSkin()
{
    kivtest::skin::Install();
    KivSkinSettings& s = CKivSkinStore::Settings();
    s.edgeEnableBackColor = 1;
    s.edgeBackgroundColor = static_cast<int>(kDialogColour);
    s.listControlBorderColor = static_cast<int>(kListBorder);
    s.listControlBackTransparent = 1;
    s.treeControlBorderColor = static_cast<int>(kTreeBorder);
    s.treeControlBackColor = static_cast<int>(kTreeBack);
    s.tabControlItemNormalColor = static_cast<int>(kTabNormal);
    s.tabControlItemHotColor = static_cast<int>(kTabHot);
    s.tabControlItemPressedColor = static_cast<int>(kTabPressed);
    s.tabControlBottomLineColor = static_cast<int>(kLine);
    s.tabControlBottomLineSelect = static_cast<int>(kLineSelected);
    s.tabControlBackgroundColor = static_cast<int>(kTabBack);
    s.tabControlTransparent = 0;
}

// What the dialog saw.
struct Notes
{
    std::vector<UINT> tabCodes;
    std::vector<int> selectionAtChanging;
    std::vector<int> selectionAtChange;
    LRESULT veto = 0;
    int columnClicks = 0;
    int lastColumn = -1;
    int closes = 0;
    int pageClicks = 0;
};
Notes g_notes;

INT_PTR OnDialogNotify(HWND dialog, const NMHDR& header)
{
    if (header.code == TCN_SELCHANGING || header.code == TCN_SELCHANGE)
    {
        g_notes.tabCodes.push_back(header.code);
        const int selection = static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0));
        if (header.code == TCN_SELCHANGE)
        {
            g_notes.selectionAtChange.push_back(selection);
            return FALSE;
        }
        g_notes.selectionAtChanging.push_back(selection);
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, g_notes.veto);
        return TRUE;
    }
    if (header.code == LVN_COLUMNCLICK)
    {
        ++g_notes.columnClicks;
        g_notes.lastColumn = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
    }
    return FALSE;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message)
    {
    case WM_INITDIALOG: return TRUE;
    case WM_NOTIFY: return OnDialogNotify(dialog, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_CLOSE: ++g_notes.closes; return TRUE;
    default: return FALSE;
    }
}

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN)
        ++g_notes.pageClicks;
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* PageClass()
{
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = PageProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"KivViewsPage";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        registered = RegisterClassW(&wc) != 0;
    }
    return L"KivViewsPage";
}

// A skinned dialog without caption in the foreground; controls made on it
// get their skin objects from the hook, as in a host program.
class Dialog
{
public:
    Dialog()
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
        g_notes = Notes();
        m_hooked = CKivEngine::Instance().Run() != FALSE;
        kivtest::DialogTemplate layout(WS_POPUP | WS_VISIBLE, 200, 150);
        m_window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), layout.Build(), nullptr, DialogProc, 0);
        SetWindowPos(m_window, HWND_TOP, 60, 60, 560, 420, SWP_SHOWWINDOW);
        SetForegroundWindow(m_window);
        Park();
        kivtest::PumpPending();
    }
    ~Dialog()
    {
        DestroyWindow(m_window);
        CKivEngine::Instance().Stop();
        kivtest::PumpPending();
    }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    bool Hooked() const { return m_hooked; }
    HWND Window() const { return m_window; }

    HWND Control(const wchar_t* cls, DWORD style, int x, int y, int width, int height, DWORD exStyle = 0)
    {
        HWND control = CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, width, height, m_window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(++m_nextId)),
                                       GetModuleHandleW(nullptr), nullptr);
        kivtest::PumpPending();
        return control;
    }

    // The colour the screen shows at a client point of a window.
    COLORREF Pixel(HWND window, int x, int y) const
    {
        POINT p = {x, y};
        MapWindowPoints(window, m_window, &p, 1);
        return DialogPixel(p);
    }
    // The same for a point of the window's frame (0, 0 is its top-left corner).
    COLORREF FramePixel(HWND window, int x, int y) const
    {
        RECT bounds = {};
        GetWindowRect(window, &bounds);
        POINT p = {bounds.left + x, bounds.top + y};
        ScreenToClient(m_window, &p);
        return DialogPixel(p);
    }
    COLORREF DialogPixel(POINT p) const
    {
        const HDC dc = GetDC(m_window);
        const COLORREF colour = GetPixel(dc, p.x, p.y);
        ReleaseDC(m_window, dc);
        return colour;
    }
    bool PumpUntilPixel(HWND window, int x, int y, COLORREF expected) const
    {
        return kivtest::PumpUntil([&] { return Pixel(window, x, y) == expected; }, 3000);
    }

    static void MoveTo(HWND window, int x, int y)
    {
        POINT p = {x, y};
        ClientToScreen(window, &p);
        SetCursorPos(p.x, p.y);
        // Wine moves the cursor asynchronously: the click must not land
        // where it was before.
        kivtest::PumpUntil(
            [&] {
                POINT now = {};
                return GetCursorPos(&now) && now.x == p.x && now.y == p.y;
            },
            2000);
        kivtest::PumpPending();
    }
    static void Button(bool down)
    {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &input, sizeof(input));
        kivtest::PumpPending();
    }
    static void Click(HWND window, int x, int y)
    {
        MoveTo(window, x, y);
        Button(true);
        Button(false);
    }
    void Park() const { MoveTo(m_window, 540, 400); }

private:
    HWND m_window = nullptr;
    bool m_hooked = false;
    int m_nextId = 1000;
};

void AddTabs(HWND tab, const std::vector<std::wstring>& captions)
{
    for (size_t i = 0; i < captions.size(); ++i)
    {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(captions[i].c_str());
        SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    kivtest::PumpPending();
}

template <typename T>
T* SkinOf(HWND window)
{
    return dynamic_cast<T*>(CKivWnd::FromHandle(window));
}

CKivTabCtrl* TabSkin(HWND tab)
{
    return SkinOf<CKivTabCtrl>(tab);
}

// A tab control on the dialog, skinned by the hook, with these tabs.
struct Tabs
{
    HWND tab;
    CKivTabCtrl* skin;
};
Tabs MakeTabs(Dialog& dialog, DWORD style, int width, int height, const std::vector<std::wstring>& captions)
{
    REQUIRE(dialog.Hooked());
    const HWND tab = dialog.Control(WC_TABCONTROLW, style, 20, 20, width, height);
    CKivTabCtrl* skin = TabSkin(tab);
    REQUIRE(skin != nullptr);
    AddTabs(tab, captions);
    return Tabs{tab, skin};
}

int CurSel(HWND tab)
{
    return static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
}

// A point inside strip button i, clear of its caption.
POINT ButtonPoint(const CKivTabCtrl& skin, int i)
{
    const CKivDirectPushButton* button = skin.Strip().Button(i);
    const RECT r = button ? button->Bounds() : RECT{};
    return POINT{r.left + 3, r.top + 3};
}

COLORREF ButtonPixel(const Dialog& dialog, HWND tab, const CKivTabCtrl& skin, int i)
{
    const POINT p = ButtonPoint(skin, i);
    return dialog.Pixel(tab, p.x, p.y);
}

int CheckedButtons(const CKivTabCtrl& skin)
{
    int checked = 0;
    for (int i = 0; i < skin.Strip().ButtonCount(); ++i)
        checked += skin.Strip().Button(i)->Checked();
    return checked;
}

void ClickButton(HWND tab, const CKivTabCtrl& skin, int i)
{
    const POINT p = ButtonPoint(skin, i);
    Dialog::Click(tab, p.x + 10, p.y + 2);
}

HWND g_menuKeysTo = nullptr;

int g_menusAnswered = 0;

// Once the popup menu shows: the keys of one choice, then the menu is done.
bool MenuShown(UINT_PTR timer)
{
    const HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu))
        return false;
    KillTimer(nullptr, timer);
    ++g_menusAnswered;
    return true;
}

void CALLBACK ChooseLastMenuItem(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!MenuShown(id))
        return;
    PostMessageW(g_menuKeysTo, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(g_menuKeysTo, WM_KEYDOWN, VK_RETURN, 0);
}

void CALLBACK CancelMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    if (MenuShown(id))
        PostMessageW(g_menuKeysTo, WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace

TEST_CASE("tab strip: a click asks the parent first, a refusal keeps the old tab, then the change is notified once")
{
    InstallSkin();
    Dialog dialog;
    const Tabs made = MakeTabs(dialog, 0, 400, 200, {L"One", L"Two", L"Three"});
    const HWND tab = made.tab;
    CKivTabCtrl* skin = made.skin;
    REQUIRE(skin->Strip().ButtonCount() == 3);
    CHECK(skin->Strip().SelectedTab() == 0);
    CHECK(dialog.PumpUntilPixel(tab, ButtonPoint(*skin, 0).x, ButtonPoint(*skin, 0).y, kTabPressed));
    CHECK(ButtonPixel(dialog, tab, *skin, 1) == kTabNormal);

    SUBCASE("accepted: SELCHANGING while the old tab is current, then the change, then SELCHANGE")
    {
        ClickButton(tab, *skin, 1);
        REQUIRE(kivtest::PumpUntil([] { return g_notes.tabCodes.size() >= 2; }, 3000));
        kivtest::PumpPending();
        CHECK(g_notes.tabCodes == std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE});
        CHECK(g_notes.selectionAtChanging == std::vector<int>{0});
        CHECK(g_notes.selectionAtChange == std::vector<int>{1});
        CHECK(CurSel(tab) == 1);
        CHECK(skin->Strip().SelectedTab() == 1);
        CHECK(CheckedButtons(*skin) == 1);
        CHECK(ButtonPixel(dialog, tab, *skin, 1) == kTabPressed);
        CHECK(ButtonPixel(dialog, tab, *skin, 0) == kTabNormal);
        // A click on the selected tab asks nothing.
        ClickButton(tab, *skin, 1);
        kivtest::PumpPending();
        CHECK(g_notes.tabCodes.size() == 2);
    }
    SUBCASE("refused: the old tab stays current and its button stays pressed")
    {
        g_notes.veto = TRUE;
        ClickButton(tab, *skin, 2);
        REQUIRE(kivtest::PumpUntil([] { return !g_notes.tabCodes.empty(); }, 3000));
        kivtest::PumpPending();
        CHECK(g_notes.tabCodes == std::vector<UINT>{TCN_SELCHANGING});
        CHECK(CurSel(tab) == 0);
        CHECK(skin->Strip().SelectedTab() == 0);
        CHECK(CheckedButtons(*skin) == 1);
        CHECK(ButtonPixel(dialog, tab, *skin, 0) == kTabPressed);
        CHECK(ButtonPixel(dialog, tab, *skin, 2) != kTabPressed);
    }
    dialog.Park();
}

TEST_CASE("tab strip follows the control: messages, ANSI items, keys, deletion; Alt+F4 still closes")
{
    InstallSkin();
    Dialog dialog;
    const Tabs made = MakeTabs(dialog, 0, 400, 200, {L"One", L"Two", L"Three"});
    const HWND tab = made.tab;
    CKivTabCtrl* skin = made.skin;

    SendMessageW(tab, TCM_SETCURSEL, 2, 0);
    CHECK(skin->Strip().SelectedTab() == 2);
    CHECK(g_notes.tabCodes.empty());  // the control does not notify its host's own change

    char ansi[] = "Ansi";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = ansi;
    CHECK(SendMessageA(tab, TCM_INSERTITEMA, 3, reinterpret_cast<LPARAM>(&item)) == 3);
    REQUIRE(skin->Strip().ButtonCount() == 4);
    CHECK(skin->Strip().Button(3)->Text() == L"Ansi");
    char renamed[] = "Renamed";
    item.pszText = renamed;
    SendMessageA(tab, TCM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    CHECK(skin->Strip().Button(0)->Text() == L"Renamed");
    CHECK(skin->Strip().SelectedTab() == 2);

    // Plain tabs select on TCM_SETCURFOCUS, with both notifications.
    SendMessageW(tab, TCM_SETCURFOCUS, 1, 0);
    CHECK(CurSel(tab) == 1);
    CHECK(skin->Strip().SelectedTab() == 1);
    CHECK(g_notes.tabCodes == std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE});

    // Arrow keys with the focus on the control switch tabs, as our screenshot tool does.
    SetFocus(tab);
    g_notes = Notes();
    PostMessageW(tab, WM_KEYDOWN, VK_RIGHT, 0);
    CHECK(kivtest::PumpUntil([&] { return CurSel(tab) == 2; }, 3000));
    CHECK(skin->Strip().SelectedTab() == 2);
    CHECK(g_notes.selectionAtChanging == std::vector<int>{1});
    PostMessageW(tab, WM_KEYDOWN, VK_LEFT, 0);
    CHECK(kivtest::PumpUntil([&] { return CurSel(tab) == 1; }, 3000));
    CHECK(skin->Strip().SelectedTab() == 1);

    // Alt+F4 reaches the dialog through the default procedure.
    PostMessageW(tab, WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(1) << 29);
    CHECK(kivtest::PumpUntil([] { return g_notes.closes == 1; }, 3000));

    // Deleting the selected tab leaves no tab selected and no button checked.
    SendMessageW(tab, TCM_DELETEITEM, 1, 0);
    CHECK(skin->Strip().ButtonCount() == 3);
    CHECK(skin->Strip().SelectedTab() == CurSel(tab));
    CHECK(CheckedButtons(*skin) == (CurSel(tab) >= 0 ? 1 : 0));
    SendMessageW(tab, TCM_DELETEALLITEMS, 0, 0);
    CHECK(skin->Strip().ButtonCount() == 0);
    CHECK(skin->Strip().Selected() == -1);
    // Posted requests for tabs that are not there are ignored.
    PostMessageW(tab, KIV_WM_TABSELECT, 7, 0);
    PostMessageW(tab, KIV_WM_DRAWNBUTTONCLICK, 5, 0);
    kivtest::PumpPending();
    CHECK(CurSel(tab) == -1);

    // A taller font makes taller tabs: the whole of them takes the mouse.
    AddTabs(tab, {L"Tall"});
    HFONT big = CreateFontW(-30, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, L"Arial");
    SendMessageW(tab, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
    const int height = skin->Strip().StripBand().bottom;
    CHECK(height > 22);
    POINT inside = {10, height - 2};
    POINT below = {10, height + 5};
    ClientToScreen(tab, &inside);
    ClientToScreen(tab, &below);
    CHECK(SendMessageW(tab, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)) == HTCLIENT);
    CHECK(SendMessageW(tab, WM_NCHITTEST, 0, MAKELPARAM(below.x, below.y)) == HTTRANSPARENT);
    SendMessageW(tab, WM_SETFONT, 0, FALSE);
    DeleteObject(big);

    // The control keeps its host's style, skinned and after detach: a
    // multi-line or button style would change its rows and keyboard.
    const LONG_PTR style = GetWindowLongPtrW(tab, GWL_STYLE);
    CHECK((style & (TCS_OWNERDRAWFIXED | TCS_MULTILINE | TCS_BUTTONS)) == 0);
    CHECK(SendMessageW(tab, TCM_GETROWCOUNT, 0, 0) == 1);
    REQUIRE(skin->Detach());
    CHECK(GetWindowLongPtrW(tab, GWL_STYLE) == style);
}

TEST_CASE("tab controls: an owner-drawn one keeps its host's drawing; hot tracking does not show through the strip")
{
    InstallSkin();
    Dialog dialog;
    REQUIRE(dialog.Hooked());
    const HWND owned = dialog.Control(WC_TABCONTROLW, TCS_OWNERDRAWFIXED | TCS_FIXEDWIDTH, 20, 20, 300, 100);
    CHECK(TabSkin(owned) == nullptr);
    DestroyWindow(owned);

    const Tabs made = MakeTabs(dialog, TCS_HOTTRACK, 300, 100, {L"One", L"Two", L"Three"});
    SendMessageW(made.tab, TCM_SETCURSEL, 0, 0);
    kivtest::PumpPending();
    const RECT band = made.skin->Strip().StripBand();
    auto bandPixels = [&] {
        std::vector<COLORREF> pixels;
        for (int y = band.top; y < band.bottom; ++y)
            for (int x = band.left; x < band.right; ++x)
                pixels.push_back(dialog.Pixel(made.tab, x, y));
        return pixels;
    };
    // The control draws the tab under the mouse itself as it moves; the strip
    // must be what shows once the mouse has gone past the last tab.
    for (int x = 2; x < band.right; x += 3)
        SendMessageW(made.tab, WM_MOUSEMOVE, 0, MAKELPARAM(x, (band.top + band.bottom) / 2));
    const std::vector<COLORREF> moved = bandPixels();
    RedrawWindow(made.tab, &band, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::vector<COLORREF> repainted = bandPixels();
    REQUIRE(moved.size() == repainted.size());
    size_t differing = 0;
    for (size_t i = 0; i < moved.size(); ++i)
        differing += moved[i] != repainted[i] ? 1 : 0;
    CHECK(differing == 0);
}

namespace {

RECT ItemRect(HWND tab, int index)
{
    RECT item = {};
    if (!SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return RECT{};
    return item;
}

int HitTest(HWND tab, POINT at)
{
    TCHITTESTINFO hit = {at, 0};
    return static_cast<int>(SendMessageW(tab, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

// Every button in view lies exactly where the control has its item, and the
// control's hit test at its middle names that item.
void CheckButtonsOnItems(HWND tab, const CKivDirectTabCtrl& strip)
{
    int shown = 0;
    for (int i = 0; i < strip.ButtonCount(); ++i)
    {
        if (!strip.IsShown(i))
            continue;
        ++shown;
        const CKivDirectPushButton* button = strip.Button(i);
        CAPTURE(i);
        const RECT bounds = button->Bounds();
        const RECT item = ItemRect(tab, button->TabIndex());
        CHECK(EqualRect(&bounds, &item));
        CHECK(HitTest(tab, POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2}) == button->TabIndex());
    }
    CHECK(shown > 0);
}

}  // namespace

TEST_CASE("tab strip: the buttons are the control's items: captions whole, hit tests and clicks agree")
{
    InstallSkin();
    Dialog dialog;
    const Tabs made = MakeTabs(dialog, 0, 480, 200, {L"Applications", L"Processes", L"Performance", L"Desktop Integration"});
    const HWND tab = made.tab;
    const CKivDirectTabCtrl& strip = made.skin->Strip();
    REQUIRE(strip.ButtonCount() == 4);
    CheckButtonsOnItems(tab, strip);
    CHECK_FALSE(strip.HasHiddenTabs());
    // Each caption fits its button: the control sized the item for it.
    const HDC dc = GetDC(tab);
    for (int i = 0; i < strip.ButtonCount(); ++i)
    {
        CAPTURE(i);
        const CKivDirectPushButton* button = strip.Button(i);
        SIZE extent = {};
        HGDIOBJ old = SelectObject(dc, CKivGraphics::GetSkinFont(0));
        GetTextExtentPoint32W(dc, button->Text().c_str(), static_cast<int>(button->Text().size()), &extent);
        SelectObject(dc, old);
        const RECT bounds = button->Bounds();
        CHECK(extent.cx < bounds.right - bounds.left);
        // Neighbours do not overlap.
        if (i > 0)
            CHECK(strip.Button(i - 1)->Bounds().right <= bounds.left);
    }
    ReleaseDC(tab, dc);
    // The pixels show them there: the selected tab pressed, the next normal.
    InvalidateRect(tab, nullptr, TRUE);
    UpdateWindow(tab);
    const RECT first = ItemRect(tab, 0);
    const RECT second = ItemRect(tab, 1);
    CHECK(dialog.PumpUntilPixel(tab, first.right - 2, first.top + 2, kTabPressed));
    CHECK(dialog.Pixel(tab, second.left + 2, second.top + 2) == kTabNormal);

    // A click lands on the tab the control would have hit.
    g_notes = Notes();
    const RECT third = ItemRect(tab, 2);
    Dialog::Click(tab, third.right - 3, (third.top + third.bottom) / 2);
    CHECK(kivtest::PumpUntil([&] { return CurSel(tab) == 2; }, 3000));
    CHECK(g_notes.tabCodes == std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE});
    CheckButtonsOnItems(tab, strip);

    // A multi-line control: its rows, and the selected row moved next to the page.
    const Tabs rows = MakeTabs(dialog, TCS_MULTILINE, 200, 150, {L"Applications", L"Processes", L"Performance", L"Users"});
    REQUIRE(SendMessageW(rows.tab, TCM_GETROWCOUNT, 0, 0) > 1);
    CheckButtonsOnItems(rows.tab, rows.skin->Strip());
    SendMessageW(rows.tab, TCM_SETCURSEL, 0, 0);
    CheckButtonsOnItems(rows.tab, rows.skin->Strip());
    const RECT band = rows.skin->Strip().StripBand();
    RECT last = {};
    for (int i = 0; i < 4; ++i)
    {
        const RECT item = ItemRect(rows.tab, i);
        last.bottom = std::max(last.bottom, item.bottom);
    }
    CHECK(band.bottom == last.bottom);

    // Captions are written in the font the control measured its items
    // with: a small font gives small items, and each caption still leaves
    // the edges of its button bare.
    CKivFont small(CreateFontW(-9, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    REQUIRE(small);
    SendMessageW(tab, WM_SETFONT, reinterpret_cast<WPARAM>(small.Get()), TRUE);
    SendMessageW(tab, TCM_SETCURSEL, 0, 0);
    CheckButtonsOnItems(tab, strip);
    InvalidateRect(tab, nullptr, TRUE);
    UpdateWindow(tab);
    const RECT firstSmall = ItemRect(tab, 0);
    CHECK(dialog.PumpUntilPixel(tab, firstSmall.right - 2, firstSmall.top + 2, kTabPressed));
    for (int i = 1; i < 4; ++i)
    {
        CAPTURE(i);
        const RECT item = ItemRect(tab, i);
        int inked = 0;
        for (int y = item.top + 2; y < item.bottom - 2; ++y)
            for (int x : {item.left + 1, item.right - 2})
                inked += dialog.Pixel(tab, x, y) != kTabNormal ? 1 : 0;
        CHECK(inked == 0);
    }
    SendMessageW(tab, WM_SETFONT, 0, FALSE);
    dialog.Park();
}

TEST_CASE("tab strip background: the skin's colour, or the dialog background when transparent")
{
    for (int transparent : {0, 1})
    {
        CAPTURE(transparent);
        InstallSkin();
        CKivSkinStore::Settings().tabControlTransparent = transparent;
        Dialog dialog;
        const Tabs made = MakeTabs(dialog, 0, 300, 150, {L"One", L"Two"});
        const RECT last = ItemRect(made.tab, 1);
        const RECT band = made.skin->Strip().StripBand();
        REQUIRE(last.right + 20 < band.right);
        InvalidateRect(made.tab, nullptr, TRUE);
        UpdateWindow(made.tab);
        // Beside the last tab, in the band: nothing but the strip's background.
        const COLORREF expected = transparent ? kDialogColour : kTabBack;
        CHECK(dialog.PumpUntilPixel(made.tab, last.right + 10, (band.top + band.bottom) / 2, expected));
        // The buttons and the page line are drawn over it as before.
        CHECK(dialog.Pixel(made.tab, last.left + 2, last.top + 2) == kTabNormal);
        CHECK(dialog.Pixel(made.tab, last.right + 10, band.bottom) == kLineSelected);
        dialog.Park();
    }
}

TEST_CASE("tab strip overflow: a tab out of view chosen from the menu is selected and scrolled into view")
{
    InstallSkin();
    Dialog dialog;
    const Tabs made = MakeTabs(dialog, 0, 200, 150, {L"Alpha", L"Bravo", L"Charlie", L"Delta", L"Echo"});
    const HWND tab = made.tab;
    CKivTabCtrl* skin = made.skin;
    const CKivDirectTabCtrl& strip = skin->Strip();
    REQUIRE(strip.HasHiddenTabs());
    REQUIRE_FALSE(strip.IsShown(4));
    CheckButtonsOnItems(tab, strip);

    // The menu runs its own loop: a timer there gives it keys.
    g_menuKeysTo = tab;
    g_menusAnswered = 0;
    const RECT more = strip.MoreButton().Bounds();
    UINT_PTR timer = SetTimer(nullptr, 0, 30, CancelMenu);
    Dialog::Click(tab, more.left + 5, more.top + 5);
    CHECK(kivtest::PumpUntil([] { return g_menusAnswered == 1; }, 5000));
    KillTimer(nullptr, timer);
    kivtest::PumpPending();
    // A cancelled menu changes nothing.
    CHECK(CurSel(tab) == 0);
    CHECK(strip.Button(0)->TabIndex() == 0);
    CHECK(g_notes.tabCodes.empty());
    CHECK(strip.MoreButton().Checked() == 0);

    timer = SetTimer(nullptr, 0, 30, ChooseLastMenuItem);
    Dialog::Click(tab, more.left + 5, more.top + 5);
    CHECK(kivtest::PumpUntil([&] { return CurSel(tab) == 4; }, 5000));
    KillTimer(nullptr, timer);
    kivtest::PumpPending();
    // The control scrolled to it; the strip shows it where the control has it.
    CHECK(strip.Button(4)->TabIndex() == 4);
    CHECK(strip.IsShown(4));
    CHECK(strip.SelectedTab() == 4);
    CHECK(CheckedButtons(*skin) == 1);
    CHECK(g_notes.tabCodes == std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE});
    CheckButtonsOnItems(tab, strip);
    const RECT echo = ItemRect(tab, 4);
    REQUIRE_FALSE(IsRectEmpty(&echo));
    CHECK(dialog.PumpUntilPixel(tab, echo.left + 2, echo.top + 2, kTabPressed));
    CHECK(strip.MoreButton().Checked() == 0);

    // A control selection of a tab out of view brings it into view the same way.
    SendMessageW(tab, TCM_SETCURSEL, 0, 0);
    CHECK(strip.IsShown(0));
    CHECK(strip.SelectedTab() == 0);
    CHECK(CheckedButtons(*skin) == 1);
    CheckButtonsOnItems(tab, strip);
    dialog.Park();
}

TEST_CASE("vertical tabs lie where the control lays them out, with rotated captions; clicks beside the strip reach the page")
{
    InstallSkin();
    Dialog dialog;
    REQUIRE(dialog.Hooked());
    const HWND page = dialog.Control(PageClass(), 0, 20, 20, 300, 300);
    const HWND tab = dialog.Control(WC_TABCONTROLW, TCS_VERTICAL | TCS_MULTILINE, 20, 20, 300, 300);
    SetWindowPos(page, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CKivTabCtrl* skin = TabSkin(tab);
    REQUIRE(skin != nullptr);
    AddTabs(tab, {L"Vertical", L"Captions", L"Here"});
    const CKivDirectTabCtrl& strip = skin->Strip();
    CHECK(strip.Horizontal() == 0);
    CheckButtonsOnItems(tab, strip);
    const RECT first = ItemRect(tab, 0);
    const RECT second = ItemRect(tab, 1);
    // Taller than wide, one below the other.
    CHECK(first.bottom - first.top > first.right - first.left);
    CHECK(second.top >= first.bottom);
    InvalidateRect(tab, nullptr, TRUE);
    UpdateWindow(tab);
    // Tab 0 is selected: pressed; tab 1 normal.
    CHECK(dialog.PumpUntilPixel(tab, first.left + 1, first.bottom - 2, kTabPressed));
    CHECK(dialog.Pixel(tab, second.left + 1, second.top + 1) == kTabNormal);

    // The caption of tab 1 runs down the button: its ink is taller than wide.
    int top = 1000, bottom = -1, left = 1000, right = -1;
    for (int y = second.top; y < second.bottom; ++y)
        for (int x = second.left; x < second.right; ++x)
            if (dialog.Pixel(tab, x, y) != kTabNormal)
            {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
    REQUIRE(bottom >= top);
    CHECK(bottom - top > 2 * (right - left));

    // Beside the strip the mouse goes through to the page; on it, to the tab.
    const RECT band = strip.StripBand();
    Dialog::Click(tab, band.right + 60, 150);
    CHECK(kivtest::PumpUntil([] { return g_notes.pageClicks == 1; }, 3000));
    CHECK(CurSel(tab) == 0);
    Dialog::Click(tab, (second.left + second.right) / 2, (second.top + second.bottom) / 2);
    CHECK(kivtest::PumpUntil([&] { return CurSel(tab) == 1; }, 3000));
    CHECK(g_notes.pageClicks == 1);
    dialog.Park();
}

TEST_CASE("list view: header drags and column clicks still work; skin border and dialog background")
{
    InstallSkin();
    Dialog dialog;
    REQUIRE(dialog.Hooked());
    const HWND list = dialog.Control(WC_LISTVIEWW, LVS_REPORT, 20, 20, 300, 200, WS_EX_CLIENTEDGE);
    CKivListCtrl* skin = SkinOf<CKivListCtrl>(list);
    REQUIRE(skin != nullptr);
    for (int column = 0; column < 3; ++column)
    {
        wchar_t title[] = L"col";
        LVCOLUMNW info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.cx = 80;
        info.pszText = title;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
    }
    wchar_t text[] = L"item";
    LVITEMW row = {};
    row.mask = LVIF_TEXT;
    row.pszText = text;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    kivtest::PumpPending();

    CHECK(dialog.FramePixel(list, 0, 0) == kListBorder);
    CHECK(dialog.FramePixel(list, 150, 0) == kListBorder);
    const COLORREF dialogBack = dialog.Pixel(dialog.Window(), 5, 5);
    CHECK(dialogBack == kDialogColour);
    RECT client = {};
    GetClientRect(list, &client);
    CHECK(dialog.PumpUntilPixel(list, client.right / 2, client.bottom - 5, dialogBack));

    // The image is made again only when the place, size or skin changes.
    const int builds = skin->BackgroundBuilds();
    CHECK(builds >= 1);
    for (int i = 0; i < 5; ++i)
        RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    CHECK(skin->BackgroundBuilds() == builds);
    SetWindowPos(list, nullptr, 0, 0, 320, 210, SWP_NOMOVE | SWP_NOZORDER);
    kivtest::PumpPending();
    CHECK(skin->BackgroundBuilds() == builds + 1);

    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    REQUIRE(header != nullptr);
    RECT headerBox = {};
    GetClientRect(header, &headerBox);
    const int middle = headerBox.bottom / 2;

    SUBCASE("dragging the divider after column 0 widens it")
    {
        Dialog::MoveTo(header, 80, middle);
        Dialog::Button(true);
        Dialog::MoveTo(header, 100, middle);
        Dialog::MoveTo(header, 130, middle);
        Dialog::Button(false);
        CHECK(kivtest::PumpUntil([&] { return SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0) >= 120; }, 3000));
        CHECK(g_notes.columnClicks == 0);
    }
    SUBCASE("a click on a column header reaches the dialog as LVN_COLUMNCLICK")
    {
        Dialog::Click(header, 120, middle);
        CHECK(kivtest::PumpUntil([] { return g_notes.columnClicks == 1; }, 3000));
        CHECK(g_notes.lastColumn == 1);
    }
    SUBCASE("detach takes the image away again")
    {
        REQUIRE(skin->Detach());
        RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        CHECK(dialog.PumpUntilPixel(list, client.right / 2, client.bottom - 5, GetSysColor(COLOR_WINDOW)));
        CHECK(dialog.FramePixel(list, 150, 0) != kListBorder);
    }
    dialog.Park();
}

namespace {

// Sits below the skin and refuses every background image.
WNDPROC g_listProc = nullptr;
int g_refusals = 0;

LRESULT CALLBACK RefusingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == LVM_SETBKIMAGEW)
    {
        ++g_refusals;
        return FALSE;
    }
    return CallWindowProcW(g_listProc, window, message, wParam, lParam);
}

}  // namespace

TEST_CASE("list view: a background image the control refuses is freed, each time one is built")
{
    InstallSkin();
    Dialog dialog;
    CKivEngine::Instance().Stop();  // this list view gets its skin by hand, above the refusing procedure
    const HWND list = dialog.Control(WC_LISTVIEWW, LVS_REPORT, 20, 20, 200, 150, WS_EX_CLIENTEDGE);
    REQUIRE(CKivWnd::FromHandle(list) == nullptr);
    g_refusals = 0;
    g_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RefusingListProc)));
    CKivListCtrl skin;
    REQUIRE(skin.Attach(list));
    REQUIRE(skin.Setup(CKivSkinStore::Settings()) == 1);
    kivtest::PumpPending();
    auto resize = [&](int i) {
        SetWindowPos(list, nullptr, 0, 0, 200 + i % 7, 150, SWP_NOMOVE | SWP_NOZORDER);
        kivtest::PumpPending();
    };
    resize(1);
    kivtest::GdiLeakOracle oracle;
    const long ours = CKivGdiObjectCount::Live();
    const long process = oracle.LiveObjects();
    const int before = g_refusals;
    for (int i = 0; i < 60; ++i)
        resize(i);
    CHECK(g_refusals > before + 40);
    CHECK(CKivGdiObjectCount::Live() == ours);
    CHECK(oracle.LiveObjects() == process);
    CHECK(skin.Detach());
}

TEST_CASE("tree view: skin back colour and border; detach gives the control its colour back")
{
    InstallSkin();
    Dialog dialog;
    REQUIRE(dialog.Hooked());
    const HWND tree = dialog.Control(WC_TREEVIEWW, TVS_HASLINES, 20, 20, 250, 200, WS_EX_CLIENTEDGE);
    CKivTreeCtrl* skin = SkinOf<CKivTreeCtrl>(tree);
    REQUIRE(skin != nullptr);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    wchar_t text[] = L"node";
    insert.item.pszText = text;
    SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    RedrawWindow(tree, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    kivtest::PumpPending();

    // The control itself holds the skin's colours ...
    const WNDPROC control = skin->PreviousProc();
    CHECK(static_cast<COLORREF>(CallWindowProcW(control, tree, TVM_GETBKCOLOR, 0, 0)) == kTreeBack);
    CHECK(static_cast<COLORREF>(CallWindowProcW(control, tree, TVM_GETTEXTCOLOR, 0, 0)) == RGB(0, 0, 0));
    // ... while the host reads its own; a colour the host sets is its
    // choice: the control shows it, and detach leaves it.
    CHECK(static_cast<COLORREF>(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0)) == static_cast<COLORREF>(-1));
    CHECK(static_cast<COLORREF>(SendMessageW(tree, TVM_SETTEXTCOLOR, 0, RGB(1, 2, 3))) == static_cast<COLORREF>(-1));
    CHECK(static_cast<COLORREF>(SendMessageW(tree, TVM_GETTEXTCOLOR, 0, 0)) == RGB(1, 2, 3));
    CHECK(static_cast<COLORREF>(CallWindowProcW(control, tree, TVM_GETTEXTCOLOR, 0, 0)) == RGB(1, 2, 3));
    CHECK(dialog.PumpUntilPixel(tree, 100, 150, kTreeBack));
    CHECK(dialog.FramePixel(tree, 0, 0) == kTreeBorder);
    CHECK(dialog.FramePixel(tree, 249, 199) == kTreeBorder);

    REQUIRE(skin->Detach());
    // -1: the system background again; the text colour the host set meanwhile.
    CHECK(static_cast<COLORREF>(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0)) == static_cast<COLORREF>(-1));
    CHECK(static_cast<COLORREF>(SendMessageW(tree, TVM_GETTEXTCOLOR, 0, 0)) == RGB(1, 2, 3));
    dialog.Park();
}

namespace {

LRESULT g_vetoKill = FALSE;

INT_PTR CALLBACK SheetPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == PSN_KILLACTIVE)
    {
        SetWindowLongPtrW(page, DWLP_MSGRESULT, g_vetoKill);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

TEST_CASE("property sheet pages switch through the drawn strip, and a page can refuse to be left")
{
    InstallSkin();
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    REQUIRE(CKivEngine::Instance().Run());
    g_vetoKill = FALSE;
    kivtest::DialogTemplate first(WS_CHILD | WS_CAPTION | DS_CONTROL, 200, 120, L"First");
    first.Add(0x0082, 100, SS_LEFT, 10, 10, 150, 10, L"The first page");
    kivtest::DialogTemplate second(WS_CHILD | WS_CAPTION | DS_CONTROL, 200, 120, L"Second");
    second.Add(0x0082, 101, SS_LEFT, 10, 10, 150, 10, L"The second page");
    PROPSHEETPAGEW pages[2] = {};
    const DLGTEMPLATE* templates[2] = {first.Build(), second.Build()};
    for (int i = 0; i < 2; ++i)
    {
        pages[i].dwSize = sizeof(pages[i]);
        pages[i].dwFlags = PSP_DLGINDIRECT;
        pages[i].pResource = templates[i];
        pages[i].pfnDlgProc = SheetPageProc;
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE;
    header.pszCaption = L"Kiv sheet";
    header.nPages = 2;
    header.ppsp = pages;
    const HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    REQUIRE(sheet != nullptr);
    ShowWindow(sheet, SW_SHOW);
    SetForegroundWindow(sheet);
    kivtest::PumpPending();
    const HWND tab = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    CKivTabCtrl* skin = TabSkin(tab);
    REQUIRE(skin != nullptr);
    REQUIRE(skin->Strip().ButtonCount() == 2);
    const HWND firstPage = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));

    ClickButton(tab, *skin, 1);
    CHECK(kivtest::PumpUntil([&] { return CurSel(tab) == 1; }, 3000));
    const HWND secondPage = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    CHECK(secondPage != firstPage);
    CHECK(IsWindowVisible(secondPage));
    CHECK(skin->Strip().SelectedTab() == 1);

    g_vetoKill = TRUE;
    ClickButton(tab, *skin, 0);
    kivtest::PumpUntil([&] { return skin->Strip().SelectedTab() == 1 && CurSel(tab) == 1; }, 1000);
    kivtest::PumpPending();
    CHECK(CurSel(tab) == 1);
    CHECK(skin->Strip().SelectedTab() == 1);
    CHECK(reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)) == secondPage);
    g_vetoKill = FALSE;
    DestroyWindow(sheet);
    CKivEngine::Instance().Stop();
    kivtest::PumpPending();
}

TEST_CASE("repeated repaints, selections and resizes of the three skins keep the GDI objects flat")
{
    InstallSkin();
    Dialog dialog;
    REQUIRE(dialog.Hooked());
    const HWND list = dialog.Control(WC_LISTVIEWW, LVS_REPORT, 10, 10, 200, 150, WS_EX_CLIENTEDGE);
    const HWND tree = dialog.Control(WC_TREEVIEWW, 0, 220, 10, 150, 150, WS_EX_CLIENTEDGE);
    const HWND tab = dialog.Control(WC_TABCONTROLW, 0, 10, 170, 300, 150);
    AddTabs(tab, {L"One", L"Two", L"Three", L"Four", L"Five"});
    REQUIRE(TabSkin(tab) != nullptr);
    int round = 0;
    auto repaint = [&] {
        for (HWND window : {list, tree, tab})
            RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(round % 5), 0);
        SetWindowPos(list, nullptr, 0, 0, 200 + round % 3, 150, SWP_NOMOVE | SWP_NOZORDER);
        ++round;
        kivtest::PumpPending();
    };
    for (int i = 0; i < 3; ++i)
        repaint();  // fonts, caches and the first images settle
    kivtest::GdiLeakOracle oracle;
    const long ours = CKivGdiObjectCount::Live();
    const long process = oracle.LiveObjects();
    REQUIRE(process > 0);
    for (int i = 0; i < 150; ++i)
        repaint();
    CHECK(CKivGdiObjectCount::Live() == ours);
    CHECK(oracle.LiveObjects() == process);
}
