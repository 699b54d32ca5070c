#include "CKivPreviewApp.h"
#include "CKivPreviewDlg.h"
#include "CKivSkinNotice.h"

bool CKivPreviewApp::InitInstance()
{
    // The platform's file dialog and the sample message box keep the system's look.
    if (!StartSkinEngine({L"Open", L"打开", L"标题"}) && !Arguments().empty())
        CKivSkinNotice::Show(Arguments().front());
    InitCommonControls();
    SetRegistryKey(L"应用程序向导生成的本地应用程序");

    CKivPreviewDlg dialog(Arguments().empty() ? std::wstring() : Arguments().front());
    dialog.DoModal();
    // The dialog was the program: no message loop follows it.
    return false;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CKivPreviewApp app;
    return app.Main();
}
