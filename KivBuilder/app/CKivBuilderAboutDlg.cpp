#include "CKivBuilderAboutDlg.h"
#include "CKivWndBox.h"
#include "KivBuilderRes.h"

CKivBuilderAboutDlg::CKivBuilderAboutDlg(bool skinned) : CKivDialog(IDD_ABOUTBOX), m_skinned(skinned)
{
}

BOOL CKivBuilderAboutDlg::OnInitDialog(HWND)
{
    if (!m_skinned)
        return TRUE;
    CKivWndBox& registry = CKivWndBox::Instance();
    registry.Create(KivSkinKind::FrameWnd, Handle());
    registry.Create(KivSkinKind::Button, Item(IDOK));
    // The icon is the dialog's one static picture (identifier -1).
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) == -1 || GetDlgCtrlID(child) == 0xFFFF)
            if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                registry.Create(KivSkinKind::PictureControl, child);
    return TRUE;
}
