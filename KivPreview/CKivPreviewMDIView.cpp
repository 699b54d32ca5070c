#include "CKivPreviewMDIView.h"

bool CKivPreviewMDIView::Register()
{
    return RegisterClass(ClassName(), nullptr, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                         CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
}
