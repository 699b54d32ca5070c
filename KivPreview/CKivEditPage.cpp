#include "CKivEditPage.h"
#include "KivPreviewRes.h"

CKivEditPage::CKivEditPage() : CKivSamplePage(IDD_PAGE_EDITS)
{
}

void CKivEditPage::OnPageShown(bool)
{
    SetItemText(IDC_EDIT_SINGLE, L"文本");
    SetItemText(IDC_EDIT_MULTI, L"TEXT\r\n文本\r\n1234567890\r\nabcdefg123456ABC\r\n");
    SetItemText(IDC_EDIT_DIGITS, L"1234567890");
    SetItemText(IDC_EDIT_PASSWORD, L"abcdefg123456ABC");
    SetItemText(IDC_EDIT_READONLY, L"abcdefg123456ABC");
}
