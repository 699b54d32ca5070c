#pragma once
#include "CKivApp.h"

// The builder program: one instance at a time, an optional project on the
// command line, the splash, then the main dialog until it closes.
class CKivBuilderApp : public CKivApp
{
public:
    CKivBuilderApp() : CKivApp(L"KivBuilder") {}

    // Folder of the program file, without a trailing backslash.
    static std::wstring ProgramFolder();

protected:
    bool InitInstance() override;
};
