#include "CKivBuilderApp.h"
#include "CKivBuilderDlg.h"
#include "CKivBuilderInstance.h"
#include "CKivInitialize.h"
#include "CWelcomeDlg.h"
#include <cwchar>
#include <vector>

bool CKivBuilderApp::InitInstance()
{
    CKivBuilderInstance instance;
    if (!instance.Acquire())
    {
        CKivBuilderInstance::ActivateFirst();
        return false;
    }
    std::wstring project;
    if (!Arguments().empty())
    {
        const std::wstring& first = Arguments().front();
        const size_t dot = first.find_last_of(L'.');
        if (dot != std::wstring::npos && _wcsicmp(first.c_str() + dot, L".kivproj") == 0 && first.size() < MAX_PATH)
            project = first;
    }
    InitCommonControls();
    CKivInitialize::Instance();

    CWelcomeDlg welcome;
    welcome.DoModal();
    CKivBuilderDlg dialog(ProgramFolder(), project, &instance);
    dialog.DoModal();
    return false;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CKivBuilderApp app;
    return app.Main();
}
