#pragma once
#include <windows.h>
#include "CKivDpiScale.h"
#include <memory>
#include <vector>
#include "CKivMenuBarLoop.h"
#include "KivFrameMetrics.h"

// The menu bar of a skinned frame: the frame's messages about the bar are
// answered here, its items laid out (CKivMenuBarLayout), drawn
// (CKivMenuBarPainter) and tracked (CKivMenuBarLoop). The drop-down menus
// stay the system's own; the bar opens them one at a time with
// TrackPopupMenuEx and tells the host what the system's bar would
// (WM_ENTERMENULOOP, WM_INITMENU, WM_MENUSELECT, WM_INITMENUPOPUP with the
// item's position, WM_EXITMENULOOP).
class CKivMenuBar
{
public:
    // One top-level item as laid out on the bar (window coordinates).
    struct Item
    {
        RECT rect;
        int index;
        UINT id;
        HMENU popup;
        bool grayed;
        wchar_t text[260];
    };
    static const int kFirstInset = 2;   // the first item starts this far inside the bar
    static const int kItemGap = 4;      // between one item's right edge and the next item
    static const int kItemSlack = 3;    // added to every item's measured text
    static const int kTextPadding = 6;  // room left and right of the text (these four at 96 DPI)

    // The picture items a maximised MDI child puts on its frame's bar: its
    // window-menu icon at the left and its minimise, restore and close
    // buttons at the right. They act on the active MDI child.
    enum ButtonKind
    {
        ChildMenuButton,
        ChildMinimizeButton,
        ChildRestoreButton,
        ChildCloseButton
    };
    struct Button
    {
        RECT rect;
        int index;
        ButtonKind kind;
        HMENU popup;
        bool grayed;
    };

    CKivMenuBar();
    virtual ~CKivMenuBar();
    CKivMenuBar(const CKivMenuBar&) = delete;
    CKivMenuBar& operator=(const CKivMenuBar&) = delete;

    void SetWindow(HWND window) { m_hwnd = window; }
    void SetMetrics(const KivFrameMetrics* metrics) { m_metrics = metrics; }
    HWND Window() const { return m_hwnd; }
    const KivFrameMetrics* Metrics() const { return m_metrics; }
    // The scale of the frame the bar belongs to.
    CKivDpiScale Scale() const { return CKivDpiScale(m_metrics ? m_metrics->dpi : CKivDpiScale::kBaseDpi); }

    // 0: the message is finished with result 0; 1: processing continues.
    virtual int HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The lParam the host gets with WM_INITMENUPOPUP: the drop-down the bar
    // opened carries its item's position, as with the system's bar.
    LPARAM PopupPosition(WPARAM popup, LPARAM lParam) const;

    // Draws the bar (background and the top-level items) into the frame's
    // surface, whose origin is the window's top-left corner.
    virtual void Draw(HDC surface, int windowWidth);
    // Redraws only the bar onto the window.
    void PaintBar();
    // Lays the items of the window's menu out on the bar; returns their count.
    int LayoutItems(HDC dc, int windowWidth);
    // Lays the items out again on the window's own context.
    void RefreshLayout();
    // The item under a screen point, -1 for none.
    int ItemFromPoint(POINT screen);
    // The child button under a screen point (an index into Buttons()), -1 for none.
    int ButtonFromPoint(POINT screen);
    // The frame's MDI child that is active, or null (no MDI client, no child).
    HWND ActiveMdiChild() const;
    // Opens an item's drop-down (or sends a bar command) and tracks the bar
    // until the menu closes.
    void OpenItem(int index, bool keyboard);

    // Marks the top-level items owner-drawn (once per menu), so the system
    // never paints them over the skin; everything else of the host's items
    // stays as it is. RestoreMenu takes the mark off again.
    void ConvertToOwnerDraw(HMENU menu);
    void RestoreMenu();

    const std::vector<Item>& Items() const { return m_items; }
    const std::vector<Button>& Buttons() const { return m_buttons; }
    int KeyboardCues() const { return m_loop.KeyboardCues(); }
    int PushedItem() const { return m_loop.PushedItem(); }
    int OpenItemIndex() const { return m_loop.OpenItem(); }
    bool IsTracking() const { return m_loop.IsTracking(); }
    HMENU ConvertedMenu() const { return m_convertedMenu; }

    // Registered message numbers the mouse hook sends while a drop-down is open.
    static UINT MouseMoveMessage();
    static UINT LeftDownMessage();
    // The text as shown without keyboard cues: every single '&' removed,
    // "&&" kept (drawn as one '&').
    static void StripMnemonics(const wchar_t* text, wchar_t* out, size_t capacity);
    // The mnemonic character (lower case) of an item text, 0 for none.
    static wchar_t Mnemonic(const wchar_t* text);

private:
    // The menu mode works the bar through the helpers below.
    friend class CKivMenuBarLoop;

    bool BarRect(int windowWidth, RECT* bar) const;
    int WindowWidth() const;
    // A screen point in window coordinates, the layout brought up to date first.
    POINT LayoutPoint(POINT screen);
    // A rectangle of the bar (window coordinates) on the screen.
    RECT ScreenRect(const RECT& r) const;
    HMENU BarMenu() const;
    // The item with that mnemonic, the layout brought up to date first.
    int FindMnemonic(wchar_t key);
    int OnBarClick(LPARAM lParam);
    void PressButton(const Button& button);
    int OnHookMouse(bool leftDown, LPARAM lParam);
    int OnSysCommand(WPARAM wParam, LPARAM lParam);
    int OnMenuSelect(WPARAM wParam, LPARAM lParam);
    void OnMenuChar(wchar_t key);

    const KivFrameMetrics* m_metrics = nullptr;
    HWND m_hwnd = nullptr;
    std::vector<Item> m_items;
    std::vector<Button> m_buttons;
    // The menu whose items carry the owner-draw mark, its item count then,
    // and the positions marked.
    HMENU m_convertedMenu = nullptr;
    int m_convertedCount = 0;
    std::vector<int> m_convertedPositions;
    CKivMenuBarLoop m_loop;
};
