#include "CKivListCtrl.h"
#include <commctrl.h>
#include "CKivClientDC.h"
#include "CKivCompatibleDC.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "KivSkinSettings.h"

CKivListCtrl::~CKivListCtrl() = default;

bool CKivListCtrl::BackgroundKey::operator==(const BackgroundKey& other) const
{
    return width == other.width && height == other.height && position.x == other.position.x &&
           position.y == other.position.y && skin == other.skin;
}

int CKivListCtrl::Setup(const KivSkinSettings& settings)
{
    SetBorderColor(static_cast<COLORREF>(settings.listControlBorderColor));
    m_backTransparent = settings.listControlBackTransparent;
    if (Window() == nullptr)
        return 0;
    RedrawAll();
    return 1;
}

void CKivListCtrl::OnSkinChanged(const KivSkinSettings& settings)
{
    // A skin without the see-through background gives the control back its
    // own; a skin with one has the picture built again at the next frame
    // paint (it is keyed on the skin load).
    if (settings.listControlBackTransparent == 0 && Window() != nullptr)
        RestoreControl();
    Setup(settings);
}

CKivListCtrl::BackgroundKey CKivListCtrl::CurrentKey() const
{
    BackgroundKey key;
    RECT client = {};
    GetClientRect(Window(), &client);
    key.width = client.right;
    key.height = client.bottom;
    RECT bounds = {};
    GetWindowRect(Window(), &bounds);
    key.position = POINT{bounds.left, bounds.top};
    const HWND parent = GetParent(Window());
    if (parent != nullptr)
        ScreenToClient(parent, &key.position);
    key.skin = CKivSkinStore::Generation();
    return key;
}

bool CKivListCtrl::HasHostImage()
{
    LVBKIMAGEW image = {};
    image.ulFlags = LVBKIF_SOURCE_MASK;
    return CallPrevious(LVM_GETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)) &&
           (image.ulFlags & LVBKIF_SOURCE_MASK) != LVBKIF_SOURCE_NONE;
}

void CKivListCtrl::AfterNcPaint()
{
    // The skin attaches before the control has made its own data: whether
    // the host gave it an image is asked before the skin sets one.
    if (!m_backTransparent || (!m_imageSet && HasHostImage()))
        return;
    const BackgroundKey key = CurrentKey();
    if (key == m_built)
        return;
    m_built = key;
    if (!SetBackgroundImage(key.width, key.height) || m_imageSet)
        return;
    m_imageSet = true;
    // Item texts go straight onto the image instead of onto white boxes.
    m_originalTextBack = CallPrevious(LVM_GETTEXTBKCOLOR, 0, 0);
    CallPrevious(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
}

bool CKivListCtrl::SetBackgroundImage(int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    ++m_backgroundBuilds;
    CKivClientDC screen(Window());
    CKivBitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    if (!bitmap)
        return false;
    {
        CKivCompatibleDC memory(screen);
        CKivSelectObject select(memory, bitmap);
        CKivGraphics::FillParentBackground(memory, width, height, Window());
    }
    LVBKIMAGEW image = {};
    image.ulFlags = LVBKIF_SOURCE_HBITMAP | LVBKIF_STYLE_TILE;
    image.hbm = bitmap;
    // A refused bitmap is still ours and goes with the owner.
    if (!CallPrevious(LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)))
        return false;
    bitmap.Release();
    return true;
}

void CKivListCtrl::RestoreControl()
{
    if (!m_imageSet)
        return;
    LVBKIMAGEW none = {};
    none.ulFlags = LVBKIF_SOURCE_NONE;
    CallPrevious(LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&none));
    CallPrevious(LVM_SETTEXTBKCOLOR, 0, m_originalTextBack);
    m_imageSet = false;
    m_built = BackgroundKey();
}
