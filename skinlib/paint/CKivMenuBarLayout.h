#pragma once
#include <windows.h>
#include <vector>
#include "CKivDpiScale.h"
#include "CKivMenuBar.h"

// Lays a menu's top-level items out on a menu bar and finds them again: the
// text items left to right from the bar's left end, measured with the font
// selected in the DC, and a maximised MDI child's picture items (its window
// menu at the left end, minimise, restore and close at the right). Knows
// nothing of windows: the bar's rectangle and the scale come from the caller.
class CKivMenuBarLayout
{
public:
    using Item = CKivMenuBar::Item;
    using Button = CKivMenuBar::Button;

    explicit CKivMenuBarLayout(const CKivDpiScale& scale) : m_scale(scale) {}

    // Lays the items of menu out in bar (window coordinates) into items and
    // buttons, which it empties first; returns the count of text items.
    int Lay(HDC dc, HMENU menu, const RECT& bar, std::vector<Item>* items, std::vector<Button>* buttons) const;

    // Items are named by their position in the menu (Item::index), which
    // differs from their place in the list where the menu has picture items
    // or separators.

    // The item at that menu position, null for none.
    static const Item* Find(const std::vector<Item>& items, int position);
    // The item whose rectangle holds p (edges inclusive), -1 for none.
    static int ItemAt(const std::vector<Item>& items, POINT p);
    // The button (an index into buttons) whose rectangle holds p, -1 for none.
    static int ButtonAt(const std::vector<Button>& buttons, POINT p);
    // The next item not greyed, stepping from the item at position from
    // (wrapping; from the start for none), -1 for none.
    static int NextEnabled(const std::vector<Item>& items, int from, int step);
    // The first item not greyed whose mnemonic is key (any case), -1 for none.
    static int FindMnemonic(const std::vector<Item>& items, wchar_t key);

private:
    // Sorts a picture item into the child buttons; false when it is none of them.
    static bool AddButton(int index, const MENUITEMINFOW& info, std::vector<Button>* buttons);
    void LayButtons(const RECT& bar, std::vector<Button>* buttons, int* textLeft, int* textRight) const;

    CKivDpiScale m_scale;
};
