#pragma once
#include <windows.h>
#include <memory>

class CKivMenuBar;

// The menu mode of a skinned menu bar, from the first item opened or
// highlighted until every drop-down has closed. The drop-downs stay the
// system's own: each is opened with TrackPopupMenuEx under a message filter
// (Left and Right walk the bar) and the mouse hook (another item under the
// mouse ends this drop-down and opens that one once it has returned). With
// no drop-down open the loop reads the keys that walk and open the bar
// itself. The host hears what the system's bar would tell it.
class CKivMenuBarLoop
{
public:
    explicit CKivMenuBarLoop(CKivMenuBar& bar);
    ~CKivMenuBarLoop();
    CKivMenuBarLoop(const CKivMenuBarLoop&) = delete;
    CKivMenuBarLoop& operator=(const CKivMenuBarLoop&) = delete;

    // Runs the whole menu mode: item opened (open) or only highlighted;
    // keyboard shows the cues. Returns at once while the mode runs already.
    void Run(int item, bool open, bool keyboard);

    // The mouse hook's report while a drop-down is open: the item under the
    // mouse (-1 for none), and whether the left button went down.
    void OnHookMouse(bool leftDown, int item);
    // WM_MENUSELECT from inside the drop-down.
    void OnMenuSelect(WPARAM wParam, LPARAM lParam);
    // WM_CANCELMODE: a bar highlighted from the keyboard lets go.
    void OnCancelMode() { m_cancelBar = m_tracking; }
    // The frame goes: a drop-down still open is ended.
    void EndWithOwner();
    // The lParam the host gets with WM_INITMENUPOPUP (see CKivMenuBar).
    LPARAM PopupPosition(WPARAM popup, LPARAM lParam) const;

    bool IsTracking() const { return m_tracking; }
    // Inside TrackPopupMenuEx: the drop-down's own loop notifications are not the host's.
    bool InsideTrack() const { return m_insideTrack; }
    int OpenItem() const { return m_openItem; }
    int PushedItem() const { return m_pushedItem; }
    int KeyboardCues() const { return m_keyboardCues; }
    // Cleared when the loop (with its bar) goes, so a loop still running stops touching it.
    std::shared_ptr<bool> Alive() const { return m_alive; }

private:
    // Opens one item; returns the item to open next, -1 to end.
    int TrackItem(int index, bool keyboard);
    void DropClosingClick(int index);
    // The bar highlighted from the keyboard with no drop-down open: waits for
    // the keys that walk and open the items. Returns the item to open, -1 to end.
    int WaitForBarKey(int item);
    bool OnFilteredKey(const MSG& message);
    static LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam);

    CKivMenuBar& m_bar;
    int m_keyboardCues = 0;
    int m_pushedItem = -1;
    bool m_tracking = false;
    int m_openItem = -1;
    bool m_insideTrack = false;
    HMENU m_openPopup = nullptr;
    int m_nextItem = -1;
    // WM_CANCELMODE while the bar is highlighted from the keyboard.
    bool m_cancelBar = false;
    // The last WM_MENUSELECT inside the drop-down: its menu and whether the
    // selected entry opens a submenu (Left/Right then belong to the drop-down).
    HMENU m_selectedMenu = nullptr;
    bool m_selectedHasPopup = false;
    std::shared_ptr<bool> m_alive;
};
