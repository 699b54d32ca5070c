#include "CKivComboBox.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivHostColours.h"
#include "CKivTextContrast.h"
#include "CKivPaintEntry.h"
#include "CKivPaintMute.h"
#include "CKivSelectObject.h"
#include "KivSkinSettings.h"

namespace {

const LONG_PTR kOwnerDraw = CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE;
const int kFaceIndent = 3;

}  // namespace

CKivComboBox::~CKivComboBox()
{
    ReleaseParts();
}

BOOL CKivComboBox::Attach(HWND window)
{
    if (window == nullptr || (GetWindowLongPtrW(window, GWL_STYLE) & kOwnerDraw))
        return FALSE;
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(window, &info))
        return FALSE;
    if (!CKivWnd::Attach(window))
        return FALSE;
    BindParts();
    InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

BOOL CKivComboBox::Detach()
{
    ReleaseParts();
    return CKivWnd::Detach();
}

void CKivComboBox::ReleaseParts()
{
    m_edit.Detach();
    m_list.Detach();
}

void CKivComboBox::BindParts()
{
    const HWND window = Window();
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    // Asked of the control directly: GetComboBoxInfo would come back here.
    if (window == nullptr || !CallPrevious(CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info)))
        return;
    if (m_edit.Window() == nullptr && info.hwndItem != nullptr && info.hwndItem != window &&
        FromHandle(info.hwndItem) == nullptr)
    {
        m_edit.CountDepthIn(this);
        if (m_edit.Attach(info.hwndItem))
            DressEdit();
    }
    if (m_list.Window() == nullptr && info.hwndList != nullptr && FromHandle(info.hwndList) == nullptr)
    {
        m_list.CountDepthIn(this);
        m_list.SetDropDown((GetWindowLongPtrW(window, GWL_STYLE) & 3) != CBS_SIMPLE ? window : nullptr);
        m_list.Attach(info.hwndList);
    }
    const bool wantsEdit = (GetWindowLongPtrW(window, GWL_STYLE) & 3) != CBS_DROPDOWNLIST;
    m_partsBound = m_list.Window() != nullptr && (m_edit.Window() != nullptr || !wantsEdit);
}

bool CKivComboBox::Setup(const KivSkinSettings& settings)
{
    if (Window() == nullptr)
        return false;
    Look look;
    look.outline = static_cast<COLORREF>(settings.comboBoxBackgroundColor);
    look.button = static_cast<COLORREF>(settings.comboBoxButtonColor);
    look.buttonSelect = static_cast<COLORREF>(settings.comboBoxButtonSelectColor);
    look.face = static_cast<COLORREF>(settings.comboBoxListBoxBackgroundColor) & 0x00FFFFFF;
    CKivListBox::Look list;
    list.border = static_cast<COLORREF>(settings.comboBoxListBoxBorderColor);
    list.background = static_cast<COLORREF>(settings.comboBoxListBoxBackgroundColor);
    list.select = static_cast<COLORREF>(settings.comboBoxListBoxSelectItemColor);
    list.bar.bar = static_cast<COLORREF>(settings.comboBoxSBarColor);
    list.bar.barBorder = static_cast<COLORREF>(settings.comboBoxSBarBorderColor);
    list.bar.slider = static_cast<COLORREF>(settings.comboBoxSBarSliderColor);
    list.bar.sliderBorder = static_cast<COLORREF>(settings.comboBoxSBarSliderBorderColor);
    list.bar.background = static_cast<COLORREF>(settings.comboBoxSBarBackground);
    list.barWidth = settings.comboBoxListBoxVScrollSize;
    m_list.SetLook(list);
    SetLook(look);
    return true;
}

void CKivComboBox::OnSkinChanged(const KivSkinSettings& settings)
{
    Setup(settings);
}

void CKivComboBox::SetLook(const Look& look)
{
    m_look = look;
    DressEdit();
    if (Window() != nullptr)
        InvalidateRect(Window(), nullptr, TRUE);
}

LRESULT CKivComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    switch (message)
    {
    case KIV_WM_CTLCOLOREDIT: return OnCtlColor(reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
    case WM_PRINTCLIENT: return OnComboPaint(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return 1;
    default: return Forward(message, wParam, lParam);
    }
}

void CKivComboBox::DressEdit()
{
    if (m_edit.Window() == nullptr)
        return;
    CKivEditBox::Look look;  // no border, on the face colour as the face around it
    look.backgroundColor = m_look.face;
    m_edit.SetLook(look);
}

bool CKivComboBox::ChangesLook(UINT message)
{
    // After these the control may have drawn its face or button itself.
    switch (message)
    {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
    case WM_COMMAND:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_CAPTURECHANGED:
    case CB_SETCURSEL:
    case CB_SELECTSTRING:
    case CB_RESETCONTENT:
    case CB_DELETESTRING:
    case CB_SHOWDROPDOWN: return true;
    default: return false;
    }
}

LRESULT CKivComboBox::Forward(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    bool painted = false;
    const LRESULT answer = CKivPaintMute::Route(
        window, [&] { return PassOn(message, wParam, lParam); }, &painted, CKivPaintMute::Heard::BySkin);
    if (Window() != window)
        return answer;
    // Parts made after the skin attached (at WM_CREATE, which the hook sees
    // before the control) are bound at the first message that finds them.
    if (!m_partsBound)
        BindParts();
    // Once the control's creation is over, whatever parts it has are final.
    if (message == WM_CREATE)
        m_partsBound = true;
    if (painted || ChangesLook(message))
        InvalidateRect(window, nullptr, FALSE);
    return answer;
}

LRESULT CKivComboBox::PassOn(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The base answers mouse messages with 0; the combo's own answer (TRUE
    // for a press it handled) is what its host gets unskinned.
    switch (message)
    {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: return CallPrevious(message, wParam, lParam);
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivComboBox::OnCtlColor(HDC dc)
{
    // The control asks for its colours just before it draws its face on the
    // screen; while it handles a message that drawing is kept off.
    CKivPaintMute::Silence(Window(), dc);
    return 0;
}

LRESULT CKivComboBox::OnComboPaint(HDC dc)
{
    CKivPaintEntry::Paint(Window(), dc, [this](HDC target) { Paint(target); });
    return 0;
}

void CKivComboBox::OnPaint()
{
    OnComboPaint(nullptr);
}

LRESULT CKivComboBox::OnEraseBkgnd(HDC)
{
    return 1;
}

void CKivComboBox::Paint(HDC dc)
{
    const HWND window = Window();
    RECT client{};
    GetClientRect(window, &client);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (dc == nullptr || client.right <= 0 || client.bottom <= 0 ||
        !CallPrevious(CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info)))
        return;
    CKivHDCMemory canvas(dc, client.right, client.bottom);
    if (!canvas.IsValid())
        return;
    const HDC memory = canvas.GetDC();
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const bool simple = (style & 3) == CBS_SIMPLE;
    const bool enabled = IsWindowEnabled(window) != FALSE;
    // The face takes the drop-down list's background unless the host gives
    // its own brush; the text is the host's colour, else black or white,
    // whichever reads on the face.
    const CKivHostColours host = (style & 3) == CBS_DROPDOWNLIST
                                     ? CKivHostColours::Ask(GetParent(window), enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                                                            memory, window)
                                     : CKivHostColours();
    if (Window() != window)
        return;
    const HBRUSH faceBrush = host.brush != nullptr ? host.brush : m_faceBrush.Get(m_look.face);
    const COLORREF face = host.brush != nullptr ? host.brushColour : m_look.face;
    {
        CKivPen outline(CreatePen(PS_SOLID, 1, m_look.outline));
        CKivSelectObject pen(memory, outline);
        CKivSelectObject brush(memory, faceBrush);
        FillRect(memory, &client, faceBrush);
        // A simple combo's list sits below the face: only the face is outlined.
        const int faceBottom = simple ? info.rcItem.bottom + 1 : client.bottom;
        Rectangle(memory, 0, 0, client.right, faceBottom);
    }
    if (!simple && !(info.stateButton & STATE_SYSTEM_INVISIBLE))
    {
        const bool down = (info.stateButton & STATE_SYSTEM_PRESSED) || CallPrevious(CB_GETDROPPEDSTATE, 0, 0);
        const COLORREF colour = down ? m_look.buttonSelect : m_look.button;
        CKivBrush fill(CreateSolidBrush(colour));
        FillRect(memory, &info.rcButton, fill);
        const POINT origin{(info.rcButton.left + info.rcButton.right) / 2 - 4,
                           (info.rcButton.top + info.rcButton.bottom) / 2 - 2};
        CKivGraphics::FillArrow(memory, &origin, 1, colour, 4, 8);
    }
    if ((style & 3) == CBS_DROPDOWNLIST)
    {
        // No highlight or focus mark, also with the focus.
        const LRESULT selected = CallPrevious(CB_GETCURSEL, 0, 0);
        const std::wstring text = selected >= 0 ? m_list.ItemText(static_cast<int>(selected)) : std::wstring();
        CKivSelectObject font(memory, reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0)));
        SetBkMode(memory, TRANSPARENT);
        SetTextColor(memory, enabled ? host.TextOn(face) : CKivTextContrast::GrayOn(CKivTextContrast::RelativeLuminance(face)));
        RECT face = info.rcItem;
        face.left += kFaceIndent;
        DrawTextW(memory, text.c_str(), static_cast<int>(text.size()), &face, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
}
