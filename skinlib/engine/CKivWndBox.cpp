#include "CKivWndBox.h"

CKivWndBox& CKivWndBox::Instance()
{
    static CKivWndBox registry;
    return registry;
}

int CKivWndBox::OnWindowCreated(HWND)
{
    return 0;
}
