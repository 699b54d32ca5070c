#include "CKivProbeScene.h"
#include <commctrl.h>
#include <initializer_list>

namespace {

const int kLeft = 8;
const int kTop = 8;

void PumpPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Gives a tab control its two items.
void AddTabs(HWND tab, const wchar_t* first, const wchar_t* second)
{
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(first);
    SendMessageW(tab, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.pszText = const_cast<wchar_t*>(second);
    SendMessageW(tab, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

CKivProbeScene::CKivProbeScene(HINSTANCE instance) : m_instance(instance)
{
    // The active frame has no minimise box and the inactive one no maximise
    // box and a disabled close command, so that every caption button shows
    // both its normal and its disabled picture.
    const DWORD frameStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
    m_inactive = CreateWindowExW(0, WC_DIALOG, L"Inactive window", frameStyle & ~WS_MAXIMIZEBOX, kLeft + 540,
                                 kTop + 40, 200, 330, nullptr, nullptr, m_instance, nullptr);
    m_menu.Reset(CreateMenu());
    AppendMenuW(m_menu, MF_STRING, 1, L"File");
    AppendMenuW(m_menu, MF_STRING, 2, L"Edit");
    AppendMenuW(m_menu, MF_STRING, 3, L"Help");
    m_active = CreateWindowExW(0, WC_DIALOG, L"Active window", frameStyle & ~WS_MINIMIZEBOX, kLeft, kTop, 520, 360,
                               nullptr, m_menu, m_instance, nullptr);
    if (!IsValid())
        return;
    EnableMenuItem(GetSystemMenu(m_inactive, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    // A stock icon: shared, never destroyed.
    SendMessageW(m_active, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_APPLICATION)));
    AddControls();
    AddHeldStates();
    SetForegroundWindow(m_active);
    SetActiveWindow(m_active);
    // The focused push button wears the skin's face for the focus.
    SetFocus(GetDlgItem(m_active, IDOK));
    Settle();
}

CKivProbeScene::~CKivProbeScene()
{
    if (m_active)
    {
        DestroyWindow(m_active);  // the menu goes with it
        m_menu.Release();
    }
    if (m_inactive)
        DestroyWindow(m_inactive);
    PumpPending();
}

HWND CKivProbeScene::Control(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                             int height, int id)
{
    return ControlIn(m_active, className, text, style, x, y, width, height, id);
}

HWND CKivProbeScene::ControlIn(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                               int width, int height, int id)
{
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
}

void CKivProbeScene::AddHeldStates()
{
    // States a program can hold on screen without the mouse: a button held
    // pressed (BM_SETSTATE), the indeterminate and implicit check pictures,
    // disabled ones, a picture control and a tab strip with no tab selected.
    const HWND parent = m_inactive;
    struct Held
    {
        const wchar_t* text;
        DWORD style;
        WPARAM check;
        WPARAM state;
        bool disabled;
    };
    const Held held[] = {
        {L"Pressed", BS_PUSHBUTTON, BST_UNCHECKED, TRUE, false},
        {L"Pressed off", BS_AUTOCHECKBOX, BST_UNCHECKED, TRUE, false},
        {L"Pressed on", BS_AUTOCHECKBOX, BST_CHECKED, TRUE, false},
        {L"Mixed pressed", BS_AUTO3STATE, BST_INDETERMINATE, TRUE, false},
        {L"Mixed disabled", BS_AUTO3STATE, BST_INDETERMINATE, FALSE, true},
        {L"Implicit", BS_AUTOCHECKBOX, BST_UNCHECKED, 2, false},
        {L"Implicit disabled", BS_AUTOCHECKBOX, BST_UNCHECKED, 2, true},
        {L"Radio pressed", BS_AUTORADIOBUTTON | WS_GROUP, BST_UNCHECKED, TRUE, false},
        {L"Radio on pressed", BS_AUTORADIOBUTTON | WS_GROUP, BST_CHECKED, TRUE, false},
    };
    int y = 4;
    for (const Held& h : held)
    {
        const bool push = (h.style & 0xF) == BS_PUSHBUTTON;
        HWND control = ControlIn(parent, WC_BUTTONW, h.text, h.style, 8, y, push ? 80 : 170, push ? 24 : 20);
        SendMessageW(control, BM_SETCHECK, h.check, 0);
        if (h.disabled)
            EnableWindow(control, FALSE);
        if (h.state)
            SendMessageW(control, BM_SETSTATE, h.state, 0);
        y += push ? 28 : 22;
    }
    HWND icon = ControlIn(parent, WC_STATICW, L"", SS_ICON, 8, y, 32, 32);
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_APPLICATION)), 0);
    y += 38;
    HWND tab = ControlIn(parent, WC_TABCONTROLW, L"", 0, 8, y, 170, 30);
    AddTabs(tab, L"None", L"Selected");
    SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void CKivProbeScene::AddControls()
{
    Control(WC_BUTTONW, L"Default", BS_DEFPUSHBUTTON, 10, 10, 80, 26, IDOK);
    Control(WC_BUTTONW, L"Button", BS_PUSHBUTTON, 100, 10, 80, 26);
    HWND disabled = Control(WC_BUTTONW, L"Disabled", BS_PUSHBUTTON, 190, 10, 80, 26);
    EnableWindow(disabled, FALSE);

    Control(WC_BUTTONW, L"Unchecked", BS_AUTOCHECKBOX, 10, 46, 100, 20);
    HWND checked = Control(WC_BUTTONW, L"Checked", BS_AUTOCHECKBOX, 10, 68, 100, 20);
    SendMessageW(checked, BM_SETCHECK, BST_CHECKED, 0);
    HWND mixed = Control(WC_BUTTONW, L"Mixed", BS_AUTO3STATE, 10, 90, 100, 20);
    SendMessageW(mixed, BM_SETCHECK, BST_INDETERMINATE, 0);
    HWND off = Control(WC_BUTTONW, L"Disabled", BS_AUTOCHECKBOX, 10, 112, 100, 20);
    EnableWindow(off, FALSE);
    HWND offChecked = Control(WC_BUTTONW, L"Disabled on", BS_AUTOCHECKBOX, 120, 112, 120, 20);
    SendMessageW(offChecked, BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(offChecked, FALSE);
    HWND radio = Control(WC_BUTTONW, L"Radio on", BS_AUTORADIOBUTTON | WS_GROUP, 120, 46, 100, 20);
    SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
    Control(WC_BUTTONW, L"Radio off", BS_AUTORADIOBUTTON, 120, 68, 100, 20);
    HWND radioOff = Control(WC_BUTTONW, L"Radio disabled", BS_AUTORADIOBUTTON, 120, 90, 75, 20);
    EnableWindow(radioOff, FALSE);
    HWND radioOffChecked = Control(WC_BUTTONW, L"on", BS_RADIOBUTTON | WS_GROUP, 200, 90, 50, 20);
    SendMessageW(radioOffChecked, BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(radioOffChecked, FALSE);

    Control(WC_BUTTONW, L"Group", BS_GROUPBOX, 280, 4, 220, 70);
    Control(WC_STATICW, L"Static text", SS_LEFT, 292, 26, 90, 18);
    Control(WC_EDITW, L"Edit box", WS_BORDER | ES_AUTOHSCROLL, 292, 46, 190, 22);

    HWND list = Control(WC_LISTBOXW, L"", WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 10, 140, 120, 80);
    for (const wchar_t* item : {L"List one", L"List two", L"List three", L"List four", L"List five", L"List six"})
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    HWND combo = Control(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL, 140, 140, 130, 120);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Combo box"));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);

    HWND vertical = Control(WC_SCROLLBARW, L"", SBS_VERT, 250, 170, 17, 110);
    HWND horizontal = Control(WC_SCROLLBARW, L"", SBS_HORZ, 10, 230, 230, 17);
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 100, 20, 30, 0};
    SetScrollInfo(vertical, SB_CTL, &info, FALSE);
    SetScrollInfo(horizontal, SB_CTL, &info, FALSE);

    HWND slider = Control(TRACKBAR_CLASSW, L"", TBS_HORZ, 10, 256, 230, 28);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 10));
    SendMessageW(slider, TBM_SETPOS, TRUE, 4);
    HWND progress = Control(PROGRESS_CLASSW, L"", 0, 10, 290, 230, 16);
    SendMessageW(progress, PBM_SETPOS, 60, 0);

    HWND tab = Control(WC_TABCONTROLW, L"", 0, 280, 84, 220, 70);
    AddTabs(tab, L"First", L"Second");

    HWND listView = Control(WC_LISTVIEWW, L"", WS_BORDER | LVS_LIST, 280, 162, 105, 120);
    LVITEMW row = {};
    row.mask = LVIF_TEXT;
    row.pszText = const_cast<wchar_t*>(L"List view");
    SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    HWND tree = Control(WC_TREEVIEWW, L"", WS_BORDER | TVS_HASLINES, 395, 162, 105, 120);
    TVINSERTSTRUCTW node = {};
    node.hInsertAfter = TVI_LAST;
    node.item.mask = TVIF_TEXT;
    node.item.pszText = const_cast<wchar_t*>(L"Tree view");
    SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&node));
}

void CKivProbeScene::Settle() const
{
    for (HWND window : {m_inactive, m_active})
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
    GdiFlush();
}

RECT CKivProbeScene::Area()
{
    RECT area = {kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    return area;
}
