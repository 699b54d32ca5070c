#include "CKivButtonPage.h"
#include "KivPreviewRes.h"
#include <commdlg.h>

CKivButtonPage::CKivButtonPage() : CKivSamplePage(IDD_PAGE_BUTTONS)
{
    for (COLORREF& color : m_customColors)
        color = RGB(255, 255, 255);
    Commands().On(IDC_BUTTON2, [this](UINT) { OnButton2(); });
    Commands().On(IDC_DISABLE_BUTTON2, [this](UINT) { OnToggleButton2(); });
    Commands().On(IDC_CHECK1, [this](UINT id) { OnShowOkWhenChecked(id); });
    Commands().On(IDC_RADIO2, [this](UINT id) { OnShowOkWhenChecked(id); });
    Commands().On(IDC_DISABLE_CHECK1, [this](UINT) { OnDisableCheck1(); });
    Commands().On(IDC_OPEN_FILE, [this](UINT) { OnOpenFile(); });
    Commands().On(IDC_CHOOSE_COLOR, [this](UINT) { OnChooseColor(); });
    Commands().On(IDC_ENABLE_RADIO2, [this](UINT id) { OnRadio2Enable(id); });
    Commands().On(IDC_DISABLE_RADIO2, [this](UINT id) { OnRadio2Enable(id); });
}

void CKivButtonPage::OnPageShown(bool)
{
    SendMessageW(Item(IDC_DISABLE_CHECK1), BM_SETSTATE, TRUE, 0);
    CheckDlgButton(Handle(), IDC_CHECK4, BST_CHECKED);
    CheckDlgButton(Handle(), IDC_RADIO2, BST_CHECKED);
    CheckDlgButton(Handle(), IDC_RADIO3, BST_CHECKED);
}

void CKivButtonPage::OnButton2()
{
    MessageBoxW(Handle(), L"OnBnClieckedButton2", L"标题", MB_YESNOCANCEL | MB_ICONQUESTION);
}

void CKivButtonPage::OnToggleButton2()
{
    const bool disable = ItemText(IDC_DISABLE_BUTTON2) == L"禁用Button2";
    SetItemText(IDC_DISABLE_BUTTON2, disable ? L"启用Button2" : L"禁用Button2");
    EnableItem(IDC_BUTTON2, !disable);
}

void CKivButtonPage::OnShowOkWhenChecked(UINT id)
{
    if (IsChecked(static_cast<int>(id)))
        MessageBoxW(Handle(), L"ok", L"KivPreview", MB_OK);
}

void CKivButtonPage::OnDisableCheck1()
{
    EnableItem(IDC_CHECK1, !IsChecked(IDC_DISABLE_CHECK1));
}

void CKivButtonPage::OnOpenFile()
{
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW open = {};
    open.lStructSize = sizeof(open);
    open.hwndOwner = Handle();
    open.lpstrFilter = L"*.*\0*.*\0";
    open.lpstrFile = path;
    open.nMaxFile = MAX_PATH;
    open.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    GetOpenFileNameW(&open);
}

void CKivButtonPage::OnChooseColor()
{
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = Handle();
    choose.rgbResult = m_color;
    choose.lpCustColors = m_customColors;
    choose.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (ChooseColorW(&choose))
        m_color = choose.rgbResult;
}

void CKivButtonPage::OnRadio2Enable(UINT id)
{
    EnableItem(IDC_RADIO2, id == IDC_ENABLE_RADIO2);
}
