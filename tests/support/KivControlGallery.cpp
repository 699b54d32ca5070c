#include "KivControlGallery.h"
#include "CKivHandle.h"
#include "../KivDialogTemplate.h"
#include "KivTestSupport.h"
#include <commctrl.h>

namespace kivtest {

namespace {

struct Kind
{
    const wchar_t* name;
    const wchar_t* className;
    DWORD style;
    const wchar_t* text;
};

const Kind kKinds[] = {
    {L"push button", L"BUTTON", BS_PUSHBUTTON, L"Push"},
    {L"check box", L"BUTTON", BS_AUTOCHECKBOX, L"Check"},
    {L"radio button", L"BUTTON", BS_AUTORADIOBUTTON, L"Radio"},
    {L"group box", L"BUTTON", BS_GROUPBOX, L"Group"},
    {L"static", L"STATIC", SS_LEFT, L"Static text"},
    {L"picture", L"STATIC", SS_ICON, L""},
    {L"edit", L"EDIT", WS_BORDER | ES_AUTOHSCROLL, L"Edit text"},
    {L"combo box", L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, L""},
    {L"editable combo box", L"COMBOBOX", CBS_DROPDOWN | WS_VSCROLL, L""},
    {L"list box", L"LISTBOX", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, L""},
    {L"scroll bar", L"SCROLLBAR", SBS_HORZ, L""},
    {L"slider", TRACKBAR_CLASSW, TBS_HORZ, L""},
    {L"progress bar", PROGRESS_CLASSW, 0, L""},
    {L"list view", WC_LISTVIEWW, LVS_REPORT | WS_BORDER, L""},
    {L"tree view", WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS | WS_BORDER, L""},
    {L"tab control", WC_TABCONTROLW, 0, L""},
};
const int kKindCount = static_cast<int>(sizeof(kKinds) / sizeof(kKinds[0]));

// Four columns hold one of each kind; a larger gallery spreads wider.
int Columns(int total)
{
    return total > kKindCount ? 8 : 4;
}
const int kCellWidth = 104;
const int kCellHeight = 56;
const int kMargin = 8;

INT_PTR CALLBACK GalleryDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// What a fresh control of the kind shows: items, a position, a check.
void Fill(HWND control, const Kind& kind)
{
    const std::wstring name = kind.name;
    if (name == L"check box" || name == L"radio button")
        SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
    else if (name == L"picture")
        SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_INFORMATION)), 0);
    else if (name == L"combo box" || name == L"editable combo box")
    {
        for (const wchar_t* item : {L"First", L"Second", L"Third"})
            SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(control, CB_SETCURSEL, 1, 0);
    }
    else if (name == L"list box")
    {
        for (const wchar_t* item : {L"One", L"Two", L"Three", L"Four", L"Five"})
            SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(control, LB_SETCURSEL, 1, 0);
    }
    else if (name == L"scroll bar")
    {
        SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 100, 20, 30, 0};
        SendMessageW(control, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
    }
    else if (name == L"slider")
        SendMessageW(control, TBM_SETPOS, TRUE, 40);
    else if (name == L"progress bar")
        SendMessageW(control, PBM_SETPOS, 60, 0);
    else if (name == L"list view")
    {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 80;
        column.pszText = const_cast<wchar_t*>(L"Name");
        SendMessageW(control, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"Row");
        SendMessageW(control, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    else if (name == L"tree view")
    {
        TVINSERTSTRUCTW insert = {};
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<wchar_t*>(L"Root");
        const LPARAM root = SendMessageW(control, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
        insert.hParent = reinterpret_cast<HTREEITEM>(root);
        insert.item.pszText = const_cast<wchar_t*>(L"Leaf");
        SendMessageW(control, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
        SendMessageW(control, TVM_EXPAND, TVE_EXPAND, root);
    }
    else if (name == L"tab control")
    {
        TCITEMW tab = {};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<wchar_t*>(L"One");
        SendMessageW(control, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab));
        tab.pszText = const_cast<wchar_t*>(L"Two");
        SendMessageW(control, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&tab));
    }
}

}  // namespace

int ControlGallery::KindCount()
{
    return kKindCount;
}

ControlGallery::ControlGallery(int x, int y, int count)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    const int total = count > 0 ? count : kKindCount;
    const int columns = Columns(total);
    const int rows = (total + columns - 1) / columns;
    DialogTemplate empty(WS_POPUP | WS_CAPTION | WS_SYSMENU, 10, 10, L"Kiv gallery");
    m_dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), empty.Build(), nullptr, GalleryDialogProc, 0);
    if (m_dialog == nullptr)
        return;
    RECT client = {0, 0, 2 * kMargin + columns * kCellWidth, 2 * kMargin + rows * kCellHeight};
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongPtrW(m_dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(m_dialog, GWL_EXSTYLE)));
    SetWindowPos(m_dialog, nullptr, x, y, client.right - client.left, client.bottom - client.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (int i = 0; i < total; ++i)
    {
        const Kind& kind = kKinds[i % kKindCount];
        const int cellX = kMargin + (i % columns) * kCellWidth;
        const int cellY = kMargin + (i / columns) * kCellHeight;
        const int height = (std::wstring(kind.className) == L"COMBOBOX") ? 120 : kCellHeight - 8;
        const HWND control = CreateWindowExW(0, kind.className, kind.text, WS_CHILD | WS_VISIBLE | kind.style, cellX,
                                             cellY, kCellWidth - 8, height, m_dialog,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)),
                                             GetModuleHandleW(nullptr), nullptr);
        if (control == nullptr)
            continue;
        Fill(control, kind);
        m_controls.push_back(GalleryControl{kind.name, control});
    }
    ShowWindow(m_dialog, SW_SHOWNOACTIVATE);
}

ControlGallery::~ControlGallery()
{
    if (m_dialog != nullptr && IsWindow(m_dialog))
        DestroyWindow(m_dialog);
}

HWND CreateMenuFrame(const wchar_t* title, int x, int y, int width, int height)
{
    const wchar_t* className = RegisterTestClass(L"KivGalleryFrame", DefWindowProcW);
    CKivMenu bar(CreateMenu());
    for (const wchar_t* item : {L"&File", L"&Edit", L"&Help"})
    {
        HMENU popup = CreatePopupMenu();
        AppendMenuW(popup, MF_STRING, 1, L"&Open");
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), item);
    }
    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, TRUE, 0);
    const HWND frame = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, x, y, rect.right - rect.left,
                                       rect.bottom - rect.top, nullptr, bar, GetModuleHandleW(nullptr), nullptr);
    if (frame == nullptr)
        return nullptr;
    bar.Release();  // the frame's now
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    return frame;
}

bool PumpPaints(DWORD timeoutMs)
{
    return PumpUntil([] { return HIWORD(GetQueueStatus(QS_PAINT)) == 0; }, timeoutMs);
}

}  // namespace kivtest
