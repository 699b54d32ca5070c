#include "CKivPreviewMDIApp.h"
#include "CChildFrame.h"
#include "CKivMessageLoop.h"
#include "CKivResources.h"
#include "CKivSkinNotice.h"
#include "KivPreviewMDIRes.h"
#include <commdlg.h>
#include <ole2.h>

CKivPreviewMDIApp::CKivPreviewMDIApp() : CKivApp(L"KivPreviewMDI"), m_recentFiles(ID_FILE_MRU_FILE1, 4)
{
    CKivCommandMap& commands = m_frame.Commands();
    commands.On(ID_FILE_NEW, [this](UINT) { NewDocument(); });
    commands.On(ID_FILE_OPEN, [this](UINT) { OnOpen(); });
    commands.On(ID_SKIN_NEXT, [this](UINT) { Skins().Next(); });
    commands.On(ID_SKIN_OPEN, [this](UINT) { Skins().Pick(m_frame.Handle()); });
    commands.OnRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE1 + 3, [this](UINT id) { OnRecentFile(id); },
                     [this] { return !m_recentFiles.Files().empty(); });
}

bool CKivPreviewMDIApp::InitInstance()
{
    // The system's file, print and print-setup dialogs, caption-less
    // dialogs and the sample message box keep the system's look.
    if (!StartSkinEngine({L"Open", L"打开", L"标题", L"", L"Print", L"Windows", L"Print Setup", L"打印设置"}) &&
        !Arguments().empty())
        CKivSkinNotice::Show(Arguments().front());
    InitCommonControls();

    if (FAILED(OleInitialize(nullptr)))
    {
        MessageBoxW(nullptr, CKivResources::String(IDP_OLE_INIT_FAILED).c_str(), AppName().c_str(), MB_ICONSTOP);
        return false;
    }
    m_oleStarted = true;

    SetRegistryKey(L"Local AppWizard-Generated Applications");
    m_recentFiles.Load(ProfileKey());

    if (!CMainFrame::Register() || !CChildFrame::Register() || !CKivPreviewMDIView::Register() ||
        !m_frame.CreateMainFrame())
        return false;
    CKivMessageLoop& loop = CKivMessageLoop::Current();
    loop.SetMdiClient(m_frame.MdiClient());
    loop.SetAccelerators(m_frame.Handle(), CKivResources::Accelerators(IDR_MAINFRAME));
    UpdateRecentMenus();
    // Lay the bars and the client out now, so that the first child gets a real default size.
    m_frame.RecalcLayout();

    // The command line names a document to open; without one a new document starts.
    if (Arguments().empty())
        NewDocument();
    else
        OpenDocument(Arguments().front());

    ShowWindow(m_frame.Handle(), SW_SHOWDEFAULT);
    UpdateWindow(m_frame.Handle());
    return true;
}

CKivSkinSwitcher& CKivPreviewMDIApp::Skins()
{
    // Made on first use: the command line is read after construction.
    if (!m_skins)
        m_skins.reset(new CKivSkinSwitcher(Arguments().empty() ? std::wstring() : Arguments().front()));
    return *m_skins;
}

int CKivPreviewMDIApp::ExitInstance()
{
    if (m_oleStarted)
        OleUninitialize();
    return CKivApp::ExitInstance();
}

void CKivPreviewMDIApp::OpenWindow(const std::shared_ptr<CKivPreviewMDIDoc>& document)
{
    auto* child = new CChildFrame(document);
    if (!child->CreateChild(m_frame, CChildFrame::ClassName(), document->Title().c_str(), m_frame.DocumentMenu(),
                            m_frame.DocumentWindowMenu()))
        delete child;  // never got a window, so it cannot delete itself
}

void CKivPreviewMDIApp::NewDocument()
{
    OpenWindow(std::make_shared<CKivPreviewMDIDoc>());
}

void CKivPreviewMDIApp::OpenDocument(const std::wstring& path)
{
    OpenWindow(std::make_shared<CKivPreviewMDIDoc>(path));
    AddToRecentFiles(path);
}

void CKivPreviewMDIApp::OnOpen()
{
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW open = {};
    open.lStructSize = sizeof(open);
    open.hwndOwner = m_frame.Handle();
    open.lpstrFilter = L"All Files (*.*)\0*.*\0";
    open.lpstrFile = path;
    open.nMaxFile = MAX_PATH;
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (GetOpenFileNameW(&open))
        OpenDocument(path);
}

void CKivPreviewMDIApp::OnRecentFile(UINT id)
{
    const std::wstring path = m_recentFiles.FileForCommand(id);
    if (path.empty())
        return;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        // A vanished file leaves the list instead of opening an empty window.
        m_recentFiles.Remove(id - ID_FILE_MRU_FILE1);
        UpdateRecentMenus();
        return;
    }
    OpenDocument(path);
}

void CKivPreviewMDIApp::AddToRecentFiles(const std::wstring& path)
{
    m_recentFiles.Add(path);
    UpdateRecentMenus();
}

void CKivPreviewMDIApp::SaveRecentFiles() const
{
    m_recentFiles.Save(ProfileKey());
}

void CKivPreviewMDIApp::UpdateRecentMenus() const
{
    if (HMENU menu = m_frame.FrameFileMenu())
        m_recentFiles.UpdateMenu(menu);
    if (HMENU menu = m_frame.DocumentFileMenu())
        m_recentFiles.UpdateMenu(menu);
    DrawMenuBar(m_frame.Handle());
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CKivPreviewMDIApp app;
    return app.Main();
}
