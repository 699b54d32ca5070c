#include "CKivListPage.h"
#include "KivPreviewRes.h"

CKivListPage::CKivListPage() : CKivSamplePage(IDD_PAGE_LISTS)
{
}

void CKivListPage::AddStrings(int id, UINT addMessage, const wchar_t* format, int first, int last) const
{
    HWND control = Item(id);
    for (int number = first; number <= last; ++number)
    {
        wchar_t text[64];
        wsprintfW(text, format, number);
        SendMessageW(control, addMessage, 0, reinterpret_cast<LPARAM>(text));
    }
}

void CKivListPage::OnPageShown(bool firstTime)
{
    if (!firstTime)
        return;
    AddStrings(IDC_LIST_SINGLE, LB_ADDSTRING, L"Item%d", 1, 13);
    AddStrings(IDC_LIST_MULTIPLE, LB_ADDSTRING, L"Item%d", 1, 13);
    AddStrings(IDC_LIST_EXTENDED, LB_ADDSTRING, L"Item%d", 1, 5);
    AddStrings(IDC_COMBO_SIMPLE, CB_ADDSTRING, L"String%d", 1, 7);
    AddStrings(IDC_COMBO_SORTED, CB_ADDSTRING, L"String%d", 1, 3);
    AddStrings(IDC_COMBO_DROPLIST, CB_ADDSTRING, L"String%d", 1, 19);
    SendMessageW(Item(IDC_COMBO_DROPLIST), CB_SETCURSEL, 3, 0);
    SetItemText(IDC_COMBO_DROPDOWN, L"combobox");
    AddStrings(IDC_COMBO_DROPDOWN, CB_ADDSTRING, L"String.......%d", 0, 99);
}
