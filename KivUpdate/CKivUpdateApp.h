#pragma once
#include "CKivApp.h"

// KivUpdate.exe: checks the update server and offers a newer version's
// download address. An optional argument names the skin file; without one
// the program wears "skin\black.kiv" from its own folder.
class CKivUpdateApp : public CKivApp
{
public:
    CKivUpdateApp() : CKivApp(L"KivUpdate") {}

    static std::wstring DefaultSkin(const std::wstring& folder) { return folder + L"\\skin\\black.kiv"; }

protected:
    bool InitInstance() override;
};
