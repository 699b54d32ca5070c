#pragma once
#include "CKivWindow.h"

// The client area of a document window: an empty page in the window colour.
class CKivPreviewMDIView : public CKivWindow
{
public:
    static const wchar_t* ClassName() { return L"KivPreviewMDIView"; }
    static bool Register();
};
