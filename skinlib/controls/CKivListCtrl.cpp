#include "CKivListCtrl.h"
#include <commctrl.h>
#include "CKivClientDC.h"
#include "CKivCompatibleDC.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"
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
    m_body = static_cast<COLORREF>(settings.listBoxBackgroundColor) & 0x00FFFFFF;
    m_select = static_cast<COLORREF>(settings.listBoxSelectItemColor) & 0x00FFFFFF;
    TakeScrollBarColours(settings);
    if (Window() == nullptr)
        return 0;
    RedrawAll();
    return 1;
}

void CKivListCtrl::OnSkinChanged(const KivSkinSettings& settings)
{
    Setup(settings);
    if (Window() == nullptr)
        return;
    // A skin without the see-through background takes the picture away. The
    // new picture and colours go in now, inside the one repaint to come,
    // rather than at the next frame paint.
    if (!m_backTransparent && m_imageSet)
        RestoreControl();
    AfterNcPaint();
}

UINT CKivListCtrl::GetMessageOf(Colour which)
{
    return which == Back ? LVM_GETBKCOLOR : which == Text ? LVM_GETTEXTCOLOR : LVM_GETTEXTBKCOLOR;
}

UINT CKivListCtrl::SetMessageOf(Colour which)
{
    return which == Back ? LVM_SETBKCOLOR : which == Text ? LVM_SETTEXTCOLOR : LVM_SETTEXTBKCOLOR;
}

LRESULT CKivListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case LVM_GETBKCOLOR: return OnHostColour(Back, false, wParam, lParam);
    case LVM_SETBKCOLOR: return OnHostColour(Back, true, wParam, lParam);
    case LVM_GETTEXTCOLOR: return OnHostColour(Text, false, wParam, lParam);
    case LVM_SETTEXTCOLOR: return OnHostColour(Text, true, wParam, lParam);
    case LVM_GETTEXTBKCOLOR: return OnHostColour(TextBack, false, wParam, lParam);
    case LVM_SETTEXTBKCOLOR: return OnHostColour(TextBack, true, wParam, lParam);
    default: return CKivViewCtrl::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivListCtrl::OnHostColour(Colour which, bool set, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    if (!set)
    {
        // While the skin's colour stands, the host reads its own.
        if (m_changed[which] && !m_hostSet[which])
            return m_original[which];
        return CKivViewCtrl::WindowProc(GetMessageOf(which), wParam, lParam);
    }
    const LRESULT answer = CKivViewCtrl::WindowProc(SetMessageOf(which), wParam, lParam);
    if (Window() != window || !answer)
        return answer;
    m_hostSet[which] = true;
    // A new background wants a text colour that reads on it.
    if (m_changed[Back] || m_changed[Text] || m_changed[TextBack])
        ApplyColours();
    return answer;
}

void CKivListCtrl::SetColour(Colour which, COLORREF colour)
{
    if (m_hostSet[which])
        return;
    const LRESULT current = CallPrevious(GetMessageOf(which), 0, 0);
    if (static_cast<COLORREF>(current) == colour)
        return;
    // The skin attaches before the control has made its own data: the
    // colour to give back is read at the first change.
    if (!m_changed[which])
        m_original[which] = current;
    m_changed[which] = true;
    // Setting a colour repaints the items: only when it differs.
    CallPrevious(SetMessageOf(which), 0, static_cast<LPARAM>(colour));
}

void CKivListCtrl::ApplyColours()
{
    if (m_backTransparent && (m_imageSet || !HasHostImage()))
    {
        // Item texts go straight onto the image instead of onto boxes.
        SetColour(TextBack, CLR_NONE);
        SetColour(Text, CKivTextContrast::Current().dialogText);
        return;
    }
    if (!m_backTransparent && !m_imageSet && HasHostImage())
        return;
    SetColour(Back, m_body);
    // The text lies on the body, or on a colour of the host's.
    COLORREF under = m_body;
    if (m_hostSet[TextBack] || m_hostSet[Back])
    {
        const LRESULT textBack = CallPrevious(LVM_GETTEXTBKCOLOR, 0, 0);
        const LRESULT back = CallPrevious(LVM_GETBKCOLOR, 0, 0);
        const LRESULT shown = (textBack != static_cast<LRESULT>(CLR_NONE) && textBack != static_cast<LRESULT>(CLR_DEFAULT))
                                  ? textBack
                                  : back;
        under = (shown == static_cast<LRESULT>(CLR_NONE) || shown == static_cast<LRESULT>(CLR_DEFAULT))
                    ? GetSysColor(COLOR_WINDOW)
                    : static_cast<COLORREF>(shown);
    }
    if (!m_hostSet[TextBack])
        SetColour(TextBack, CLR_NONE);
    SetColour(Text, CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(under)));
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
    if (m_backTransparent)
        BuildBackground();
    ApplyColours();
}

void CKivListCtrl::BuildBackground()
{
    // The skin attaches before the control has made its own data: whether
    // the host gave it an image is asked before the skin sets one.
    if (!m_imageSet && HasHostImage())
        return;
    const BackgroundKey key = CurrentKey();
    if (key == m_built)
        return;
    m_built = key;
    if (SetBackgroundImage(key.width, key.height))
        m_imageSet = true;
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

bool CKivListCtrl::TakesItemStages()
{
    // A selected item with the focus lies on the system's highlight, which
    // the control keeps for selected items whatever colours it is given.
    const HWND window = Window();
    return GetFocus() == window && CallPrevious(LVM_GETSELECTEDCOUNT, 0, 0) > 0;
}

std::pair<COLORREF, COLORREF> CKivListCtrl::ItemColours(const NMCUSTOMDRAW* draw) const
{
    const NMLVCUSTOMDRAW* item = reinterpret_cast<const NMLVCUSTOMDRAW*>(draw);
    return {item->clrText, item->clrTextBk};
}

void CKivListCtrl::ColourItem(NMCUSTOMDRAW* draw)
{
    if (!(draw->uItemState & CDIS_SELECTED))
        return;
    NMLVCUSTOMDRAW* item = reinterpret_cast<NMLVCUSTOMDRAW*>(draw);
    // Not selected for the control's drawing: it then takes these colours.
    draw->uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
    item->clrTextBk = m_select;
    item->clrText = CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(m_select));
}

void CKivListCtrl::RestoreControl()
{
    if (m_imageSet)
    {
        LVBKIMAGEW none = {};
        none.ulFlags = LVBKIF_SOURCE_NONE;
        CallPrevious(LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&none));
    }
    for (int which = Back; which < ColourCount; ++which)
        if (m_changed[which] && !m_hostSet[which])
            CallPrevious(SetMessageOf(static_cast<Colour>(which)), 0, m_original[which]);
    for (bool& changed : m_changed)
        changed = false;
    m_imageSet = false;
    m_built = BackgroundKey();
}
