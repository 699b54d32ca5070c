#include "CKivUpdateApp.h"
#include "CKivUpdateDlg.h"
#include "CKivUpdateFetchProcess.h"

bool CKivUpdateApp::InitInstance()
{
    if (Arguments().empty())
        SetArguments({DefaultSkin(CKivApp::ProgramFolder())});
    StartSkinEngine({});
    InitCommonControls();

    CKivUpdateDlg dialog;
    dialog.DoModal();
    // The dialog was the program: no message loop follows it.
    return false;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Started by a check of its own to fetch the update document: no window,
    // no skin.
    std::vector<std::wstring> arguments = CKivApp::SplitCommandLine(GetCommandLineW());
    if (!arguments.empty())
        arguments.erase(arguments.begin());
    if (CKivUpdateFetchProcess::ServeIfAsked(arguments))
        return 0;
    CKivUpdateApp app;
    return app.Main();
}
