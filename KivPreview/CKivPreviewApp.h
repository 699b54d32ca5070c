#pragma once
#include "CKivApp.h"

// KivPreview.exe: the dialog program with five pages of sample controls.
class CKivPreviewApp : public CKivApp
{
public:
    CKivPreviewApp() : CKivApp(L"KivPreview") {}

protected:
    bool InitInstance() override;
};
