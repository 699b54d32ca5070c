#include "CMainFrame.h"
#include "CChildFrame.h"
#include "CKivAboutDlg.h"
#include "CKivPreviewMDIApp.h"
#include "CKivResources.h"
#include "KivPreviewMDIRes.h"
#include <commdlg.h>

CMainFrame::CMainFrame()
{
    Commands().On(ID_APP_ABOUT, [this](UINT) { OnAbout(); });
    Commands().On(ID_APP_EXIT, [this](UINT) { PostMessageW(Handle(), WM_CLOSE, 0, 0); });
    Commands().On(ID_FILE_PRINT_SETUP, [this](UINT) { OnPrintSetup(); });
    Commands().On(
        ID_VIEW_TOOLBAR, [this](UINT) { ShowBar(ToolBar(), !IsBarVisible(ToolBar())); }, nullptr,
        [this] { return IsBarVisible(ToolBar()); });
    Commands().On(
        ID_VIEW_STATUS_BAR, [this](UINT) { ShowBar(StatusBar(), !IsBarVisible(StatusBar())); }, nullptr,
        [this] { return IsBarVisible(StatusBar()); });
    Commands().OnRange(ID_WINDOW_NEW, ID_WINDOW_TILE_VERT, [this](UINT id) { OnWindowCommand(id); },
                       [this] { return ActiveChild() != nullptr; });
}

bool CMainFrame::Register()
{
    return RegisterClass(ClassName(), CKivResources::Icon(IDR_MAINFRAME), CKivResources::SmallIcon(IDR_MAINFRAME),
                         reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1), 0);
}

bool CMainFrame::CreateMainFrame()
{
    m_frameMenu = CKivResources::Menu(IDR_MAINFRAME);
    m_documentMenu = CKivResources::Menu(IDR_KIVPREVIEWMDITYPE);
    const std::wstring title = CKivResources::String(IDR_MAINFRAME);
    if (!CreateFrame(ClassName(), title.c_str(), WS_OVERLAPPEDWINDOW, m_frameMenu,
                     DocumentWindowMenu()))
        return false;
    return true;
}

LRESULT CMainFrame::OnCreate(CREATESTRUCTW* create)
{
    if (CKivMdiFrame::OnCreate(create) != 0)
        return -1;
    CreateToolBar();
    CreateStatusBar();
    return 0;
}

bool CMainFrame::CreateToolBar()
{
    HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0, Handle(),
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (bar == nullptr)
        return false;
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP bitmaps = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    SendMessageW(bar, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&bitmaps));
    const struct
    {
        int image;
        int command;
    } layout[] = {{STD_FILENEW, ID_FILE_NEW}, {STD_FILEOPEN, ID_FILE_OPEN}, {STD_FILESAVE, ID_FILE_SAVE},
                  {-1, 0},                    {STD_CUT, ID_EDIT_CUT},       {STD_COPY, ID_EDIT_COPY},
                  {STD_PASTE, ID_EDIT_PASTE}, {-1, 0},                      {STD_PRINT, ID_FILE_PRINT},
                  {STD_HELP, ID_APP_ABOUT}};
    for (const auto& entry : layout)
    {
        TBBUTTON button = {};
        button.iBitmap = entry.image < 0 ? 0 : entry.image;
        button.idCommand = entry.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = entry.image < 0 ? BTNS_SEP : BTNS_BUTTON;
        SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    SetToolBar(bar);
    return true;
}

bool CMainFrame::CreateStatusBar()
{
    HWND bar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                               Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (bar == nullptr)
        return false;
    // Three indicator panes of 40 pixels at the right, the message pane takes the rest.
    int edges[] = {-200, -150, -100, -50};
    RECT client;
    GetClientRect(Handle(), &client);
    const int right = client.right > 200 ? client.right : 800;
    for (int& edge : edges)
        edge += right;
    edges[3] = -1;
    SendMessageW(bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    const UINT texts[] = {IDS_READY, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    for (WPARAM part = 0; part < 4; ++part)
        SendMessageW(bar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(CKivResources::String(texts[part]).c_str()));
    SetStatusBar(bar);
    return true;
}

LRESULT CMainFrame::OnDestroy()
{
    if (CKivPreviewMDIApp* app = CKivPreviewMDIApp::Instance())
        app->SaveRecentFiles();
    PostQuitMessage(0);
    return CKivMdiFrame::OnDestroy();
}

void CMainFrame::OnAbout()
{
    CKivAboutDlg about;
    about.DoModal(Handle());
}

void CMainFrame::OnPrintSetup()
{
    PRINTDLGW setup = {};
    setup.lStructSize = sizeof(setup);
    setup.hwndOwner = Handle();
    setup.Flags = PD_PRINTSETUP;
    PrintDlgW(&setup);
    if (setup.hDevMode)
        GlobalFree(setup.hDevMode);
    if (setup.hDevNames)
        GlobalFree(setup.hDevNames);
}

void CMainFrame::OnWindowCommand(UINT id)
{
    CKivMdiChild* active = ActiveChild();
    switch (id)
    {
    case ID_WINDOW_NEW:
        if (auto* child = dynamic_cast<CChildFrame*>(active))
            CKivPreviewMDIApp::Instance()->OpenWindow(child->Document());
        break;
    case ID_WINDOW_CASCADE:
        SendMessageW(MdiClient(), WM_MDICASCADE, 0, 0);
        break;
    case ID_WINDOW_TILE_HORZ:
        SendMessageW(MdiClient(), WM_MDITILE, MDITILE_HORIZONTAL, 0);
        break;
    case ID_WINDOW_TILE_VERT:
        SendMessageW(MdiClient(), WM_MDITILE, MDITILE_VERTICAL, 0);
        break;
    default:
        SendMessageW(MdiClient(), WM_MDIICONARRANGE, 0, 0);
        break;
    }
}
