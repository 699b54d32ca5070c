#include "CKivPreviewDlg.h"
#include "CKivAboutDlg.h"
#include "CKivPaintDC.h"
#include "CKivResources.h"
#include "KivPreviewRes.h"

CKivPreviewDlg::CKivPreviewDlg(const std::wstring& skin)
    : CKivDialog(IDD_KIVPREVIEW_DIALOG),
      m_icon(CKivResources::Icon(IDR_MAINFRAME)),
      m_smallIcon(CKivResources::SmallIcon(IDR_MAINFRAME)),
      m_pages{&m_buttons, &m_edits, &m_lists, &m_ranges, &m_views},
      m_skins(skin)
{
    // The keys arrive as commands, the system menu's items as system commands.
    Commands().On(ID_SKIN_NEXT, [this](UINT id) { OnSkinCommand(id); });
    Commands().On(ID_SKIN_OPEN, [this](UINT id) { OnSkinCommand(id); });
}

BOOL CKivPreviewDlg::OnInitDialog(HWND)
{
    AddAboutToSystemMenu();
    AddSkinCommands();
    m_skins.WatchKeys(Handle());
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
    CreatePages();
    ShowPage(0);
    return TRUE;
}

void CKivPreviewDlg::AddAboutToSystemMenu()
{
    HMENU systemMenu = GetSystemMenu(Handle(), FALSE);
    const std::wstring about = CKivResources::String(IDS_ABOUTBOX);
    if (systemMenu == nullptr || about.empty())
        return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
}

void CKivPreviewDlg::AddSkinCommands()
{
    HMENU systemMenu = GetSystemMenu(Handle(), FALSE);
    const std::wstring next = CKivResources::String(IDS_SKIN_NEXT);
    const std::wstring open = CKivResources::String(IDS_SKIN_OPEN);
    if (systemMenu == nullptr || next.empty() || open.empty())
        return;
    AppendMenuW(systemMenu, MF_STRING, ID_SKIN_NEXT, next.c_str());
    AppendMenuW(systemMenu, MF_STRING, ID_SKIN_OPEN, open.c_str());
}

bool CKivPreviewDlg::OnSkinCommand(UINT id)
{
    if (id == ID_SKIN_NEXT)
        m_skins.Next();
    else if (id == ID_SKIN_OPEN)
        m_skins.Pick(Handle());
    else
        return false;
    return true;
}

bool CKivPreviewDlg::OnDestroy()
{
    m_skins.StopKeys();
    return false;
}

void CKivPreviewDlg::CreatePages()
{
    HWND tab = Item(IDC_TAB);
    for (int index = 0; index < kPageCount; ++index)
    {
        wchar_t title[16];
        wsprintfW(title, L"控件%d", index + 1);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = title;
        SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
    // The pages fill the tab control's display area.
    RECT area;
    GetClientRect(tab, &area);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (CKivSamplePage* page : m_pages)
    {
        if (!page->Create(tab))
            continue;
        SetWindowPos(page->Handle(), nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CKivPreviewDlg::ShowPage(int index)
{
    for (CKivSamplePage* page : m_pages)
    {
        if (page->Handle())
            ShowWindow(page->Handle(), SW_HIDE);
    }
    if (index >= 0 && index < kPageCount && m_pages[index]->Handle())
        ShowWindow(m_pages[index]->Handle(), SW_SHOW);
}

bool CKivPreviewDlg::OnNotify(int id, NMHDR* header)
{
    if (id != IDC_TAB || header->code != TCN_SELCHANGE)
        return false;
    ShowPage(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
    SetResult(0);
    return true;
}

bool CKivPreviewDlg::OnSysCommand(UINT command, LPARAM)
{
    if (OnSkinCommand(command & 0xFFF0))
        return true;
    if ((command & 0xFFF0) != IDM_ABOUTBOX)
        return false;
    CKivAboutDlg about;
    about.DoModal(Handle());
    return true;
}

bool CKivPreviewDlg::OnPaint()
{
    if (!IsIconic(Handle()))
        return false;
    CKivPaintDC dc(Handle());
    SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc.Get(), x, y, m_icon);
    return true;
}

HCURSOR CKivPreviewDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_icon);
}
