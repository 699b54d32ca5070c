#include "CKivMdiClient.h"
#include "CKivCommonLook.h"

CKivMdiClient::~CKivMdiClient() = default;

LRESULT CKivMdiClient::OnEraseBkgnd(HDC dc)
{
    if (dc == nullptr)
        return CKivWnd::OnEraseBkgnd(dc);
    RECT client = {};
    GetClientRect(Window(), &client);
    CKivCommonLook::Fill(dc, client, CKivCommonLook::Current().page);
    return 1;
}
