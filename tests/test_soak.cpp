// A day of clicking: every kind of window the engine skins, driven through
// every message that changes how it looks, must leave the process holding
// exactly the GDI objects it held before. Counted with Wine's handle table
// (GetGuiResources is a stub there) and with our own owner types.
//
// Each (kind, message) pair is warmed up, counted, run and counted again; the
// growth of every pair is printed, one line per kind, and must be 0.
// KIV_SOAK_ROUNDS sets the rounds of the cheap messages (200 by default: a
// leak shows as one object or more per round, and the soak stays short
// enough for every run of the suite; 10,000 for a day's worth); messages
// that move, show, minimise or reload run a fixed share of them (kShare).
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivGdiObject.h"
#include "CKivWnd.h"
#include "KivCommonControls6.h"
#include "KivDialogTemplate.h"
#include "KivGdiLeakOracle.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>

namespace {

enum Action
{
    Check, State, Focus, Enable, Text, Hover, Press, Scroll, Select, Resize, Show, Reload, ActionCount
};
const char* const kActionNames[ActionCount] = {"check",       "state",         "focus in/out", "enable/disable",
                                               "text",        "hover/leave",   "press/release", "scroll",
                                               "select",      "resize",        "show/hide",     "skin reload"};
// Rounds of each message as a divisor of the full count: moving and showing
// windows costs Wine several milliseconds whoever paints them, and a reload
// reads, decrypts and repaints a whole skin.
const int kShare[ActionCount] = {1, 1, 2, 1, 1, 1, 1, 1, 1, 10, 10, 50};
// A top-level window's state is minimised or restored: as dear as a move.
const int kTopLevelStateShare = 10;
const int kWarmUp = 6;

int Rounds()
{
    char text[16] = {};
    const DWORD length = GetEnvironmentVariableA("KIV_SOAK_ROUNDS", text, sizeof(text));
    const int rounds = length > 0 && length < sizeof(text) ? atoi(text) : 0;
    return rounds > 0 ? rounds : 200;
}

unsigned Bits(std::initializer_list<Action> actions)
{
    unsigned mask = 0;
    for (Action action : actions)
        mask |= 1u << action;
    return mask;
}

const unsigned kEveryWindow = Bits({Enable, Resize, Show, Reload});
const unsigned kTopLevel = kEveryWindow | Bits({State, Focus, Text, Hover, Press});
const unsigned kButton = kEveryWindow | Bits({State, Focus, Text, Hover, Press});
const unsigned kCheckable = kButton | Bits({Check});
const unsigned kListLike = kEveryWindow | Bits({Focus, Hover, Press, Scroll, Select});

enum class Classes
{
    System,    // user32's, as a program without a manifest has them
    Version6,  // comctl32's version 6, as the usual manifest asks
};

struct Kind
{
    const char* name;
    const wchar_t* className;  // null for the top-level kinds
    DWORD style;
    const wchar_t* text;
    unsigned actions;
    int width;
    int height;
    Classes classes;
};

// The window under test, the top-level window it lives in and an unskinned
// window that takes the focus or the activation away from it.
struct Subject
{
    HWND window = nullptr;
    HWND top = nullptr;
    HWND partner = nullptr;
    bool topLevel = false;
    std::wstring className;
    DWORD style = 0;
};

std::wstring BesideTests(const wchar_t* name)
{
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program);
    path.resize(path.find_last_of(L"\\/") + 1);
    return path + name;
}

const std::wstring& DefaultSkin()
{
    static const std::wstring path = BesideTests(L"default.kiv");
    return path;
}

const std::wstring& DarkSkin()
{
    static const std::wstring path = BesideTests(L"dark.kiv");
    return path;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* HostClass()
{
    static const wchar_t* const name = [] {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        return kivtest::RegisterTestClass(L"KivSoakHost", &HostProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    }();
    return name;
}

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

HWND TopLevel(const wchar_t* title, DWORD style, int x, HMENU menu = nullptr)
{
    return CreateWindowExW(0, HostClass(), title, style, x, 80, 360, 300, nullptr, menu, GetModuleHandleW(nullptr),
                           nullptr);
}

HWND Dialog(DWORD style, const wchar_t* caption)
{
    kivtest::DialogTemplate dialog(style, 240, 180, caption);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.Build(), nullptr, &DialogProc, 0);
}

HMENU SoakMenu()
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 100, L"&Open");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_STRING, 101, L"&Help");
    return bar;
}

// A picture for the bitmap static; the test's own, made before counting.
HBITMAP Picture()
{
    static HBITMAP bitmap = [] {
        const HDC screen = GetDC(nullptr);
        const HBITMAP made = CreateCompatibleBitmap(screen, 24, 24);
        ReleaseDC(nullptr, screen);
        return made;
    }();
    return bitmap;
}

// Gives a control enough entries to scroll and select, or its picture.
void Fill(const Subject& s)
{
    wchar_t text[32];
    if (s.className == WC_COMBOBOXW || s.className == WC_LISTBOXW)
    {
        const UINT add = s.className == WC_COMBOBOXW ? CB_ADDSTRING : LB_ADDSTRING;
        for (int i = 0; i < 40; ++i)
        {
            wsprintfW(text, L"Entry %d", i);
            SendMessageW(s.window, add, 0, reinterpret_cast<LPARAM>(text));
        }
    }
    else if (s.className == WC_LISTVIEWW)
    {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 120;
        column.pszText = const_cast<wchar_t*>(L"Name");
        SendMessageW(s.window, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        for (int i = 0; i < 40; ++i)
        {
            wsprintfW(text, L"Row %d", i);
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = text;
            SendMessageW(s.window, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    else if (s.className == WC_TREEVIEWW)
    {
        HTREEITEM parent = TVI_ROOT;
        for (int i = 0; i < 40; ++i)
        {
            wsprintfW(text, L"Node %d", i);
            TVINSERTSTRUCTW insert = {};
            insert.hParent = i % 8 == 0 ? TVI_ROOT : parent;
            insert.hInsertAfter = TVI_LAST;
            insert.item.mask = TVIF_TEXT;
            insert.item.pszText = text;
            const HTREEITEM item = reinterpret_cast<HTREEITEM>(
                SendMessageW(s.window, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
            if (i % 8 == 0)
                parent = item;
            else
                SendMessageW(s.window, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
        }
    }
    else if (s.className == WC_TABCONTROLW)
    {
        for (int i = 0; i < 4; ++i)
        {
            wsprintfW(text, L"Page %d", i);
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            SendMessageW(s.window, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
    }
    else if (s.className == WC_SCROLLBARW)
    {
        SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
        SetScrollInfo(s.window, SB_CTL, &info, TRUE);
    }
    else if (s.className == TRACKBAR_CLASSW)
    {
        SendMessageW(s.window, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    }
    else if (s.className == WC_STATICW && (s.style & SS_TYPEMASK) == SS_ICON)
    {
        SendMessageW(s.window, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_APPLICATION)), 0);
    }
    else if (s.className == WC_STATICW && (s.style & SS_TYPEMASK) == SS_BITMAP)
    {
        SendMessageW(s.window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Picture()));
    }
    else if (s.className == WC_EDITW && (s.style & ES_MULTILINE))
    {
        std::wstring lines;
        for (int i = 0; i < 40; ++i)
            lines += L"A line of text to scroll\r\n";
        SetWindowTextW(s.window, lines.c_str());
    }
}

// ---- the messages -------------------------------------------------------------

POINT Middle(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return POINT{client.right / 2, client.bottom / 2};
}

// Screen points on a frame: in its caption near the right end (the caption
// buttons) and just above the client area (the menu bar, when it has one).
POINT CaptionButtonPoint(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const int caption = GetMenu(window) ? (origin.y - rect.top) / 3 : (origin.y - rect.top) / 2;
    return POINT{rect.right - 60, rect.top + caption};
}

POINT MenuBarPoint(HWND window)
{
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return POINT{origin.x + 12, origin.y - 6};
}

void HoverOnce(const Subject& s)
{
    if (s.topLevel)
    {
        const POINT button = CaptionButtonPoint(s.window);
        SendMessageW(s.window, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(button.x, button.y));
        if (GetMenu(s.window))
        {
            const POINT item = MenuBarPoint(s.window);
            SendMessageW(s.window, WM_NCMOUSEMOVE, HTMENU, MAKELPARAM(item.x, item.y));
        }
        SendMessageW(s.window, WM_NCMOUSELEAVE, 0, 0);
        return;
    }
    const POINT p = Middle(s.window);
    SendMessageW(s.window, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    SendMessageW(s.window, WM_MOUSELEAVE, 0, 0);
}

void PressOnce(const Subject& s)
{
    if (s.topLevel)
    {
        // Pressed on a caption button and released away from it (the cursor
        // is parked in a corner): drawn pressed, no action.
        const POINT button = CaptionButtonPoint(s.window);
        SendMessageW(s.window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(button.x, button.y));
        SendMessageW(s.window, WM_LBUTTONUP, 0, MAKELPARAM(-5000, -5000));
        if (GetCapture() == s.window)
            ReleaseCapture();
        return;
    }
    POINT p = Middle(s.window);
    if (s.className == WC_TABCONTROLW)
        p = POINT{60, 10};
    // List and tree views wait in a loop of their own for the release.
    const bool ownLoop = s.className == WC_LISTVIEWW || s.className == WC_TREEVIEWW;
    if (ownLoop)
        PostMessageW(s.window, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    SendMessageW(s.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    if (!ownLoop)
        SendMessageW(s.window, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    if (s.className == WC_COMBOBOXW)
        SendMessageW(s.window, CB_SHOWDROPDOWN, FALSE, 0);
    if (GetCapture() != nullptr)
        ReleaseCapture();
}

void ScrollOnce(const Subject& s, bool down)
{
    if (s.className == WC_SCROLLBARW)
        SendMessageW(s.window, SBM_SETPOS, down ? 60 : 10, TRUE);
    else if (s.className == TRACKBAR_CLASSW)
        SendMessageW(s.window, TBM_SETPOS, TRUE, down ? 70 : 20);
    else if (s.className == PROGRESS_CLASSW)
        SendMessageW(s.window, PBM_SETPOS, down ? 80 : 30, 0);
    else if (s.className == WC_LISTBOXW)
        SendMessageW(s.window, LB_SETTOPINDEX, down ? 20 : 0, 0);
    else if (s.className == WC_COMBOBOXW)
        SendMessageW(s.window, CB_SETTOPINDEX, down ? 20 : 0, 0);
    else if (s.className == WC_LISTVIEWW)
        SendMessageW(s.window, LVM_SCROLL, 0, down ? 200 : -200);
    else if (s.className == WC_TREEVIEWW)
        SendMessageW(s.window, WM_VSCROLL, down ? SB_PAGEDOWN : SB_PAGEUP, 0);
    else if (s.className == WC_EDITW)
        SendMessageW(s.window, EM_LINESCROLL, 0, down ? 10 : -10);
}

void SelectOnce(const Subject& s, bool second)
{
    const int index = second ? 3 : 1;
    if (s.className == WC_LISTBOXW)
        SendMessageW(s.window, LB_SETCURSEL, index, 0);
    else if (s.className == WC_COMBOBOXW)
        SendMessageW(s.window, CB_SETCURSEL, index, 0);
    else if (s.className == WC_TABCONTROLW)
        SendMessageW(s.window, TCM_SETCURSEL, index, 0);
    else if (s.className == WC_EDITW)
        SendMessageW(s.window, EM_SETSEL, 0, index * 3);
    else if (s.className == WC_LISTVIEWW)
    {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(s.window, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    }
    else if (s.className == WC_TREEVIEWW)
    {
        HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(s.window, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        for (int i = 0; i < index && item; ++i)
            item = reinterpret_cast<HTREEITEM>(
                SendMessageW(s.window, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)));
        SendMessageW(s.window, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
}

// One round of one message; odd rounds take the window one way, even rounds
// bring it back, so an even count ends where it started.
void Run(Action action, const Subject& s, int round)
{
    const bool odd = (round & 1) != 0;
    switch (action)
    {
    case Check: SendMessageW(s.window, BM_SETCHECK, odd ? BST_CHECKED : BST_UNCHECKED, 0); break;
    case State:
        if (s.topLevel)
            ShowWindow(s.window, odd ? SW_SHOWMINNOACTIVE : SW_SHOWNOACTIVATE);
        else
            SendMessageW(s.window, BM_SETSTATE, odd ? TRUE : FALSE, 0);
        break;
    case Focus:
        if (s.topLevel)
            SetActiveWindow(odd ? s.partner : s.window);
        else
            SetFocus(odd ? s.window : s.partner);
        break;
    case Enable: EnableWindow(s.window, odd ? FALSE : TRUE); break;
    case Text: SetWindowTextW(s.window, odd ? L"A longer text, changed" : L"Soak"); break;
    case Hover: HoverOnce(s); break;
    case Press: PressOnce(s); break;
    case Scroll: ScrollOnce(s, odd); break;
    case Select: SelectOnce(s, odd); break;
    case Resize:
        SetWindowPos(s.window, nullptr, 0, 0, odd ? 200 : 160, odd ? 150 : 110,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    case Show: ShowWindow(s.window, odd ? SW_HIDE : SW_SHOWNA); break;
    case Reload: CKivEngine::Instance().LoadSkin(odd ? DarkSkin().c_str() : DefaultSkin().c_str()); break;
    default: break;
    }
    // What the system paints and posts before the next input arrives.
    kivtest::PumpPending();
}

int RoundsOf(Action action, const Subject& s, int rounds)
{
    const int share = (action == State && s.topLevel) ? kTopLevelStateShare : kShare[action];
    const int count = rounds / share;
    return count < 2 ? 2 : count & ~1;
}

// ---- the kinds ------------------------------------------------------------------

Subject MakeSubject(const Kind& kind)
{
    Subject s;
    s.partner = TopLevel(L"partner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500);
    CKivEngine::Instance().Run();
    if (kind.className == nullptr)
    {
        s.window = kind.style == WS_OVERLAPPEDWINDOW ? TopLevel(kind.text, kind.style, 60, SoakMenu())
                                                      : Dialog(kind.style, kind.text);
        s.top = s.window;
        s.topLevel = true;
        ShowWindow(s.window, SW_SHOWNORMAL);
    }
    else
    {
        // Controls live in a captioned dialog, as most do.
        s.top = Dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, L"Soak host");
        s.window = CreateWindowExW(0, kind.className, kind.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind.style, 20,
                                   20, kind.width, kind.height, s.top,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(7)), GetModuleHandleW(nullptr),
                                   nullptr);
        s.className = kind.className;
        s.style = kind.style;
    }
    CKivEngine::Instance().Stop();
    Fill(s);
    return s;
}

// Runs every message of the kind and returns the growth of the process's
// live GDI objects over all of them.
long Soak(const Kind& kind)
{
    std::unique_ptr<kivtest::CommonControls6> v6;
    if (kind.classes == Classes::Version6)
    {
        v6.reset(new kivtest::CommonControls6);
        REQUIRE(v6->Active());
    }
    kivtest::GdiLeakOracle oracle;
    REQUIRE(oracle.ReadsHandleTable());
    REQUIRE(CKivEngine::Instance().LoadSkin(DefaultSkin().c_str()));
    SetCursorPos(1020, 760);  // away from every window: nothing turns hot by chance
    const Subject s = MakeSubject(kind);
    REQUIRE(s.window != nullptr);
    REQUIRE(CKivWnd::FromHandle(s.window) != nullptr);
    SetForegroundWindow(s.top);
    kivtest::PumpPending();
    const int rounds = Rounds();
    long total = 0;
    std::string line;
    for (int action = 0; action < ActionCount; ++action)
    {
        if (!(kind.actions & (1u << action)))
            continue;
        const Action a = static_cast<Action>(action);
        for (int round = 0; round < kWarmUp; ++round)
            Run(a, s, round);
        const long before = oracle.LiveObjects();
        const long ownedBefore = CKivGdiObjectCount::Live();
        const int count = RoundsOf(a, s, rounds);
        const DWORD started = GetTickCount();
        for (int round = 0; round < count; ++round)
            Run(a, s, round);
        const long growth = oracle.LiveObjects() - before;
        const long owned = CKivGdiObjectCount::Live() - ownedBefore;
        total += growth;
        char note[96];
        snprintf(note, sizeof(note), " %s x%d %+ld (%lu ms);", kActionNames[action], count, growth,
                 static_cast<unsigned long>(GetTickCount() - started));
        line += note;
        INFO(std::string(kind.name) << ", " << std::string(kActionNames[action]) << ", " << count << " rounds");
        CHECK(growth == 0);
        CHECK(owned == 0);
    }
    printf("soak %s: %+ld objects;%s\n", kind.name, total, line.c_str());
    fflush(stdout);
    DestroyWindow(s.top);
    DestroyWindow(s.partner);
    kivtest::PumpPending();
    return total;
}

void SoakAll(std::initializer_list<Kind> kinds)
{
    for (const Kind& kind : kinds)
    {
        Soak(kind);
    }
}

}  // namespace

TEST_CASE("soak: frame and dialogs")
{
    SoakAll({
        {"frame", nullptr, WS_OVERLAPPEDWINDOW, L"Soak frame", kTopLevel, 0, 0, Classes::System},
        {"dialog", nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Soak dialog", kTopLevel, 0, 0,
         Classes::System},
        {"dialog without caption", nullptr, WS_POPUP, L"", kEveryWindow | Bits({Focus}), 0, 0, Classes::System},
    });
}

// Check boxes and radio buttons without a text of their own are labelled by
// a static beside them, as many dialogs do.
TEST_CASE("soak: every button kind, with the system's classes")
{
    SoakAll({
        {"push button", WC_BUTTONW, BS_PUSHBUTTON, L"Push", kButton, 100, 30, Classes::System},
        {"default push button", WC_BUTTONW, BS_DEFPUSHBUTTON, L"Default", kButton, 100, 30, Classes::System},
        {"check box", WC_BUTTONW, BS_AUTOCHECKBOX, L"Check", kCheckable, 140, 24, Classes::System},
        {"check box without text", WC_BUTTONW, BS_AUTOCHECKBOX, L"", kCheckable & ~Bits({Text}), 16, 16,
         Classes::System},
        {"radio button", WC_BUTTONW, BS_AUTORADIOBUTTON, L"Radio", kCheckable, 140, 24, Classes::System},
        {"radio button without text", WC_BUTTONW, BS_AUTORADIOBUTTON, L"", kCheckable & ~Bits({Text}), 16, 16,
         Classes::System},
        {"group box", WC_BUTTONW, BS_GROUPBOX, L"Group", kEveryWindow | Bits({Text}), 200, 120, Classes::System},
    });
}

TEST_CASE("soak: every button kind, with the version 6 classes")
{
    SoakAll({
        {"push button (v6)", WC_BUTTONW, BS_PUSHBUTTON, L"Push", kButton, 100, 30, Classes::Version6},
        {"check box (v6)", WC_BUTTONW, BS_AUTOCHECKBOX, L"Check", kCheckable, 140, 24, Classes::Version6},
        {"check box without text (v6)", WC_BUTTONW, BS_AUTOCHECKBOX, L"", kCheckable & ~Bits({Text}), 16, 16,
         Classes::Version6},
        {"radio button (v6)", WC_BUTTONW, BS_AUTORADIOBUTTON, L"Radio", kCheckable, 140, 24, Classes::Version6},
        {"group box (v6)", WC_BUTTONW, BS_GROUPBOX, L"Group", kEveryWindow | Bits({Text}), 200, 120,
         Classes::Version6},
    });
}

TEST_CASE("soak: edit, combo boxes in their three styles and list box")
{
    SoakAll({
        {"edit", WC_EDITW, ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER, L"Soak", kListLike | Bits({Text}), 200, 80,
         Classes::System},
        {"simple combo box", WC_COMBOBOXW, CBS_SIMPLE | WS_VSCROLL, L"", kListLike | Bits({Text}), 160, 120,
         Classes::System},
        {"drop-down combo box", WC_COMBOBOXW, CBS_DROPDOWN | WS_VSCROLL, L"", kListLike | Bits({Text}), 160, 200,
         Classes::System},
        {"drop-down list combo box", WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL, L"", kListLike, 160, 200,
         Classes::System},
        {"list box", WC_LISTBOXW, LBS_NOTIFY | WS_VSCROLL | WS_BORDER, L"", kListLike, 160, 120, Classes::System},
    });
}

TEST_CASE("soak: scroll bars, static, pictures, slider and progress bar")
{
    const unsigned bar = kEveryWindow | Bits({Focus, Hover, Press, Scroll});
    SoakAll({
        {"vertical scroll bar", WC_SCROLLBARW, SBS_VERT, L"", bar, 20, 150, Classes::System},
        {"horizontal scroll bar", WC_SCROLLBARW, SBS_HORZ, L"", bar, 150, 20, Classes::System},
        {"static", WC_STATICW, SS_LEFT, L"Soak", kEveryWindow | Bits({Text}), 160, 24, Classes::System},
        {"icon picture", WC_STATICW, SS_ICON, L"", kEveryWindow, 32, 32, Classes::System},
        {"bitmap picture", WC_STATICW, SS_BITMAP, L"", kEveryWindow, 24, 24, Classes::System},
        {"slider", TRACKBAR_CLASSW, TBS_HORZ, L"", bar, 200, 30, Classes::System},
        {"progress bar", PROGRESS_CLASSW, 0, L"", kEveryWindow | Bits({Scroll}), 200, 20, Classes::System},
    });
}

TEST_CASE("soak: list view, tree view and tab")
{
    SoakAll({
        {"list view", WC_LISTVIEWW, LVS_REPORT | WS_BORDER, L"", kListLike, 220, 150, Classes::System},
        {"tree view", WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS | WS_BORDER, L"", kListLike, 220, 150,
         Classes::System},
        {"tab", WC_TABCONTROLW, 0, L"", kEveryWindow | Bits({Focus, Hover, Press, Select}), 240, 120,
         Classes::System},
    });
}
