#include "CKivCommonCtrl.h"
#include <memory>
#include "CKivCustomDrawWatch.h"
#include "CKivGdiObject.h"
#include "CKivHDCMemory.h"
#include "CKivPaintEntry.h"
#include "CKivPaintMute.h"

namespace {

// An answer that means nothing to the controls at the stages it is used for
// (item pre- and post-paint), but is not 0: a 0 answer would let the
// parent's skin pass the notification on to the host after all.
const LRESULT kNothingMore = CDRF_NOTIFYSUBITEMDRAW;

}  // namespace

CKivCommonCtrl::~CKivCommonCtrl() = default;

LRESULT CKivCommonCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    switch (message)
    {
    case WM_PAINT:
    case WM_PRINTCLIENT: return SystemLookNow() ? CallPrevious(message, wParam, lParam)
                                                : OnPaintMessage(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return OnEraseMessage(wParam, lParam);
    case WM_SETREDRAW: return OnSetRedraw(wParam, lParam);
    case WM_NOTIFY:
        // The control's own notifications come back from the parent's skin;
        // those of its children (its tooltip) go the usual way.
        if (IsOwnNotification(lParam))
            return OnOwnNotify(wParam, lParam);
        return CKivWnd::WindowProc(message, wParam, lParam);
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

void CKivCommonCtrl::PaintOver(HDC, const RECT&) {}

CKivCommonCtrl::Unfiltered CKivCommonCtrl::PaintUnfiltered(HDC, const RECT&, const CKivCustomDrawWatch&)
{
    return Unfiltered::Again;
}

BOOL CKivCommonCtrl::Attach(HWND window)
{
    if (!CKivWnd::Attach(window))
        return FALSE;
    m_notify = GetParent(window);
    return TRUE;
}

HWND CKivCommonCtrl::NotifyWindow() const
{
    return m_notify;
}

bool CKivCommonCtrl::ParentHandsOver() const
{
    return m_notify != nullptr && FromHandle(m_notify) != nullptr;
}

LRESULT CKivCommonCtrl::PassSetParent(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT answer = CallPrevious(message, wParam, lParam);
    m_notify = reinterpret_cast<HWND>(wParam);
    return answer;
}

bool CKivCommonCtrl::SystemLookNow()
{
    if (m_systemLook || !m_redraw)
        return true;
    // A control whose parent has no skin to hand its custom draw over, and
    // whose skin cannot paint over its drawing, paints as itself from the
    // start (its erase included), so no paint is wasted.
    if (PaintsWithoutHandover() || ParentHandsOver())
        return false;
    if (!ExpectsCustomDraw())
        return false;
    m_systemLook = true;
    return true;
}
void CKivCommonCtrl::PrepareControl() {}
void CKivCommonCtrl::RestoreControl() {}
void CKivCommonCtrl::BeforeItem(NMCUSTOMDRAW&) {}
void CKivCommonCtrl::AfterItem(NMCUSTOMDRAW&) {}

LRESULT CKivCommonCtrl::ItemAnswer(NMCUSTOMDRAW&, LRESULT hostAnswer, bool)
{
    return hostAnswer;
}

bool CKivCommonCtrl::TakeCustomDraw(NMCUSTOMDRAW&, LRESULT*)
{
    return false;
}

LRESULT CKivCommonCtrl::OnSetRedraw(WPARAM wParam, LPARAM lParam)
{
    m_redraw = wParam != FALSE;
    return CallPrevious(WM_SETREDRAW, wParam, lParam);
}

LRESULT CKivCommonCtrl::OnEraseMessage(WPARAM dc, LPARAM lParam)
{
    if (SystemLookNow())
        return CallPrevious(WM_ERASEBKGND, dc, lParam);
    // The skin paints the background with everything else in WM_PAINT. The
    // control still erases, for what it sends on the way (a tool bar's erase
    // notifications, a transparent one's erase request to its parent), but
    // nothing of it reaches the screen.
    return CKivPaintMute::RouteOn(reinterpret_cast<HDC>(dc),
                                  [&] { return CallPrevious(WM_ERASEBKGND, dc, lParam); });
}

LRESULT CKivCommonCtrl::OnPaintMessage(HDC dc)
{
    // Without a DC to draw into, what needs painting is taken before
    // BeginPaint validates it: the control skips what lies outside (and
    // sends nothing about it).
    CKivRegion update;
    if (dc == nullptr)
    {
        update.Reset(CreateRectRgn(0, 0, 0, 0));
        if (update && GetUpdateRgn(Window(), update, FALSE) == ERROR)
            update.Reset(nullptr);
    }
    CKivPaintEntry::Paint(Window(), dc, [&](HDC target) { PaintInto(target, update); });
    return 0;
}

void CKivCommonCtrl::PaintInto(HDC target, HRGN update)
{
    const HWND window = Window();
    RECT client = {};
    GetClientRect(window, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    CKivHDCMemory canvas(target, client.right, client.bottom);
    if (!canvas.IsValid())
    {
        CallPrevious(WM_PAINT, reinterpret_cast<WPARAM>(target), 0);
        return;
    }
    const HDC memory = canvas.GetDC();
    if (update != nullptr)
        SelectClipRgn(memory, update);
    PaintBackground(memory, client);
    PrepareControl();
    m_painting = true;
    m_sawCustomDraw = false;
    m_hostPrepaint = 0;
    m_hostItems.clear();
    const bool expects = ExpectsCustomDraw();
    std::unique_ptr<CKivCustomDrawWatch> watch(expects ? new CKivCustomDrawWatch(window) : nullptr);
    CallPrevious(WM_PAINT, reinterpret_cast<WPARAM>(memory), 0);
    m_painting = false;
    if (Window() != window)
        return;  // the host destroyed the control while it painted
    RestoreControl();
    if (expects && !m_sawCustomDraw)
    {
        // Nobody handed the control's custom draw over.
        switch (PaintUnfiltered(memory, client, *watch))
        {
        case Unfiltered::Skin: break;
        case Unfiltered::Control:
            // What the control drew covers the whole area: show it, and let
            // the control paint itself from now on.
            m_systemLook = true;
            BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
            return;
        case Unfiltered::Again:
            // Its texts are the system's colours, which need the system's
            // background: show nothing of this paint, and let the control
            // paint itself from now on.
            m_systemLook = true;
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            return;
        }
    }
    PaintOver(memory, client);
    BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
}

LRESULT CKivCommonCtrl::OnOwnNotify(WPARAM wParam, LPARAM lParam)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    // Anything else, and custom draw outside our paint, is the host's: a 0
    // answer lets the parent's skin pass it on.
    if (header->code != static_cast<UINT>(NM_CUSTOMDRAW) || !m_painting)
        return 0;
    // Handed over again by a grandparent's skin while we ask the parent (a
    // rebar passes its children's notifications up): the host answers.
    if (m_asking == lParam)
        return 0;
    return OnCustomDraw(wParam, lParam);
}

LRESULT CKivCommonCtrl::OnCustomDraw(WPARAM wParam, LPARAM lParam)
{
    NMCUSTOMDRAW& draw = *reinterpret_cast<NMCUSTOMDRAW*>(lParam);
    m_sawCustomDraw = true;
    LRESULT taken = 0;
    if (TakeCustomDraw(draw, &taken))
        return taken;
    const WPARAM outerWParam = m_notifyWParam;
    m_notifyWParam = wParam;
    struct Restore
    {
        WPARAM& slot;
        WPARAM value;
        ~Restore() { slot = value; }
    } restore{m_notifyWParam, outerWParam};
    auto askHost = [&](LRESULT* answer) { return AskHost(draw, answer); };
    switch (draw.dwDrawStage)
    {
    case CDDS_PREPAINT:
    {
        const LRESULT flags = PrepaintFlags();
        LRESULT host = 0;
        if (flags == 0 || !askHost(&host))
            return 0;
        m_hostPrepaint = host;
        return host | flags;
    }
    case CDDS_ITEMPREPAINT:
    {
        const bool hostWantsItems = (m_hostPrepaint & CDRF_NOTIFYITEMDRAW) != 0;
        BeforeItem(draw);
        LRESULT host = 0;
        if (hostWantsItems)
        {
            if (!askHost(&host))
                return 0;
            m_hostItems[draw.dwItemSpec] = host;
        }
        const LRESULT answer = ItemAnswer(draw, host, hostWantsItems);
        return answer != 0 ? answer : kNothingMore;
    }
    case CDDS_ITEMPOSTPAINT:
    {
        AfterItem(draw);
        const auto item = m_hostItems.find(draw.dwItemSpec);
        const bool hostWantsPost = (m_hostPrepaint & CDRF_NOTIFYITEMDRAW) != 0 && item != m_hostItems.end() &&
                                   (item->second & CDRF_NOTIFYPOSTPAINT) != 0;
        LRESULT host = 0;
        if (hostWantsPost && !askHost(&host))
            return 0;
        return host != 0 ? host : kNothingMore;
    }
    default: return 0;  // the whole paint's post-paint and erase stages are the host's alone
    }
}

bool CKivCommonCtrl::AskHost(NMCUSTOMDRAW& draw, LRESULT* answer)
{
    const LPARAM lParam = reinterpret_cast<LPARAM>(&draw);
    const LPARAM outer = m_asking;
    m_asking = lParam;
    const bool asked = AskParentFirst(m_notifyWParam, lParam, answer);
    m_asking = outer;
    return asked;
}

void CKivCommonCtrl::UseSystemLook()
{
    if (m_systemLook)
        return;
    m_systemLook = true;
    if (Window() != nullptr)
        RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void CKivCommonCtrl::Repaint()
{
    if (Window() != nullptr)
        RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

HFONT CKivCommonCtrl::ControlFont()
{
    const HFONT font = reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0));
    return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}
