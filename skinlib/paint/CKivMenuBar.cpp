#include "CKivMenuBar.h"

int CKivMenuBar::HandleMessage(UINT, WPARAM, LPARAM)
{
    return 1;
}
