#include "CChildFrame.h"
#include "CKivPreviewMDIApp.h"
#include "CKivResources.h"
#include "KivPreviewMDIRes.h"
#include <commdlg.h>

CChildFrame::CChildFrame(std::shared_ptr<CKivPreviewMDIDoc> document) : m_document(std::move(document))
{
    Commands().On(ID_FILE_CLOSE, [this](UINT) { OnFileClose(); });
    Commands().On(ID_FILE_SAVE, [this](UINT) { OnSave(); });
    Commands().On(ID_FILE_SAVE_AS, [this](UINT) { OnSaveAs(); });
    Commands().On(ID_FILE_PRINT, [this](UINT) { OnPrint(); });
}

bool CChildFrame::Register()
{
    return RegisterClass(ClassName(), CKivResources::Icon(IDR_KIVPREVIEWMDITYPE),
                         CKivResources::SmallIcon(IDR_KIVPREVIEWMDITYPE), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                         CS_HREDRAW | CS_VREDRAW);
}

LRESULT CChildFrame::OnCreate(CREATESTRUCTW*)
{
    RECT area;
    GetClientRect(Handle(), &area);
    if (!m_view.Create(CKivPreviewMDIView::ClassName(), nullptr, WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE, &area,
                       Handle()))
        return -1;
    return Default();
}

LRESULT CChildFrame::OnSize(UINT type, int width, int height)
{
    if (m_view.Handle() && type != SIZE_MINIMIZED)
        MoveWindow(m_view.Handle(), 0, 0, width, height, TRUE);
    // DefMDIChildProc must see every size change as well.
    return Default();
}

LRESULT CChildFrame::OnSetFocus(HWND)
{
    if (m_view.Handle())
        SetFocus(m_view.Handle());
    return Default();
}

void CChildFrame::OnFileClose()
{
    if (Frame())
        SendMessageW(Frame()->MdiClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(Handle()), 0);
}

void CChildFrame::OnSave()
{
    if (m_document->Path().empty())
        OnSaveAs();
    else
        m_document->Save(m_document->Path());
}

void CChildFrame::OnSaveAs()
{
    wchar_t path[MAX_PATH] = {};
    lstrcpynW(path, m_document->Title().c_str(), MAX_PATH);
    OPENFILENAMEW save = {};
    save.lStructSize = sizeof(save);
    save.hwndOwner = Frame() ? Frame()->Handle() : Handle();
    save.lpstrFilter = L"All Files (*.*)\0*.*\0";
    save.lpstrFile = path;
    save.nMaxFile = MAX_PATH;
    save.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetSaveFileNameW(&save) || !m_document->Save(path))
        return;
    SetWindowTextW(Handle(), m_document->Title().c_str());
    if (CKivPreviewMDIApp* app = CKivPreviewMDIApp::Instance())
        app->AddToRecentFiles(path);
}

void CChildFrame::OnPrint()
{
    // The sample prints nothing: the dialog itself is what is shown.
    PRINTDLGW print = {};
    print.lStructSize = sizeof(print);
    print.hwndOwner = Frame() ? Frame()->Handle() : Handle();
    print.Flags = PD_ALLPAGES | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    print.nMinPage = print.nFromPage = 1;
    print.nMaxPage = print.nToPage = 1;
    PrintDlgW(&print);
    if (print.hDevMode)
        GlobalFree(print.hDevMode);
    if (print.hDevNames)
        GlobalFree(print.hDevNames);
}
