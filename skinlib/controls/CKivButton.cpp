#include "CKivButton.h"
#include "CKivClientDC.h"
#include "CKivControlClass.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivPaintEntry.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivPaintMute.h"
#include "CKivTextContrast.h"
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
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        m_kind = KindCheckBox;
        first = &skin.checkBoxUncheckedNormal;
        break;
    case BS_RADIOBUTTON:
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
    m_commonControl = CKivControlClass::IsCommonControl(window);
    // Where the platform keeps a UI state, start from it.
    m_uiState = static_cast<UINT>(CallDefault(WM_QUERYUISTATE, 0, 0));
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
    case WM_UPDATEUISTATE: return OnUpdateUiState(wParam, lParam);
    case BM_GETCHECK: return OnGetCheck(wParam, lParam);
    case BM_SETCHECK: return OnSetCheck(wParam, lParam);
    case BM_SETSTATE: return OnSetState(wParam, lParam);
    case WM_SETFOCUS: return OnSetFocus(wParam, lParam);
    case WM_KILLFOCUS: return OnKillFocus(wParam, lParam);
    case WM_SETTEXT: return RouteAndShow(message, wParam, lParam, CurrentState());
    case BM_SETSTYLE: return RouteAndShow(message, wParam, lParam, CurrentState());
    case WM_PRINTCLIENT: return OnPrintClient(reinterpret_cast<HDC>(wParam));
    case WM_PAINT: return OnPaintMessage(reinterpret_cast<HDC>(wParam));
    case WM_CAPTURECHANGED: return OnCaptureChanged(wParam, reinterpret_cast<HWND>(lParam));
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivButton::OnEnable(WPARAM enabled, LPARAM lParam)
{
    // The control's own procedure would paint its system look here: a
    // themed common control through a WM_PAINT it forces at once, the others
    // straight onto the window.
    CallDefault(WM_ENABLE, enabled, lParam);
    m_paintState = enabled ? StateNormal : StateDisabled;
    if (CKivControlClass::IsThemed(Window()))
        RedrawWindow(Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    else
        PaintNow(m_paintState, NotifyAsControl);
    return 0;
}

LRESULT CKivButton::OnUpdateUiState(WPARAM wParam, LPARAM lParam)
{
    // The control's own procedure would paint here; the default procedure
    // keeps the window's state where the platform has one. The skin keeps
    // its own record too: Wine's default procedure has none.
    CallDefault(WM_UPDATEUISTATE, wParam, lParam);
    const UINT flags = HIWORD(wParam) & (UISF_HIDEFOCUS | UISF_HIDEACCEL | UISF_ACTIVE);
    const UINT before = m_uiState;
    switch (LOWORD(wParam))
    {
    case UIS_SET: m_uiState |= flags; break;
    case UIS_CLEAR: m_uiState &= ~flags; break;
    case UIS_INITIALIZE: m_uiState = flags; break;
    default: break;
    }
    if (m_uiState != before)
        PaintNow(m_paintState, NotifyNothing);
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
        m_checkState = CheckKeptFor(check);
    return RouteAndShow(BM_SETCHECK, check, lParam, CurrentState());
}

int CKivButton::CheckKeptFor(WPARAM check) const
{
    // The control clamps what it is given: a three-state box keeps
    // BST_INDETERMINATE for anything above BST_CHECKED, every other check
    // box and radio button keeps BST_CHECKED for anything non-zero.
    if (check == BST_UNCHECKED)
        return BST_UNCHECKED;
    const LONG_PTR type = GetWindowLongPtrW(Window(), GWL_STYLE) & BS_TYPEMASK;
    const bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
    return threeState && check != BST_CHECKED ? BST_INDETERMINATE : BST_CHECKED;
}

// BM_GETSTATE stays with the control: hosts read BST_PUSHED, BST_FOCUS and
// the check bits from it. The wParam recorded here only picks glyph sets.
LRESULT CKivButton::OnSetState(WPARAM highlight, LPARAM lParam)
{
    m_highlightState = static_cast<int>(highlight);
    return RouteAndShow(BM_SETSTATE, highlight, lParam, highlight ? StatePressed : StateNormal);
}

LRESULT CKivButton::OnSetFocus(WPARAM previous, LPARAM lParam)
{
    // The focused face is the push button's; check boxes and radio buttons
    // show focus with a cue around their text.
    return RouteAndShow(WM_SETFOCUS, previous, lParam, m_kind == KindPushButton ? StateFocused : CurrentState());
}

LRESULT CKivButton::OnKillFocus(WPARAM next, LPARAM lParam)
{
    return RouteAndShow(WM_KILLFOCUS, next, lParam, CurrentState());
}

LRESULT CKivButton::OnPrintClient(HDC dc)
{
    PaintNotified(dc, CurrentState());
    return 0;
}

LRESULT CKivButton::OnPaintMessage(HDC dc)
{
    CKivPaintEntry::Paint(Window(), dc, [this](HDC target) { PaintNotified(target, m_paintState); });
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

LRESULT CKivButton::RouteAndShow(UINT message, WPARAM wParam, LPARAM lParam, int state)
{
    const HWND window = Window();
    bool painted = false;
    const LRESULT result = CKivPaintMute::Route(
        window, [&] { return CKivWnd::WindowProc(message, wParam, lParam); }, &painted);
    // The control may have been destroyed while it answered.
    if (Window() != window)
        return result;
    m_paintState = state;
    // A control that invalidated itself gets its WM_PAINT, and the skin
    // draws there; one that drew at once gets the skin drawn at once, without
    // telling the parent again what the control's own drawing told it.
    if (painted && m_quietDepth == 0)
        PaintNow(state, NotifyNothing);
    return result;
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
    TrackLeave();
}

void CKivButton::OnMouseLeave()
{
    CallPrevious(WM_MOUSELEAVE, 0, 0);
    const HWND window = Window();
    if (window == nullptr)
        return;
    // Wine may report a leave when the button lets go of the capture while
    // the cursor is still over it: the cursor decides, and tracking goes on.
    POINT cursor = {};
    if (GetCursorPos(&cursor) && WindowFromPoint(cursor) == window)
    {
        TrackLeave();
        return;
    }
    m_hot = 0;
    DrawState(StateNormal);
}

void CKivButton::TrackLeave()
{
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = Window();
    track.dwHoverTime = 2000;
    TrackMouseEvent(&track);
}

void CKivButton::OnPaint()
{
    OnPaintMessage(nullptr);
}

void CKivButton::DrawState(int state)
{
    m_paintState = state;
    const HWND window = Window();
    if (window == nullptr)
        return;
    // A common control that invalidated itself for this change paints it in
    // its WM_PAINT. A system control has already drawn it (muted) and told
    // its parent; the skin only shows the picture.
    if (m_commonControl)
    {
        if (GetUpdateRect(window, nullptr, FALSE) == FALSE)
            PaintNow(state, NotifyAsControl);
    }
    else
    {
        PaintNow(state, NotifyNothing);
    }
}

void CKivButton::PaintNow(int state, Notify notify)
{
    const HWND window = Window();
    if (window == nullptr || !IsWindowVisible(window))
        return;
    CKivClientDC dc(window);
    if (dc)
        PaintNotified(dc, state, notify);
}

void CKivButton::AskParentColours(HDC dc)
{
    const HWND window = Window();
    const HWND parent = GetParent(window);
    const bool push = m_kind == KindPushButton;
    const COLORREF preset = GetSysColor(push ? COLOR_BTNTEXT : COLOR_WINDOWTEXT);
    SetTextColor(dc, preset);
    SendMessageW(parent ? parent : window, push ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(window));
    const COLORREF chosen = GetTextColor(dc);
    m_parentText = chosen != preset && chosen != CLR_INVALID ? chosen : CLR_INVALID;
}

LRESULT CKivButton::ControlState()
{
    return CallPrevious(BM_GETSTATE, 0, 0);
}

bool CKivButton::HasFocusState()
{
    return (ControlState() & BST_FOCUS) != 0;
}

UINT CKivButton::CustomDrawItemState()
{
    // The bits a common-controls button reports, read from the control.
    const LRESULT control = ControlState();
    UINT state = IsWindowEnabled(Window()) ? 0 : CDIS_DISABLED;
    if (control & BST_PUSHED)
        state |= CDIS_SELECTED;
    if (control & BST_FOCUS)
        state |= CDIS_FOCUS;
    if ((control & BST_HOT) || m_hot)
        state |= CDIS_HOT;
    if (control & BST_INDETERMINATE)
        state |= CDIS_INDETERMINATE;
    return state;
}

void CKivButton::PaintNotified(HDC dc, int state, Notify notify)
{
    const HWND window = Window();
    RECT client = {};
    if (dc == nullptr || window == nullptr || !GetClientRect(window, &client) || client.right <= 0 ||
        client.bottom <= 0 || !HasContent(state))
        return;
    // The control leaves its own font selected in the DC it painted, and so
    // do we: callers of WM_PRINTCLIENT see the same DC afterwards.
    const HFONT own = reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0));
    if (own != nullptr)
        SelectObject(dc, own);
    const int width = client.right;
    const int height = client.bottom;
    // One pixel larger than the client area: the push button's rounded
    // region leaves out its right and bottom edge.
    CKivHDCMemory canvas(dc, width + 1, height + 1);
    if (!canvas.IsValid())
        return;
    const HDC memory = canvas.GetDC();
    // Start from what the window shows: the parent may draw at any stage.
    BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    CKivSelectObject font(memory, own != nullptr ? own : CKivGraphics::GetSkinFontForDpi(0, CKivDpiScale::DpiOfWindow(window)));

    const bool tell = notify == NotifyAsControl;
    if (!m_commonControl || !tell)
    {
        // The system button sends its colour message first and no custom draw.
        if (tell)
            AskParentColours(memory);
        if (Window() != window)
            return;
        CKivGraphics::FillParentBackground(memory, width + 1, height + 1, window);
        PaintContent(memory, state);
        BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        return;
    }

    // The common controls' order: a classic control asks for colours before
    // the custom draw, a themed one while it erases; a themed check box or
    // radio button clips to its client area for the whole paint.
    const bool themed = CKivControlClass::IsThemed(window);
    if (!themed)
        AskParentColours(memory);
    else if (m_kind != KindPushButton)
        IntersectClipRect(memory, 0, 0, width, height);
    const HWND parent = GetParent(window);
    NMCUSTOMDRAW draw = {};
    draw.hdr.hwndFrom = window;
    draw.hdr.idFrom = static_cast<UINT_PTR>(GetWindowLongPtrW(window, GWLP_ID));
    draw.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
    draw.hdc = memory;
    draw.rc = client;
    draw.uItemState = CustomDrawItemState();
    // The parent may destroy the control from inside any notification.
    auto stage = [&](DWORD which) -> LRESULT {
        draw.dwDrawStage = which;
        return parent ? SendMessageW(parent, WM_NOTIFY, draw.hdr.idFrom, reinterpret_cast<LPARAM>(&draw))
                      : CDRF_DODEFAULT;
    };
    LRESULT answer = stage(CDDS_PREERASE);
    if (Window() != window)
        return;
    if ((answer & CDRF_SKIPDEFAULT) == 0)
    {
        if (themed)
            AskParentColours(memory);
        if (Window() != window)
            return;
        CKivGraphics::FillParentBackground(memory, width + 1, height + 1, window);
        if (answer & CDRF_NOTIFYPOSTERASE)
            stage(CDDS_POSTERASE);
        if (Window() != window)
            return;
        answer = stage(CDDS_PREPAINT);
        if (Window() != window)
            return;
        if ((answer & CDRF_SKIPDEFAULT) == 0)
        {
            if ((answer & CDRF_DOERASE) == 0)
                PaintContent(memory, state);
            if (answer & CDRF_NOTIFYPOSTPAINT)
                stage(CDDS_POSTPAINT);
            if (Window() != window)
                return;
        }
    }
    SelectClipRgn(memory, nullptr);
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
}

void CKivButton::Repaint(int state)
{
    if (m_quietDepth == 0)
        DrawState(state);
}

LRESULT CKivButton::PassQuietly(UINT message, WPARAM wParam, LPARAM lParam)
{
    DepthScope quiet(m_quietDepth);
    return CallPrevious(message, wParam, lParam);
}

const RECT* CKivButton::ChooseFace(int state)
{
    const KivSkinSettings& skin = CKivSkinStore::Settings();
    if (IsDisabled(Window()))
        return &skin.buttonDisabledBmp;
    if (state == StateNormal && m_hot)
        state = StateHot;
    switch (state)
    {
    case StateNormal:
        return HasFocusState() ? &skin.buttonDefaultBmp : &skin.buttonNormalBmp;
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

RECT CKivButton::DrawWindowText(HDC dc, RECT area, UINT format, COLORREF colour) const
{
    RECT taken = {};
    wchar_t text[kMaxText + 1];
    const int length = ReadText(text);
    if (length == 0)
        return taken;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, colour);
    DrawTextW(dc, text, length, &area, format);
    // Where the text went, for the focus cue: measured with the same rules.
    taken = area;
    const int textHeight = DrawTextW(dc, text, length, &taken, (format & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
    if (format & DT_VCENTER)
        OffsetRect(&taken, 0, (area.bottom - area.top - textHeight) / 2);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    return taken;
}

void CKivButton::PaintContent(HDC canvas, int state)
{
    const HWND window = Window();
    if (canvas == nullptr || window == nullptr)
        return;
    RECT client = {};
    GetClientRect(window, &client);
    const int width = client.right + 1;
    const int height = client.bottom + 1;
    CKivHDCMemory face(canvas, width, height);
    if (!face.IsValid())
        return;
    // Black face pixels are transparent: what shows through is the dialog
    // background already in the canvas.
    BitBlt(face.GetDC(), 0, 0, width, height, canvas, 0, 0, SRCCOPY);
    const CKivDpiScale scale = CKivDpiScale::OfWindow(window);
    const int skinRound = CKivSkinStore::Settings().buttonRound;
    if (const RECT* picture = ChooseFace(state))
    {
        if (scale.IsUnit())
            CKivGraphics::StretchBltFromSkin(face.GetDC(), 0, 0, width, height, picture);
        else
            // The rounded corners (half the rounding across) keep their shape at the scale.
            CKivGraphics::StretchBltFromSkinCorners(face.GetDC(), RECT{0, 0, width, height}, picture,
                                                    skinRound > 0 ? (skinRound + 1) / 2 : 0, scale);
    }
    const CKivTextContrast::Colours& text = CKivTextContrast::Current();
    {
        CKivSelectObject font(face.GetDC(), GetCurrentObject(canvas, OBJ_FONT));
        DrawWindowText(face.GetDC(), client, DT_SINGLELINE | DT_VCENTER | DT_CENTER,
                       IsDisabled(window) ? text.buttonGrayText : text.buttonText);
    }
    const int round = scale.Scale(skinRound);
    CKivRegion shape(CreateRoundRectRgn(0, 0, width, height, round, round));
    if (shape)
        SelectClipRgn(canvas, shape);
    BitBlt(canvas, 0, 0, width, height, face.GetDC(), 0, 0, SRCCOPY);
    SelectClipRgn(canvas, nullptr);
}

void CKivButton::PaintGlyphAndText(HDC canvas, const RECT& glyph)
{
    const HWND window = Window();
    if (canvas == nullptr || window == nullptr)
        return;
    RECT client = {};
    GetClientRect(window, &client);
    const int height = client.bottom - client.top;
    // The box is drawn whole at the window's scale, smoothed, and the label moves along.
    const CKivDpiScale scale = CKivDpiScale::OfWindow(window);
    const int glyphWidth = scale.Scale(glyph.right > glyph.left ? glyph.right - glyph.left : 0);
    const int glyphHeight = scale.Scale(glyph.bottom > glyph.top ? glyph.bottom - glyph.top : 0);
    if (!CKivGraphics::IsSkinRectEmpty(&glyph))
        CKivGraphics::StretchBltFromSkinScaled(canvas, 0, height / 2 - glyphHeight / 2, glyphWidth, glyphHeight, &glyph,
                                               scale);
    RECT textArea = client;
    textArea.left += glyphWidth + scale.Scale(4);
    const CKivTextContrast::Colours& text = CKivTextContrast::Current();
    // A colour the parent chose for the label is kept, as the system's
    // check box keeps it; otherwise the skin's readable colour.
    COLORREF colour = IsDisabled(window) ? text.dialogGrayText : text.dialogText;
    if (m_parentText != CLR_INVALID && !IsDisabled(window))
        colour = m_parentText;
    const RECT taken = DrawWindowText(canvas, textArea, DT_SINGLELINE | DT_VCENTER, colour);
    // The focus cue of the system's check boxes: a dotted frame around the
    // text, one pixel wider on each side, kept inside the client area.
    if (!IsRectEmpty(&taken) && HasFocusState() && (m_uiState & UISF_HIDEFOCUS) == 0)
    {
        RECT cue = taken;
        InflateRect(&cue, 1, 1);
        IntersectRect(&cue, &cue, &client);
        const COLORREF oldText = SetTextColor(canvas, text.dialogText);
        const COLORREF oldBack = SetBkColor(canvas, text.dialogText ^ 0x00FFFFFF);
        DrawFocusRect(canvas, &cue);
        SetBkColor(canvas, oldBack);
        SetTextColor(canvas, oldText);
    }
}
