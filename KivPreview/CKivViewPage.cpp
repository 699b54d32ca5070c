#include "CKivViewPage.h"
#include "KivPreviewRes.h"

CKivViewPage::CKivViewPage() : CKivSamplePage(IDD_PAGE_VIEWS)
{
}

void CKivViewPage::OnPageShown(bool firstTime)
{
    if (!firstTime)
        return;
    FillReport();
    FillList();
    FillTree();
}

void CKivViewPage::FillReport() const
{
    HWND list = Item(IDC_LIST_REPORT);
    for (int column = 0; column < 4; ++column)
    {
        wchar_t title[16];
        wsprintfW(title, L"col%d", column + 1);
        LVCOLUMNW info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        info.cx = 80;
        info.pszText = title;
        info.iSubItem = column;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
    }
    for (int row = 0; row < 8; ++row)
    {
        wchar_t text[16];
        wsprintfW(text, L"item%d", row + 1);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = text;
        const int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (index < 0 || row == 7)
            continue;
        item.iSubItem = 1;
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
}

void CKivViewPage::FillList() const
{
    HWND list = Item(IDC_LIST_ICONS);
    for (int number = 0; number <= 22; ++number)
    {
        wchar_t text[16];
        wsprintfW(text, L"itemx%d", number);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = number;
        item.pszText = text;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

HTREEITEM CKivViewPage::AddNode(HTREEITEM parent, const wchar_t* text) const
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(text);
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(Item(IDC_TREE), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void CKivViewPage::FillTree() const
{
    wchar_t text[128];
    HTREEITEM root1 = AddNode(TVI_ROOT, L"root1");
    HTREEITEM last = nullptr;
    for (int number = 0; number < 5; ++number)
    {
        wsprintfW(text, L"node..................%d", number);
        last = AddNode(root1, text);
    }
    for (int number = 0; number < 5; ++number)
    {
        wsprintfW(text, L"结点node_________________%d", number);
        AddNode(last, text);
    }
    HTREEITEM root2 = AddNode(TVI_ROOT, L"root2");
    for (int number = 0; number < 8; ++number)
    {
        wsprintfW(text, L"node_ _ _ _ _ _ _ _ _ _ _ _ _ _ _%d", number);
        last = AddNode(root2, text);
    }
    for (int number = 0; number < 12; ++number)
    {
        wsprintfW(text, L"node_._._._._._._._._.%d", number);
        AddNode(last, text);
    }
}
