#include "CKivPictureControl.h"
#include "CKivControlClass.h"
#include "CKivGraphics.h"
#include "CKivSkinStore.h"
#include <algorithm>

bool CKivPictureControl::TakesType(LONG type) const
{
    return type == SS_BITMAP || type == SS_ICON;
}

bool CKivPictureControl::Transparent() const
{
    return CKivSkinStore::Settings().pictureControlTransparent != 0;
}

bool CKivPictureControl::SkinPaints()
{
    // The system's static draws nothing without an image: the skin's
    // background shows there. The common controls' fills the parent's brush.
    if (!CKivControlClass::IsCommonControl(Window()))
        return true;
    const LONG style = static_cast<LONG>(GetWindowLongPtrW(Window(), GWL_STYLE));
    if ((style & SS_TYPEMASK) == SS_ICON)
        return CallPrevious(STM_GETICON, 0, 0) != 0;
    return CallPrevious(STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
}

void CKivPictureControl::Compose(HDC dc, const RECT& client)
{
    const LONG style = static_cast<LONG>(GetWindowLongPtrW(Window(), GWL_STYLE));
    if ((style & SS_TYPEMASK) == SS_ICON)
    {
        const HICON icon = reinterpret_cast<HICON>(CallPrevious(STM_GETICON, 0, 0));
        if (icon != nullptr)
            DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
        return;
    }
    const HBITMAP bitmap = reinterpret_cast<HBITMAP>(CallPrevious(STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0 || info.bmWidth <= 0 || info.bmHeight == 0)
        return;
    const int width = std::min<int>(info.bmWidth, client.right);
    const int height = std::min<int>(info.bmHeight < 0 ? -info.bmHeight : info.bmHeight, client.bottom);
    int x = 0;
    int y = 0;
    if (style & SS_CENTERIMAGE)
    {
        x = (client.right - width) / 2;
        y = (client.bottom - height) / 2;
    }
    CKivGraphics::TransparentBltBitmap(dc, bitmap, x, y, width, height, width, height);
}
