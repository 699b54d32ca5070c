#pragma once
#include <windows.h>
#include <map>
#include "CKivWndCharset.h"

class CKivWndBox;
struct KivSkinSettings;

// Base of every skin object bound to a host window. Attach subclasses the
// window with one shared procedure; WindowProc routes each message to a
// handler slot whose base forwards to the window's previous procedure.
//
// Lifetime: when the window gets WM_NCDESTROY the previous procedure sees it
// first, then the object lets go of the window. An object owned by the
// registry is then released, but never while one of its handlers is still on
// the stack: it is deleted when the outermost message returns.
//
// The window keeps its character set: an ANSI window is subclassed and
// forwarded to with the A calls, so its messages reach WindowProc in ANSI
// form: text in lParam is then a char string.
class CKivWnd
{
public:
    CKivWnd() = default;
    virtual ~CKivWnd();
    CKivWnd(const CKivWnd&) = delete;
    CKivWnd& operator=(const CKivWnd&) = delete;

    virtual BOOL Attach(HWND window);
    virtual BOOL Detach();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    virtual void OnLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual void OnLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual void OnMouseMove(WPARAM wParam, LPARAM lParam);
    virtual void OnMouseLeave();
    virtual void OnPaint();
    virtual LRESULT OnNcHitTest(LPARAM lParam);
    virtual LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnEraseBkgnd(HDC dc);
    virtual void OnSize(UINT sizeType, int width, int height);
    virtual void OnNcPaint();
    virtual void OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcActivate(WPARAM wParam);
    virtual void OnActivate(UINT state, HWND other, BOOL minimized);
    virtual void OnNcMouseLeave();
    virtual void OnNcMouseMove(WPARAM hitTest, LPARAM lParam);
    virtual void OnNcLButtonDown(WPARAM hitTest, LPARAM lParam);
    virtual void OnNcLButtonUp(WPARAM hitTest, LPARAM lParam);
    virtual void OnSizing(WPARAM edge, LPARAM rect);
    virtual void OnNcRButtonDown(WPARAM hitTest, LPARAM lParam);
    virtual void OnNcRButtonUp(WPARAM hitTest, LPARAM lParam);
    virtual void OnDestroy();
    virtual void OnClose();
    // A new skin has been loaded: the object takes from settings whatever it
    // copied when it was set up (colours, pictures, metrics) and marks what
    // it draws as invalid. It does not paint; the engine repaints each
    // window once after every object has taken the new skin.
    virtual void OnSkinChanged(const KivSkinSettings& settings);

    HWND Window() const { return m_hwnd; }
    WNDPROC PreviousProc() const { return m_previousProc; }
    // The character set the window had when it was attached.
    const CKivWndCharset& Charset() const { return m_charset; }

    // The registry that owns this object; it is told when the window is gone.
    void SetOwner(CKivWndBox* owner) { m_owner = owner; }
    // Deletes the object now, or when its outermost message returns.
    void ReleaseWhenIdle();
    // For an object embedded in another: its handlers count as the owner's,
    // so the owner is not deleted while one of them is on the stack.
    void CountDepthIn(CKivWnd* owner) { m_depthOwner = owner; }
    // Whether this object answers one of the private messages a parent's
    // skin sends its children (1254, 1255, 25). They go only to children
    // that do: passed on to a control, 25 (WM_CTLCOLOR) would be answered
    // with the system's default brush.
    bool AnswersPrivateMessage(UINT message) const { return (m_privateMessages & PrivateMessageBit(message)) != 0; }

    // Sends a colour message (WM_CTLCOLOR*) for a child to its parent as the
    // control itself would, but with the child's skin kept out of the answer:
    // what comes back is the host's own choice (brush, and the colours it
    // set on dc).
    static LRESULT AskHostColours(HWND parent, UINT message, HDC dc, HWND child);

    // The shared subclass procedure and the map it dispatches through.
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static CKivWnd* FromHandle(HWND window);
    static std::map<HWND, CKivWnd*>& SubclassMap();
    // Windows whose skin object let go while another subclasser sat on top
    // of ours: the shared procedure keeps passing their messages down.
    struct ForwardTarget
    {
        WNDPROC proc;
        CKivWndCharset charset;
    };
    static std::map<HWND, ForwardTarget>& ForwardMap();

protected:
    // Marks a private message this object answers (from its constructor).
    void AnswerPrivateMessage(UINT message) { m_privateMessages |= PrivateMessageBit(message); }
    // The previous procedure's answer to a message.
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);
    // The default procedure's answer, in the window's character set.
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);
    // True for a WM_NOTIFY lParam this window sent about itself (the parent's
    // skin hands those back to the sender first).
    bool IsOwnNotification(LPARAM lParam) const;
    // For a skin that filters its own notifications: while the parent's skin
    // is handing one of them over, asks the parent's own procedure for its
    // answer (once) and gives true. A skin that does so must then answer the
    // notification non-zero itself, or the parent's skin passes it on again.
    // False when no parent skin is handing this window's notification over.
    bool AskParentFirst(WPARAM wParam, LPARAM lParam, LRESULT* answer);
    // Invalidates the client area and has it painted at once through WM_PAINT.
    void RedrawNow();
    LRESULT Route(UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnFinalMessage(WPARAM wParam, LPARAM lParam);
    static LRESULT ForwardUnbound(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Takes the object off its window, restoring or bridging the procedure.
    void Unbind(bool windowAlive);

    LRESULT OnPaintMessage(WPARAM dc, LPARAM lParam);
    LRESULT OnCtlColorChild(UINT message, UINT childMessage, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotifyReflect(WPARAM wParam, LPARAM lParam);
    static unsigned PrivateMessageBit(UINT message);
    // The child whose host colours are being asked (AskHostColours), or null.
    static HWND& ProbingChild();

    HWND m_hwnd = nullptr;
    WNDPROC m_previousProc = nullptr;
    CKivWndCharset m_charset;
    CKivWndBox* m_owner = nullptr;
    int m_depth = 0;
    bool m_deleteWhenIdle = false;
    CKivWnd* m_depthOwner = nullptr;
    unsigned m_privateMessages = 0;

    // The parent procedure a notification is being handed over from.
    struct Handover
    {
        HWND parent;
        WNDPROC previous;
        CKivWndCharset charset;
        LPARAM notification;
    };
    static Handover*& CurrentHandover();
};

// Private messages between a skinned parent and its skinned controls.
// 1254, for WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC of an edit and WM_CTLCOLORLISTBOX of a
// list whose host draws the rows, after the host answered:
// lParam is the host's own brush (0: the default); the edit answers a brush or 0 (the host's stands).
const UINT KIV_WM_CTLCOLOREDIT = WM_USER + 230;
const UINT KIV_WM_EDITCHANGE = WM_USER + 231;     // 1255: non-zero consumes EN_CHANGE
const UINT KIV_WM_CTLCOLOR = 25;                  // WM_CTLCOLOR: the list box answers a brush
// 1124 and 1125 are kept for their names only: the menu bar's mouse hook sends
// registered messages (CKivMenuBar::MouseMoveMessage, LeftDownMessage), since a
// frame's WM_USER range belongs to its program.
const UINT KIV_WM_MENUMOUSEMOVE = WM_USER + 100;  // 1124
const UINT KIV_WM_MENULBUTTONDOWN = WM_USER + 101;  // 1125
const UINT KIV_WM_DRAWNBUTTONCLICK = WM_USER + 240;  // 1264
const UINT KIV_WM_TABSELECT = WM_USER + 250;      // 1274
