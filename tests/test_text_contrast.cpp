// Every text of the list, combo, edit, list view and tree view skins reads
// on the background the control actually shows: black or white, whichever
// stands out (4.5:1 at least) from the skin's dark or light rows, selected
// rows, a disabled list and the read-only edit. A colour the host chooses
// itself (in WM_CTLCOLOR*, or given to the control) stays the host's.
#include <doctest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <string>
#include "CKivComboBox.h"
#include "CKivEditBox.h"
#include "CKivListBox.h"
#include "CKivListCtrl.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"
#include "CKivTreeCtrl.h"
#include "KivControlTestHost.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include "KivTextSample.h"

using kivtest::ControlHost;

namespace {

const int kId = 700;
const COLORREF kDark = RGB(30, 32, 36);
const COLORREF kLight = RGB(250, 248, 240);
const COLORREF kSelect = RGB(200, 225, 255);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

// What the host (below the parent's skin) answers to colour messages.
struct HostAnswer
{
    COLORREF text = CLR_INVALID;  // set on the DC when valid
    HBRUSH brush = nullptr;       // answered when set
    int asked = 0;
};
HostAnswer g_answer;

LRESULT CALLBACK AnsweringHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORLISTBOX)
    {
        ++g_answer.asked;
        if (g_answer.brush != nullptr || g_answer.text != CLR_INVALID)
        {
            // A host that chooses answers itself (the default answer would
            // set the system's text colour again).
            if (g_answer.text != CLR_INVALID)
                SetTextColor(reinterpret_cast<HDC>(wParam), g_answer.text);
            return reinterpret_cast<LRESULT>(g_answer.brush != nullptr ? g_answer.brush
                                                                       : GetSysColorBrush(message == WM_CTLCOLORSTATIC
                                                                                              ? COLOR_3DFACE
                                                                                              : COLOR_WINDOW));
        }
    }
    return CallWindowProcW(kivtest::SkinnedControlHost::HostProc(), window, message, wParam, lParam);
}

// A host window whose own procedure answers colour messages as told, with
// a skin over it, as a skinned dialog has.
struct SkinnedHost : kivtest::SkinnedControlHost
{
    SkinnedHost() : SkinnedControlHost(&AnsweringHost)
    {
        g_answer = HostAnswer();
        REQUIRE(parentSkin.Window() == host.Window());
    }
    ~SkinnedHost() { g_answer = HostAnswer(); }
};

// A solid brush that lives for one test.
struct Brush
{
    explicit Brush(COLORREF colour) : handle(CreateSolidBrush(colour)) {}
    ~Brush() { DeleteObject(handle); }
    Brush(const Brush&) = delete;
    Brush& operator=(const Brush&) = delete;
    HBRUSH handle;
};

void Print(HWND window, kivtest::Canvas& canvas)
{
    canvas.Fill(RGB(255, 0, 255));
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT | PRF_ERASEBKGND);
}

kivtest::TextSample Row(HWND list, kivtest::Canvas& canvas, int index)
{
    RECT row{};
    REQUIRE(SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)) != LB_ERR);
    // The focus rectangle's dots lie on the row's edge.
    InflateRect(&row, -1, -1);
    return kivtest::SampleText(canvas, row);
}

void CheckReads(const kivtest::TextSample& text, COLORREF background)
{
    CHECK(text.background == background);
    CHECK(text.inkPixels >= 15);
    CHECK(text.ratio >= 4.5);
}

HWND FilledList(ControlHost& host, int x, int y)
{
    const HWND list = host.Control(L"LISTBOX", WS_BORDER | LBS_NOTIFY, x, y, 180, 120, kId, true);
    REQUIRE(ControlHost::Skin<CKivListBox>(list) != nullptr);
    for (const wchar_t* text : {L"First sample row", L"Second sample row", L"Third sample row"})
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    return list;
}

}  // namespace

TEST_CASE("list rows read on dark and light rows, on the selection and in a disabled list")
{
    for (const COLORREF background : {kDark, kLight})
    {
        CAPTURE(background);
        kivtest::InstallControlSkin();
        CKivSkinStore::Settings().listBoxBackgroundColor = static_cast<int>(background);
        CKivSkinStore::Settings().listBoxSelectItemColor = static_cast<int>(kSelect);
        SkinnedHost parent;
        const HWND list = FilledList(parent.host, 10, 10);
        kivtest::Canvas canvas(180, 120, 0);
        Print(list, canvas);
        const kivtest::TextSample plain = Row(list, canvas, 0);
        CheckReads(plain, background);
        CHECK(plain.ink == (background == kDark ? kWhite : kBlack));
        const kivtest::TextSample selected = Row(list, canvas, 1);
        CheckReads(selected, kSelect);
        CHECK(selected.ink == kBlack);
        // The host was asked, as the control asks when it paints itself.
        CHECK(g_answer.asked > 0);

        // Disabled: a grey that still reads, dimmer than the normal text.
        EnableWindow(list, FALSE);
        Print(list, canvas);
        const kivtest::TextSample grey = Row(list, canvas, 0);
        CheckReads(grey, background);
        CHECK(grey.ratio < plain.ratio);
    }
}

TEST_CASE("a list keeps the brush and text colour its host chooses in WM_CTLCOLORLISTBOX")
{
    kivtest::InstallControlSkin();
    CKivSkinStore::Settings().listBoxBackgroundColor = static_cast<int>(kDark);
    SkinnedHost parent;
    const HWND list = FilledList(parent.host, 10, 10);
    kivtest::Canvas canvas(180, 120, 0);

    // Only a text colour: the host's text on the skin's rows.
    g_answer.text = RGB(255, 200, 0);
    Print(list, canvas);
    kivtest::TextSample text = Row(list, canvas, 0);
    CHECK(text.background == kDark);
    CHECK(text.ink == RGB(255, 200, 0));

    // Its own brush as well: the host's rows.
    Brush green(RGB(0, 90, 40));
    g_answer.brush = green.handle;
    Print(list, canvas);
    text = Row(list, canvas, 0);
    CHECK(text.background == RGB(0, 90, 40));
    CHECK(text.ink == RGB(255, 200, 0));

    // Only a brush: a text colour of the skin's that reads on it.
    Brush pale(RGB(230, 240, 200));
    g_answer.text = CLR_INVALID;
    g_answer.brush = pale.handle;
    Print(list, canvas);
    text = Row(list, canvas, 0);
    CheckReads(text, RGB(230, 240, 200));
    CHECK(text.ink == kBlack);
}

TEST_CASE("edits: typed text reads on the skin's edit background, read-only and with the focus; the host's colours stay")
{
    kivtest::InstallControlSkin();
    CKivSkinStore::Settings().editControlBackgroundColor = static_cast<int>(kDark);
    SkinnedHost parent;
    const HWND edit = parent.host.Control(L"EDIT", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 24, kId, true,
                                          L"Typed sample text");
    const HWND readOnly = parent.host.Control(L"EDIT", WS_BORDER | ES_READONLY, 10, 50, 200, 24, kId + 1, true,
                                              L"Read-only sample text");
    REQUIRE(ControlHost::Skin<CKivEditBox>(edit) != nullptr);
    REQUIRE(ControlHost::Skin<CKivEditBox>(readOnly) != nullptr);
    kivtest::Canvas canvas(200, 24, 0);
    const RECT line = {3, 3, 150, 20};
    for (HWND each : {edit, readOnly})
    {
        Print(each, canvas);
        const kivtest::TextSample text = kivtest::SampleText(canvas, line);
        CheckReads(text, kDark);
        CHECK(text.ink == kWhite);
    }

    // A text colour of the host's own stays, on the skin's background, also
    // with a hollow brush (the host wants what lies under the text).
    g_answer.text = RGB(255, 120, 0);
    Print(edit, canvas);
    kivtest::TextSample text = kivtest::SampleText(canvas, line);
    CHECK(text.background == kDark);
    CHECK(text.ink == RGB(255, 120, 0));
    g_answer.brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    Print(readOnly, canvas);
    text = kivtest::SampleText(canvas, line);
    CHECK(text.background == kDark);
    CHECK(text.ink == RGB(255, 120, 0));
    // A brush of its own too: the host's look entirely.
    Brush yellow(RGB(240, 230, 120));
    g_answer.text = CLR_INVALID;
    g_answer.brush = yellow.handle;
    Print(readOnly, canvas);
    text = kivtest::SampleText(canvas, line);
    CheckReads(text, RGB(240, 230, 120));
    CHECK(text.ink == kBlack);
}

TEST_CASE("combo box: the drop-down's rows and the face read on the skin's list colour")
{
    kivtest::InstallControlSkin();
    CKivSkinStore::Settings().comboBoxListBoxBackgroundColor = static_cast<int>(kDark);
    SkinnedHost parent;
    const HWND combo = parent.host.Control(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 180, 150, kId, true);
    CKivComboBox* skin = ControlHost::Skin<CKivComboBox>(combo);
    REQUIRE(skin != nullptr);
    for (const wchar_t* text : {L"Face sample text", L"Second sample row"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    REQUIRE(GetComboBoxInfo(combo, &info));

    RECT client{};
    GetClientRect(combo, &client);
    kivtest::Canvas face(client.right, client.bottom, 0);
    Print(combo, face);
    kivtest::TextSample text = kivtest::SampleText(face, info.rcItem);
    CheckReads(text, kDark);
    CHECK(text.ink == kWhite);

    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    kivtest::PumpPending();
    kivtest::Canvas rows(180, 120, 0);
    Print(info.hwndList, rows);
    RECT row{};
    REQUIRE(SendMessageW(info.hwndList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)) != LB_ERR);
    InflateRect(&row, -1, -1);
    text = kivtest::SampleText(rows, row);
    CheckReads(text, kDark);
    CHECK(text.ink == kWhite);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);

    // A face brush of the host's own stays, with a text that reads on it.
    Brush dark(RGB(20, 40, 80));
    g_answer.brush = dark.handle;
    Print(combo, face);
    text = kivtest::SampleText(face, info.rcItem);
    CheckReads(text, RGB(20, 40, 80));
    CHECK(text.ink == kWhite);
}

namespace {

HWND ReportList(ControlHost& host, int x, bool skinned)
{
    const HWND list = host.Control(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER, x, 10, 180, 140, kId,
                                   skinned);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 170;
    column.pszText = const_cast<wchar_t*>(L"Name");
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (const wchar_t* text : {L"First sample item", L"Second sample item", L"Third sample item"})
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = 99;
        item.pszText = const_cast<wchar_t*>(text);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    return list;
}

kivtest::TextSample Label(HWND list, kivtest::Canvas& canvas, int index)
{
    RECT label{LVIR_LABEL, 0, 0, 0};
    REQUIRE(SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&label)));
    InflateRect(&label, -2, -1);
    return kivtest::SampleText(canvas, label);
}

// The skin gives the control its colours at the non-client paint.
void Show(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    kivtest::PumpPending();
}

}  // namespace

TEST_CASE("list view: the skin's list colour behind the items, texts that read, a focused selection in the selection colour")
{
    kivtest::InstallControlSkin();
    CKivSkinStore::Settings().listBoxBackgroundColor = static_cast<int>(kDark);
    CKivSkinStore::Settings().listBoxSelectItemColor = static_cast<int>(kSelect);
    SkinnedHost parent;
    const HWND list = ReportList(parent.host, 10, true);
    const HWND plain = ReportList(parent.host, 200, false);
    CKivListCtrl* skin = ControlHost::Skin<CKivListCtrl>(list);
    REQUIRE(skin != nullptr);
    Show(list);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    SetFocus(list);
    kivtest::PumpPending();

    // The control holds the skin's colours; the host reads the ones it would unskinned.
    const WNDPROC control = skin->PreviousProc();
    CHECK(static_cast<COLORREF>(CallWindowProcW(control, list, LVM_GETBKCOLOR, 0, 0)) == kDark);
    for (UINT get : {LVM_GETBKCOLOR, LVM_GETTEXTCOLOR, LVM_GETTEXTBKCOLOR})
        CHECK(SendMessageW(list, get, 0, 0) == SendMessageW(plain, get, 0, 0));

    kivtest::Canvas canvas(180, 140, 0);
    Print(list, canvas);
    const kivtest::TextSample item = Label(list, canvas, 0);
    CheckReads(item, kDark);
    CHECK(item.ink == kWhite);
    const kivtest::TextSample selected = Label(list, canvas, 1);
    CheckReads(selected, kSelect);
    CHECK(selected.ink == kBlack);

    // A text colour the host gives the control is what it shows and reads back.
    SendMessageW(list, LVM_SETTEXTCOLOR, 0, RGB(255, 160, 0));
    CHECK(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)) == RGB(255, 160, 0));
    Print(list, canvas);
    CHECK(Label(list, canvas, 0).ink == RGB(255, 160, 0));
    // A background of the host's own as well; detach leaves the host's colours.
    SendMessageW(list, LVM_SETBKCOLOR, 0, RGB(240, 240, 200));
    Show(list);
    Print(list, canvas);
    CHECK(Label(list, canvas, 0).background == RGB(240, 240, 200));
    REQUIRE(skin->Detach());
    CHECK(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)) == RGB(240, 240, 200));
    CHECK(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)) == RGB(255, 160, 0));
    CHECK(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0) == SendMessageW(plain, LVM_GETTEXTBKCOLOR, 0, 0));
}

TEST_CASE("list view and tree view: a background the host sets gets a skin text colour that reads on it")
{
    kivtest::InstallControlSkin();
    CKivSkinStore::Settings().listBoxBackgroundColor = static_cast<int>(kLight);
    CKivSkinStore::Settings().treeControlBackColor = static_cast<int>(kLight);
    SkinnedHost parent;
    const HWND list = ReportList(parent.host, 10, true);
    REQUIRE(ControlHost::Skin<CKivListCtrl>(list) != nullptr);
    Show(list);
    SendMessageW(list, LVM_SETBKCOLOR, 0, kDark);
    kivtest::Canvas canvas(180, 140, 0);
    Print(list, canvas);
    const kivtest::TextSample item = Label(list, canvas, 0);
    CheckReads(item, kDark);
    CHECK(item.ink == kWhite);

    const HWND tree = parent.host.Control(WC_TREEVIEWW, WS_BORDER, 200, 10, 180, 140, kId + 1, true);
    REQUIRE(ControlHost::Skin<CKivTreeCtrl>(tree) != nullptr);
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(L"A sample node");
    const HTREEITEM node =
        reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    Show(tree);
    SendMessageW(tree, TVM_SETBKCOLOR, 0, kDark);
    CHECK(static_cast<COLORREF>(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0)) == kDark);
    Print(tree, canvas);
    RECT text{};
    std::memcpy(&text, &node, sizeof(node));
    REQUIRE(SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)));
    InflateRect(&text, -1, -1);
    const kivtest::TextSample row = kivtest::SampleText(canvas, text);
    CheckReads(row, kDark);
    CHECK(row.ink == kWhite);
}

namespace {

HTREEITEM AddNode(HWND tree, const wchar_t* text)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(text);
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

kivtest::TextSample NodeText(HWND tree, HTREEITEM node, kivtest::Canvas& canvas)
{
    RECT text{};
    std::memcpy(&text, &node, sizeof(node));
    REQUIRE(SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)));
    // The focus rectangle's dots lie on the edge.
    InflateRect(&text, -1, -1);
    return kivtest::SampleText(canvas, text);
}

}  // namespace

TEST_CASE("tree view: the focused selection lies on the skin's selection colour with a text that reads, under a "
          "skinned parent and under a plain one")
{
    kivtest::InstallControlSkin();
    CKivSkinStore::Settings().treeControlBackColor = static_cast<int>(kDark);
    CKivSkinStore::Settings().listBoxSelectItemColor = static_cast<int>(kSelect);
    for (const bool skinnedParent : {true, false})
    {
        CAPTURE(skinnedParent);
        SkinnedHost parent;
        if (!skinnedParent)
            parent.parentSkin.Detach();
        const HWND tree = parent.host.Control(WC_TREEVIEWW, WS_BORDER, 10, 10, 180, 140, kId, true);
        const HWND plain = parent.host.Control(WC_TREEVIEWW, WS_BORDER, 200, 10, 180, 140, kId + 1, false);
        REQUIRE(ControlHost::Skin<CKivTreeCtrl>(tree) != nullptr);
        const HTREEITEM first = AddNode(tree, L"A sample node");
        const HTREEITEM second = AddNode(tree, L"The selected node");
        AddNode(plain, L"A sample node");
        const HTREEITEM plainSecond = AddNode(plain, L"The selected node");
        Show(tree);
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(second));
        SendMessageW(plain, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(plainSecond));
        SetFocus(tree);
        kivtest::PumpPending();
        // The selection is the control's as unskinned.
        CHECK(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == reinterpret_cast<LRESULT>(second));
        CHECK(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(second), TVIS_SELECTED) ==
              SendMessageW(plain, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(plainSecond), TVIS_SELECTED));

        kivtest::Canvas canvas(180, 140, 0);
        Print(tree, canvas);
        const kivtest::TextSample selected = NodeText(tree, second, canvas);
        CheckReads(selected, kSelect);
        CHECK(selected.ink == kBlack);
        const kivtest::TextSample other = NodeText(tree, first, canvas);
        CheckReads(other, kDark);
        CHECK(other.ink == kWhite);
        // Unskinned it is the system's highlight.
        SetFocus(plain);
        kivtest::PumpPending();
        Print(plain, canvas);
        CHECK(NodeText(plain, plainSecond, canvas).background == GetSysColor(COLOR_HIGHLIGHT));
        DestroyWindow(tree);
        DestroyWindow(plain);
    }
}

namespace {

// An atlas of the given depth and row order, red all over, with a piece at
// (10, 5)-(20, 15) whose left half is a dark blue-grey and whose right half
// is black, the colour that is transparent where pictures are drawn.
HBITMAP MakeAtlas(WORD bits, bool topDown)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 40;
    info.bmiHeader.biHeight = topDown ? -30 : 30;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP atlas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    REQUIRE(atlas != nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, atlas);
    const struct
    {
        RECT area;
        COLORREF colour;
    } fills[] = {{{0, 0, 40, 30}, RGB(200, 0, 0)}, {{10, 5, 15, 15}, RGB(20, 40, 60)}, {{15, 5, 20, 15}, kBlack}};
    for (const auto& fill : fills)
    {
        HBRUSH brush = CreateSolidBrush(fill.colour);
        FillRect(dc, &fill.area, brush);
        DeleteObject(brush);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return atlas;
}

}  // namespace

TEST_CASE("a picture's average: only its own pixels count, black ones are left out, at any atlas depth and row order")
{
    for (const bool topDown : {false, true})
        for (const WORD bits : {WORD(24), WORD(32)})
        {
            CAPTURE(topDown);
            CAPTURE(bits);
            HBITMAP atlas = MakeAtlas(bits, topDown);
            double luminance = -1.0;
            COLORREF colour = CLR_INVALID;
            REQUIRE(CKivTextContrast::Average(atlas, RECT{10, 5, 20, 15}, &luminance, &colour));
            CHECK(colour == RGB(20, 40, 60));
            CHECK(luminance == doctest::Approx(CKivTextContrast::RelativeLuminance(RGB(20, 40, 60))));
            // A piece running past the atlas is measured on what lies inside.
            REQUIRE(CKivTextContrast::Average(atlas, RECT{35, 25, 60, 50}, &luminance, &colour));
            CHECK(colour == RGB(200, 0, 0));
            CHECK(CKivTextContrast::AverageLuminance(atlas, RECT{0, 0, 10, 30}, &luminance));
            CHECK(luminance == doctest::Approx(CKivTextContrast::RelativeLuminance(RGB(200, 0, 0))));
            // Nothing but transparent pixels, or nothing inside: no answer.
            CHECK_FALSE(CKivTextContrast::Average(atlas, RECT{15, 5, 20, 15}, &luminance, &colour));
            CHECK_FALSE(CKivTextContrast::Average(atlas, RECT{50, 40, 60, 50}, &luminance, &colour));
            DeleteObject(atlas);
        }
    CHECK_FALSE(CKivTextContrast::Average(nullptr, RECT{0, 0, 4, 4}, nullptr, nullptr));
}
