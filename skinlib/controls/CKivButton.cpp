#include "CKivButton.h"
#include "CKivTextContrast.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivPaintDC.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivSystemPaintMute.h"
#include <commctrl.h>
#include <windowsx.h>

namespace {

struct DepthScope
{
    explicit DepthScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~DepthScope() { --m_depth; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;
    int& m_depth;
};

bool IsDisabled(HWND window)
{
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_DISABLED) != 0;
}

}  // namespace

BOOL CKivButton::Attach(HWND window)
{
    if (window == nullptr || Window() != nullptr)
        return FALSE;
    const KivSkinSettings& skin = CKivSkinStore::Settings();
    const RECT* first = nullptr;
    switch (GetWindowLongPtrW(window, GWL_STYLE) & 0xF)
    {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        m_kind = KindPushButton;
        first = &skin.buttonNormalBmp;
        break;
    case BS_AUTOCHECKBOX:
        m_kind = KindCheckBox;
        first = &skin.checkBoxUncheckedNormal;
        break;
    case BS_AUTORADIOBUTTON:
        m_kind = KindRadioButton;
        first = &skin.radioButtonUncheckedNormal;
        break;
    case BS_GROUPBOX:
        m_kind = KindGroupBox;
        return FALSE;
    default:
        m_kind = KindNone;
        return FALSE;
    }
    // A skin without the first picture of a kind leaves that kind to the system.
    if (CKivGraphics::IsSkinRectEmpty(first))
        return FALSE;
    if (!CKivWnd::Attach(window))
        return FALSE;
    // Asked of the control's own procedure: from here on the skin tracks the
    // state from BM_SETCHECK and never sends itself BM_GETCHECK.
    if (m_kind == KindCheckBox || m_kind == KindRadioButton)
        m_checkState = static_cast<int>(CallPrevious(BM_GETCHECK, 0, 0));
    return TRUE;
}

LRESULT CKivButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    switch (message)
    {
    case WM_ENABLE: return OnEnable(wParam, lParam);
    case WM_NOTIFY: return 0;
    case WM_UPDATEUISTATE: return 0;
    case BM_GETCHECK: return OnGetCheck(wParam, lParam);
    case BM_SETCHECK: return OnSetCheck(wParam, lParam);
    case BM_SETSTATE: return OnSetState(wParam, lParam);
    case WM_SETFOCUS: return OnSetFocus(wParam, lParam);
    case WM_KILLFOCUS: return OnKillFocus(wParam, lParam);
    case WM_SETTEXT: return RouteAndRepaint(message, wParam, lParam);
    case BM_SETSTYLE: return RouteAndRepaint(message, wParam, lParam);
    case WM_PRINTCLIENT: return OnPrintClient(reinterpret_cast<HDC>(wParam));
    case WM_PAINT: return OnPaintMessage(reinterpret_cast<HDC>(wParam));
    case WM_CAPTURECHANGED: return OnCaptureChanged(wParam, reinterpret_cast<HWND>(lParam));
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivButton::OnEnable(WPARAM enabled, LPARAM lParam)
{
    // The control's own procedure would paint its system look here.
    CallDefault(WM_ENABLE, enabled, lParam);
    DrawState(enabled ? StateNormal : StateDisabled);
    return 0;
}

LRESULT CKivButton::OnGetCheck(WPARAM wParam, LPARAM lParam)
{
    if (m_kind == KindCheckBox)
        return m_checkState;
    return CKivWnd::WindowProc(BM_GETCHECK, wParam, lParam);
}

LRESULT CKivButton::OnSetCheck(WPARAM check, LPARAM lParam)
{
    if (m_kind == KindCheckBox)
        m_checkState = static_cast<int>(check);
    const LRESULT result = RouteMuted(BM_SETCHECK, check, lParam);
    if (m_kind == KindCheckBox)
        Repaint(CurrentState());
    return result;
}

// BM_GETSTATE stays with the control: hosts read BST_PUSHED, BST_FOCUS and
// the check bits from it. The wParam recorded here only picks glyph sets.
LRESULT CKivButton::OnSetState(WPARAM highlight, LPARAM lParam)
{
    m_highlightState = static_cast<int>(highlight);
    const LRESULT result = RouteMuted(BM_SETSTATE, highlight, lParam);
    Repaint(highlight ? StatePressed : StateNormal);
    return result;
}

LRESULT CKivButton::OnSetFocus(WPARAM previous, LPARAM lParam)
{
    const LRESULT result = RouteMuted(WM_SETFOCUS, previous, lParam);
    Repaint(StateFocused);
    return result;
}

LRESULT CKivButton::OnKillFocus(WPARAM next, LPARAM lParam)
{
    // Whether GetFocus already names the next window here differs between
    // platforms; the flag makes the repaint below unfocused either way.
    m_losingFocus = true;
    const LRESULT result = RouteMuted(WM_KILLFOCUS, next, lParam);
    Repaint(CurrentState());
    m_losingFocus = false;
    return result;
}

LRESULT CKivButton::OnPrintClient(HDC dc)
{
    PaintNotified(dc, CurrentState());
    return 0;
}

LRESULT CKivButton::OnPaintMessage(HDC dc)
{
    // A DC in wParam means "draw here", outside any paint cycle.
    if (dc != nullptr)
        PaintNotified(dc, m_paintState);
    else
        OnPaint();
    return 0;
}

LRESULT CKivButton::OnCaptureChanged(WPARAM wParam, HWND newCapture)
{
    const LRESULT result = CKivWnd::WindowProc(WM_CAPTURECHANGED, wParam, reinterpret_cast<LPARAM>(newCapture));
    // The press ends when another window takes the mouse; no button-up will
    // come, and a stale press would show the pressed face on the next hover.
    if (m_pressed && newCapture != Window())
    {
        m_pressed = 0;
        Repaint(CurrentState());
    }
    return result;
}

LRESULT CKivButton::RouteAndRepaint(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = RouteMuted(message, wParam, lParam);
    Repaint(CurrentState());
    return result;
}

LRESULT CKivButton::RouteMuted(UINT message, WPARAM wParam, LPARAM lParam)
{
    CKivSystemPaintMute mute(Window());
    return CKivWnd::WindowProc(message, wParam, lParam);
}

void CKivButton::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    m_pressed = 1;
    PassQuietly(WM_LBUTTONDOWN, wParam, lParam);
    DrawState(StatePressed);
}

void CKivButton::OnLButtonUp(WPARAM wParam, LPARAM lParam)
{
    PassQuietly(WM_LBUTTONUP, wParam, lParam);
    DrawState(StateNormal);
    m_pressed = 0;
}

void CKivButton::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    PassQuietly(WM_MOUSEMOVE, wParam, lParam);
    const HWND window = Window();
    if (window == nullptr)
        return;
    const int wasHot = m_hot;
    const int wasShown = m_paintState;
    RECT client = {};
    GetClientRect(window, &client);
    const bool inside = CKivGraphics::PtInRectInclusive(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), client.left,
                                                        client.top, client.right, client.bottom) != FALSE;
    // A move can arrive from outside without a press too: Wine sends one to
    // the window that just released the capture, wherever the cursor is.
    m_hot = inside ? 1 : 0;
    int state = inside ? StateHot : StateNormal;
    if (m_pressed)
        state = inside ? StatePressed : StateNormal;
    // Moves inside one state change nothing on screen.
    if (m_hot != wasHot || state != wasShown)
        DrawState(state);
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = window;
    track.dwHoverTime = 2000;
    TrackMouseEvent(&track);
}

void CKivButton::OnMouseLeave()
{
    CallPrevious(WM_MOUSELEAVE, 0, 0);
    m_hot = 0;
    DrawState(StateNormal);
}

void CKivButton::OnPaint()
{
    // Our own paint cycle validates the window: the control's procedure never paints.
    const HWND window = Window();
    if (window == nullptr)
        return;
    CKivPaintDC dc(window);
    if (dc)
        PaintNotified(dc, m_paintState);
}

void CKivButton::DrawState(int state)
{
    m_paintState = state;
    RedrawNow();
}

UINT CKivButton::CustomDrawItemState() const
{
    const HWND window = Window();
    UINT state = IsWindowEnabled(window) ? 0 : CDIS_DISABLED;
    if (m_paintState == StatePressed || m_highlightState != 0)
        state |= CDIS_SELECTED;
    if (GetFocus() == window && !m_losingFocus)
        state |= CDIS_FOCUS;
    if (m_hot)
        state |= CDIS_HOT;
    if (m_kind == KindCheckBox && m_checkState == BST_INDETERMINATE)
        state |= CDIS_INDETERMINATE;
    return state;
}

void CKivButton::PaintNotified(HDC dc, int state)
{
    const HWND window = Window();
    if (dc == nullptr || window == nullptr)
        return;
    const HWND parent = GetParent(window);
    NMCUSTOMDRAW draw = {};
    draw.hdr.hwndFrom = window;
    draw.hdr.idFrom = static_cast<UINT_PTR>(GetWindowLongPtrW(window, GWLP_ID));
    draw.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
    draw.dwDrawStage = CDDS_PREPAINT;
    draw.hdc = dc;
    GetClientRect(window, &draw.rc);
    draw.uItemState = CustomDrawItemState();
    const LRESULT answer =
        parent ? SendMessageW(parent, WM_NOTIFY, draw.hdr.idFrom, reinterpret_cast<LPARAM>(&draw)) : CDRF_DODEFAULT;
    // The parent may have destroyed the control meanwhile.
    if (Window() != window || (answer & CDRF_SKIPDEFAULT) != 0)
        return;
    Paint(dc, state);
    if ((answer & CDRF_NOTIFYPOSTPAINT) != 0 && parent)
    {
        draw.dwDrawStage = CDDS_POSTPAINT;
        SendMessageW(parent, WM_NOTIFY, draw.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    }
}

void CKivButton::Repaint(int state)
{
    if (m_quietDepth == 0)
        DrawState(state);
}

LRESULT CKivButton::SendQuietly(UINT message, WPARAM wParam, LPARAM lParam)
{
    DepthScope quiet(m_quietDepth);
    return SendMessageW(Window(), message, wParam, lParam);
}

LRESULT CKivButton::PassQuietly(UINT message, WPARAM wParam, LPARAM lParam)
{
    DepthScope quiet(m_quietDepth);
    return CallPrevious(message, wParam, lParam);
}

const RECT* CKivButton::ChooseFace(int state) const
{
    const KivSkinSettings& skin = CKivSkinStore::Settings();
    if (IsDisabled(Window()))
        return &skin.buttonDisabledBmp;
    if (state == StateNormal && m_hot)
        state = StateHot;
    switch (state)
    {
    case StateNormal:
        return GetFocus() == Window() && !m_losingFocus ? &skin.buttonDefaultBmp : &skin.buttonNormalBmp;
    case StateHot:
        return &skin.buttonHotBmp;
    case StatePressed:
        return &skin.buttonPressedBmp;
    case StateDisabled:
        return &skin.buttonDisabledBmp;
    case StateFocused:
        return &skin.buttonDefaultBmp;
    default:
        return nullptr;
    }
}

int CKivButton::ReadText(wchar_t (&text)[kMaxText + 1]) const
{
    text[0] = L'\0';
    const int length = GetWindowTextW(Window(), text, kMaxText + 1);
    return length > 0 ? length : 0;
}

void CKivButton::DrawWindowText(HDC dc, RECT area, UINT format, COLORREF colour) const
{
    wchar_t text[kMaxText + 1];
    const int length = ReadText(text);
    if (length == 0)
        return;
    CKivSelectObject font(dc, CKivGraphics::GetSkinFont(0));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, colour);
    DrawTextW(dc, text, length, &area, format);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

void CKivButton::Paint(HDC dc, int state)
{
    const HWND window = Window();
    if (dc == nullptr || window == nullptr)
        return;
    RECT client = {};
    GetClientRect(window, &client);
    // One pixel larger than the client area: the rounded region leaves out
    // its right and bottom edge.
    const int width = client.right - client.left + 1;
    const int height = client.bottom - client.top + 1;
    CKivHDCMemory face(dc, width, height);
    CKivHDCMemory composed(dc, width, height);
    if (!face.IsValid() || !composed.IsValid())
        return;
    CKivGraphics::FillParentBackground(composed.GetDC(), width, height, window);
    // Black face pixels are transparent: what shows through is the dialog
    // background, not the fresh bitmap's undefined content.
    BitBlt(face.GetDC(), 0, 0, width, height, composed.GetDC(), 0, 0, SRCCOPY);
    if (const RECT* picture = ChooseFace(state))
        CKivGraphics::StretchBltFromSkin(face.GetDC(), 0, 0, width, height, picture);
    const CKivTextContrast::Colours& text = CKivTextContrast::Current();
    DrawWindowText(face.GetDC(), client, DT_SINGLELINE | DT_VCENTER | DT_CENTER,
                   IsDisabled(window) ? text.buttonGrayText : text.buttonText);

    const int round = CKivSkinStore::Settings().buttonRound;
    CKivRegion shape(CreateRoundRectRgn(0, 0, width, height, round, round));
    if (shape)
        SelectClipRgn(composed.GetDC(), shape);
    BitBlt(composed.GetDC(), 0, 0, width, height, face.GetDC(), 0, 0, SRCCOPY);
    SelectClipRgn(composed.GetDC(), nullptr);
    // The button class draws through its parent's clipping (CS_PARENTDC), so
    // exactly the client area is copied, never the extra pixel.
    BitBlt(dc, 0, 0, width - 1, height - 1, composed.GetDC(), 0, 0, SRCCOPY);
}

void CKivButton::PaintGlyphAndText(HDC dc, const RECT& glyph) const
{
    const HWND window = Window();
    if (dc == nullptr || window == nullptr)
        return;
    RECT client = {};
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    CKivHDCMemory canvas(dc, width, height);
    if (!canvas.IsValid())
        return;
    CKivGraphics::FillParentBackground(canvas.GetDC(), width, height, window);
    const int glyphWidth = glyph.right > glyph.left ? glyph.right - glyph.left : 0;
    const int glyphHeight = glyph.bottom > glyph.top ? glyph.bottom - glyph.top : 0;
    if (!CKivGraphics::IsSkinRectEmpty(&glyph))
        CKivGraphics::StretchBltFromSkin(canvas.GetDC(), 0, height / 2 - glyphHeight / 2, glyphWidth, glyphHeight,
                                         &glyph);
    RECT textArea = client;
    textArea.left += glyphWidth + 4;
    const CKivTextContrast::Colours& text = CKivTextContrast::Current();
    DrawWindowText(canvas.GetDC(), textArea, DT_SINGLELINE | DT_VCENTER,
                   IsDisabled(window) ? text.dialogGrayText : text.dialogText);
    BitBlt(dc, 0, 0, width, height, canvas.GetDC(), 0, 0, SRCCOPY);
}
