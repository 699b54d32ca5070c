#include "CKivUpdateApp.h"
#include "CKivUpdateDlg.h"

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
    CKivUpdateApp app;
    return app.Main();
}
