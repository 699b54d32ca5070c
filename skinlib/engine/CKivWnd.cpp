#include "CKivWnd.h"
#include "CKivWndBox.h"

std::map<HWND, CKivWnd*>& CKivWnd::SubclassMap()
{
    static std::map<HWND, CKivWnd*> map;
    return map;
}

std::map<HWND, CKivWnd::ForwardTarget>& CKivWnd::ForwardMap()
{
    static std::map<HWND, ForwardTarget> map;
    return map;
}

CKivWnd* CKivWnd::FromHandle(HWND window)
{
    auto& map = SubclassMap();
    auto found = map.find(window);
    return found == map.end() ? nullptr : found->second;
}

LRESULT CALLBACK CKivWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    // Runs inside the host's message loop: nothing may escape from here.
    try
    {
        CKivWnd* object = FromHandle(window);
        if (object == nullptr)
            return ForwardUnbound(window, message, wParam, lParam);
        if (message == WM_NCDESTROY)
            return object->OnFinalMessage(wParam, lParam);
        return object->Dispatch(message, wParam, lParam);
    }
    catch (...)
    {
        return 0;
    }
}

namespace {

// Counts the handlers of one object on the stack; the last one out deletes
// an object that was released meanwhile.
class CKivWndCallDepth
{
public:
    CKivWndCallDepth(int& depth, bool& deleteWhenIdle, CKivWnd* object)
        : m_depth(depth), m_deleteWhenIdle(deleteWhenIdle), m_object(object)
    {
        ++m_depth;
    }
    ~CKivWndCallDepth()
    {
        if (--m_depth == 0 && m_deleteWhenIdle)
            delete m_object;
    }
    CKivWndCallDepth(const CKivWndCallDepth&) = delete;
    CKivWndCallDepth& operator=(const CKivWndCallDepth&) = delete;

private:
    int& m_depth;
    bool& m_deleteWhenIdle;
    CKivWnd* m_object;
};

}  // namespace

LRESULT CKivWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    CKivWnd* counted = m_depthOwner ? m_depthOwner : this;
    CKivWndCallDepth depth(counted->m_depth, counted->m_deleteWhenIdle, counted);
    return WindowProc(message, wParam, lParam);
}

LRESULT CKivWnd::OnFinalMessage(WPARAM wParam, LPARAM lParam)
{
    CKivWnd* counted = m_depthOwner ? m_depthOwner : this;
    CKivWndCallDepth depth(counted->m_depth, counted->m_deleteWhenIdle, counted);
    const HWND window = m_hwnd;
    // The procedures below ours free their own data on this message.
    const LRESULT result = CallPrevious(WM_NCDESTROY, wParam, lParam);
    if (m_hwnd == window && window != nullptr)
        Unbind(false);
    if (m_owner)
        m_owner->ReleaseObject(window, this);
    return result;
}

LRESULT CKivWnd::ForwardUnbound(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto& forward = ForwardMap();
    auto found = forward.find(window);
    if (found == forward.end())
        return 0;
    const ForwardTarget target = found->second;
    if (message == WM_NCDESTROY)
        forward.erase(found);
    return target.charset.CallProc(target.proc, window, message, wParam, lParam);
}

void CKivWnd::ReleaseWhenIdle()
{
    if (m_depth == 0)
        delete this;
    else
        m_deleteWhenIdle = true;
}

CKivWnd::~CKivWnd()
{
    if (m_hwnd && m_previousProc)
        Unbind(IsWindow(m_hwnd) != FALSE);
}

BOOL CKivWnd::Attach(HWND window)
{
    if (m_hwnd || m_previousProc || window == nullptr)
        return FALSE;
    auto& map = SubclassMap();
    if (map.count(window))
        return FALSE;
    auto& forward = ForwardMap();
    auto bridged = forward.find(window);
    if (bridged != forward.end())
    {
        // An earlier object left our procedure in this window's chain. Only
        // when it is on top can we take over there; below another
        // subclasser a second copy of our procedure would call itself.
        const ForwardTarget target = bridged->second;
        if (target.charset.GetProc(window) != &CKivWnd::SubclassProc)
            return FALSE;
        m_hwnd = window;
        m_previousProc = target.proc;
        m_charset = target.charset;
        forward.erase(bridged);
        map[window] = this;
        return TRUE;
    }
    // Read and replace the procedure in the window's own character set, so
    // an ANSI window stays ANSI.
    const CKivWndCharset charset = CKivWndCharset::Of(window);
    const WNDPROC current = charset.GetProc(window);
    if (current == nullptr || current == &CKivWnd::SubclassProc)
        return FALSE;
    m_hwnd = window;
    m_previousProc = current;
    m_charset = charset;
    map[window] = this;
    if (charset.SetProc(window, &CKivWnd::SubclassProc) == nullptr)
    {
        map.erase(window);
        m_hwnd = nullptr;
        m_previousProc = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CKivWnd::Detach()
{
    if (m_hwnd == nullptr || m_previousProc == nullptr)
        return FALSE;
    Unbind(IsWindow(m_hwnd) != FALSE);
    return TRUE;
}

void CKivWnd::Unbind(bool windowAlive)
{
    const HWND window = m_hwnd;
    const WNDPROC previous = m_previousProc;
    m_hwnd = nullptr;
    m_previousProc = nullptr;
    auto& map = SubclassMap();
    auto found = map.find(window);
    if (found == map.end() || found->second != this)
        return;  // the handle already belongs to someone else
    map.erase(found);
    if (!windowAlive)
        return;
    // Putting our previous procedure back while another subclasser sits on
    // top would cut that subclasser out; then we stay in the chain as a
    // plain forwarder instead.
    const CKivWndCharset charset = m_charset;
    if (charset.GetProc(window) == &CKivWnd::SubclassProc && charset.SetProc(window, previous) != nullptr)
        return;
    ForwardMap()[window] = ForwardTarget{previous, charset};
}

LRESULT CKivWnd::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_previousProc == nullptr)
        return 0;
    return m_charset.CallProc(m_previousProc, m_hwnd, message, wParam, lParam);
}

LRESULT CKivWnd::CallDefault(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_hwnd == nullptr)
        return 0;
    return m_charset.CallDefault(m_hwnd, message, wParam, lParam);
}

bool CKivWnd::IsOwnNotification(LPARAM lParam) const
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    return header != nullptr && m_hwnd != nullptr && header->hwndFrom == m_hwnd;
}

void CKivWnd::RedrawNow()
{
    // A hidden window is painted whole when it is shown; invalidating it now
    // would only cost a trip to the server (controls change state many times
    // while their dialog is created).
    if (m_hwnd == nullptr || !IsWindowVisible(m_hwnd))
        return;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    UpdateWindow(m_hwnd);
}

LRESULT CKivWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_hwnd == nullptr || m_previousProc == nullptr)
        return 0;
    return Route(message, wParam, lParam);
}

LRESULT CKivWnd::Route(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE: OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ACTIVATE: OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam)); return 0;
    case WM_PAINT: return OnPaintMessage(wParam, lParam);
    case WM_CLOSE: OnClose(); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_NCCALCSIZE: OnNcCalcSize(wParam, lParam); return 0;
    case WM_NCHITTEST: return OnNcHitTest(lParam);
    case WM_NCPAINT: OnNcPaint(); return 0;
    case WM_NCACTIVATE: return OnNcActivate(wParam);
    case WM_NCMOUSEMOVE: OnNcMouseMove(wParam, lParam); return 0;
    case WM_NCLBUTTONDOWN: OnNcLButtonDown(wParam, lParam); return 0;
    case WM_NCLBUTTONUP: OnNcLButtonUp(wParam, lParam); return 0;
    case WM_NCRBUTTONDOWN: OnNcRButtonDown(wParam, lParam); return 0;
    case WM_NCRBUTTONUP: OnNcRButtonUp(wParam, lParam); return 0;
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_CTLCOLOREDIT: return OnCtlColorChild(message, KIV_WM_CTLCOLOREDIT, wParam, lParam);
    case WM_CTLCOLORSTATIC: return OnCtlColorChild(message, KIV_WM_CTLCOLOREDIT, wParam, lParam);
    case WM_CTLCOLORLISTBOX: return OnCtlColorChild(message, KIV_WM_CTLCOLOR, wParam, lParam);
    case WM_NOTIFY: return OnNotifyReflect(wParam, lParam);
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(wParam, lParam); return 0;
    case WM_LBUTTONUP: OnLButtonUp(wParam, lParam); return 0;
    case WM_SIZING: OnSizing(wParam, lParam); return 1;
    case WM_NCMOUSELEAVE: OnNcMouseLeave(); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    default: return CallPrevious(message, wParam, lParam);
    }
}

LRESULT CKivWnd::OnPaintMessage(WPARAM dc, LPARAM lParam)
{
    // A WM_PAINT that brings its own DC (a host printing its child) is not a
    // paint cycle: the procedure below must draw into that DC.
    if (dc != 0)
        return CallPrevious(WM_PAINT, dc, lParam);
    OnPaint();
    return 0;
}

HWND& CKivWnd::ProbingChild()
{
    static HWND child = nullptr;
    return child;
}

LRESULT CKivWnd::AskHostColours(HWND parent, UINT message, HDC dc, HWND child)
{
    if (parent == nullptr)
        return 0;
    HWND& probing = ProbingChild();
    const HWND outer = probing;
    probing = child;
    const LRESULT answer = SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    probing = outer;
    return answer;
}

LRESULT CKivWnd::OnCtlColorChild(UINT message, UINT childMessage, WPARAM wParam, LPARAM lParam)
{
    // The child may detach us while it answers; the message still belongs
    // to the procedure that was below us when it arrived.
    const HWND window = m_hwnd;
    const WNDPROC previous = m_previousProc;
    const CKivWndCharset charset = m_charset;
    // Only a child we skinned knows the private message; another (a
    // filtered list, a rich edit, for which 1255 means something else)
    // leaves the answer to the host, and so does a skin asking what the
    // host itself would answer.
    const HWND child = reinterpret_cast<HWND>(lParam);
    const CKivWnd* skin = FromHandle(child);
    // A list whose rows its host draws is answered as an edit is: the host first.
    if (childMessage == KIV_WM_CTLCOLOR && skin != nullptr && !skin->AnswersPrivateMessage(KIV_WM_CTLCOLOR))
        childMessage = KIV_WM_CTLCOLOREDIT;
    if (skin == nullptr || !skin->AnswersPrivateMessage(childMessage) || child == ProbingChild())
        return charset.CallProc(previous, window, message, wParam, lParam);
    if (childMessage == KIV_WM_CTLCOLOR)
    {
        // The list box paints its rows itself and answers alone.
        const LRESULT answer = SendMessageW(child, childMessage, wParam, 0);
        return answer != 0 ? answer : charset.CallProc(previous, window, message, wParam, lParam);
    }
    // An edit or a host-drawn list: the host answers first, on the DC as the control prepared it,
    // exactly as it would unskinned; the skin then fills in what the host
    // left at the default. The edit hears the host's brush when it was one
    // of its own (0 otherwise); the text colour the host set is on the DC.
    const HDC dc = reinterpret_cast<HDC>(wParam);
    if (dc != nullptr)
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const LRESULT host = charset.CallProc(previous, window, message, wParam, lParam);
    const LRESULT systemBrush =
        reinterpret_cast<LRESULT>(GetSysColorBrush(message == WM_CTLCOLORSTATIC ? COLOR_3DFACE : COLOR_WINDOW));
    const LRESULT hostBrush = host != systemBrush ? host : 0;
    if (FromHandle(child) != skin)
        return host;
    const LRESULT answer = SendMessageW(child, childMessage, wParam, hostBrush);
    return answer != 0 ? answer : host;
}

unsigned CKivWnd::PrivateMessageBit(UINT message)
{
    switch (message)
    {
    case KIV_WM_CTLCOLOREDIT: return 1;
    case KIV_WM_EDITCHANGE: return 2;
    case KIV_WM_CTLCOLOR: return 4;
    default: return 0;
    }
}

namespace {

// Makes a handover the current one for the time a notification is handed over.
template <typename T>
class HandoverScope
{
public:
    HandoverScope(T*& current, T* handover) : m_current(current), m_outer(current) { m_current = handover; }
    ~HandoverScope() { m_current = m_outer; }
    HandoverScope(const HandoverScope&) = delete;
    HandoverScope& operator=(const HandoverScope&) = delete;

private:
    T*& m_current;
    T* m_outer;
};

}  // namespace

LRESULT CKivWnd::OnNotifyReflect(WPARAM wParam, LPARAM lParam)
{
    const HWND window = m_hwnd;
    const WNDPROC previous = m_previousProc;
    const CKivWndCharset charset = m_charset;
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    // A notification a window sends about itself would bounce back here forever.
    CKivWnd* sender = (header && header->hwndFrom && header->hwndFrom != window) ? FromHandle(header->hwndFrom) : nullptr;
    // Handed to the sender's skin object itself, not sent to the window: a
    // host's own subclass of the control must not see notifications coming
    // back at it that the control never gets unskinned.
    if (sender != nullptr && sender != this && GetWindowThreadProcessId(header->hwndFrom, nullptr) == GetCurrentThreadId())
    {
        Handover handover = {window, previous, charset, lParam};
        HandoverScope scope(CurrentHandover(), &handover);
        const LRESULT answer = sender->Dispatch(WM_NOTIFY, wParam, lParam);
        if (answer != 0)
            return answer;
    }
    return charset.CallProc(previous, window, WM_NOTIFY, wParam, lParam);
}

CKivWnd::Handover*& CKivWnd::CurrentHandover()
{
    static Handover* current = nullptr;
    return current;
}

bool CKivWnd::AskParentFirst(WPARAM wParam, LPARAM lParam, LRESULT* answer)
{
    Handover* const handover = CurrentHandover();
    if (handover == nullptr || handover->notification != lParam || !IsOwnNotification(lParam))
        return false;
    // Asked once: a second ask for the same handover finds it spent.
    handover->notification = 0;
    const LRESULT result = handover->charset.CallProc(handover->previous, handover->parent, WM_NOTIFY, wParam, lParam);
    if (answer != nullptr)
        *answer = result;
    return true;
}

void CKivWnd::OnLButtonDown(WPARAM wParam, LPARAM lParam) { CallPrevious(WM_LBUTTONDOWN, wParam, lParam); }
void CKivWnd::OnLButtonUp(WPARAM wParam, LPARAM lParam) { CallPrevious(WM_LBUTTONUP, wParam, lParam); }
void CKivWnd::OnMouseMove(WPARAM wParam, LPARAM lParam) { CallPrevious(WM_MOUSEMOVE, wParam, lParam); }
void CKivWnd::OnMouseLeave() { CallPrevious(WM_MOUSELEAVE, 0, 0); }
void CKivWnd::OnPaint() { CallPrevious(WM_PAINT, 0, 0); }
LRESULT CKivWnd::OnNcHitTest(LPARAM lParam) { return CallPrevious(WM_NCHITTEST, 0, lParam); }
LRESULT CKivWnd::OnEraseBkgnd(HDC dc) { return CallPrevious(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0); }
void CKivWnd::OnSize(UINT sizeType, int width, int height) { CallPrevious(WM_SIZE, sizeType, MAKELPARAM(width, height)); }
void CKivWnd::OnNcPaint() { CallPrevious(WM_NCPAINT, 1, 0); }
void CKivWnd::OnNcCalcSize(WPARAM wParam, LPARAM lParam) { CallPrevious(WM_NCCALCSIZE, wParam, lParam); }
LRESULT CKivWnd::OnNcActivate(WPARAM wParam) { return CallPrevious(WM_NCACTIVATE, wParam, 0); }
void CKivWnd::OnActivate(UINT state, HWND other, BOOL minimized)
{
    CallPrevious(WM_ACTIVATE, MAKEWPARAM(state, minimized), reinterpret_cast<LPARAM>(other));
}
void CKivWnd::OnNcMouseLeave() { CallPrevious(WM_NCMOUSELEAVE, 0, 0); }
void CKivWnd::OnNcMouseMove(WPARAM hitTest, LPARAM lParam) { CallPrevious(WM_NCMOUSEMOVE, hitTest, lParam); }
void CKivWnd::OnNcLButtonDown(WPARAM hitTest, LPARAM lParam) { CallPrevious(WM_NCLBUTTONDOWN, hitTest, lParam); }
void CKivWnd::OnNcLButtonUp(WPARAM hitTest, LPARAM lParam) { CallPrevious(WM_NCLBUTTONUP, hitTest, lParam); }
void CKivWnd::OnSizing(WPARAM edge, LPARAM rect) { CallPrevious(WM_SIZING, edge, rect); }
void CKivWnd::OnNcRButtonDown(WPARAM hitTest, LPARAM lParam) { CallPrevious(WM_NCRBUTTONDOWN, hitTest, lParam); }
void CKivWnd::OnNcRButtonUp(WPARAM hitTest, LPARAM lParam) { CallPrevious(WM_NCRBUTTONUP, hitTest, lParam); }
void CKivWnd::OnDestroy() { CallPrevious(WM_DESTROY, 0, 0); }
void CKivWnd::OnClose() { CallPrevious(WM_CLOSE, 0, 0); }

// Objects that read the skin while they paint have nothing to take.
void CKivWnd::OnSkinChanged(const KivSkinSettings&) {}

LRESULT CKivWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const HWND control = reinterpret_cast<HWND>(lParam);
    const HWND window = m_hwnd;
    const WNDPROC previous = m_previousProc;
    const CKivWndCharset charset = m_charset;
    const CKivWnd* skin = control ? FromHandle(control) : nullptr;
    if (HIWORD(wParam) == EN_CHANGE && skin && skin->AnswersPrivateMessage(KIV_WM_EDITCHANGE) &&
        SendMessageW(control, KIV_WM_EDITCHANGE, 0, 0) != 0)
        return 0;
    return charset.CallProc(previous, window, WM_COMMAND, wParam, lParam);
}
