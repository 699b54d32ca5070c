#pragma once
#include "CKivApp.h"

// The builder program: one instance at a time, an optional project on the
// command line, the splash, then the main dialog until it closes.
class CKivBuilderApp : public CKivApp
{
public:
    CKivBuilderApp() : CKivApp(L"KivBuilder") {}

protected:
    bool InitInstance() override;
};
