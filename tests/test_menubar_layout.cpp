// Menu bar layout on its own: where the text items and a maximised MDI
// child's buttons land on a bar rectangle, and how items are found again by
// point, by walking past greyed ones and by mnemonic.
#include <doctest.h>
#include "CKivCompatibleDC.h"
#include "CKivHandle.h"
#include "CKivMenuBar.h"
#include "CKivMenuBarLayout.h"
#include <vector>

namespace {

using Item = CKivMenuBar::Item;
using Button = CKivMenuBar::Button;

struct Laid
{
    std::vector<Item> items;
    std::vector<Button> buttons;
    int count = -1;
};

Laid Lay(HMENU menu, const RECT& bar, int dpi = 96)
{
    CKivCompatibleDC dc(nullptr);
    Laid laid;
    // Stale entries must be dropped.
    laid.items.push_back(Item{});
    laid.buttons.push_back(Button{});
    laid.count = CKivMenuBarLayout(CKivDpiScale(dpi)).Lay(dc.Get(), menu, bar, &laid.items, &laid.buttons);
    return laid;
}

int Width(const RECT& r)
{
    return r.right - r.left;
}

void AddPicture(HMENU menu, UINT id, HBITMAP picture, HMENU popup = nullptr)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_BITMAP | (popup != nullptr ? MIIM_SUBMENU : 0u);
    info.wID = id;
    info.hbmpItem = picture;
    info.hSubMenu = popup;
    InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
}

Item Named(int index, const wchar_t* text, bool grayed = false)
{
    Item item{};
    item.index = index;
    item.grayed = grayed;
    lstrcpynW(item.text, text, 260);
    return item;
}

}  // namespace

TEST_CASE("text items are laid left to right in the bar, separators skipped, wider texts wider")
{
    CKivMenu menu(CreateMenu());
    HMENU file = CreatePopupMenu();
    AppendMenuW(menu.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.Get(), MF_STRING | MF_GRAYED, 42, L"WWWWWWWW");
    AppendMenuW(menu.Get(), MF_STRING, 43, L"i");
    const RECT bar{4, 30, 600, 50};
    const Laid laid = Lay(menu.Get(), bar);

    REQUIRE(laid.count == 3);
    REQUIRE(laid.items.size() == 3);
    CHECK(laid.buttons.empty());
    CHECK(laid.items[0].index == 0);
    CHECK(laid.items[0].popup == file);
    CHECK_FALSE(laid.items[0].grayed);
    CHECK(laid.items[1].index == 2);
    CHECK(laid.items[1].id == 42u);
    CHECK(laid.items[1].grayed);
    CHECK(laid.items[2].index == 3);
    CHECK(laid.items[2].popup == nullptr);
    CHECK(laid.items[0].rect.left == bar.left + CKivMenuBar::kFirstInset);
    for (size_t i = 0; i < laid.items.size(); ++i)
    {
        CHECK(laid.items[i].rect.top == bar.top);
        CHECK(laid.items[i].rect.bottom == bar.bottom);
        // Never narrower than the room around an empty text.
        CHECK(Width(laid.items[i].rect) >= CKivMenuBar::kItemSlack + 2 * CKivMenuBar::kTextPadding);
        if (i > 0)
            CHECK(laid.items[i].rect.left == laid.items[i - 1].rect.right + CKivMenuBar::kItemGap);
    }
    CHECK(Width(laid.items[1].rect) > Width(laid.items[2].rect));

    SUBCASE("at twice the DPI every measure grows")
    {
        const Laid big = Lay(menu.Get(), bar, 192);
        REQUIRE(big.items.size() == 3);
        CHECK(big.items[0].rect.left == bar.left + 2 * CKivMenuBar::kFirstInset);
        CHECK(big.items[1].rect.left == big.items[0].rect.right + 2 * CKivMenuBar::kItemGap);
        CHECK(Width(big.items[1].rect) > Width(laid.items[1].rect));
    }
    SUBCASE("a narrow bar cuts the item that reaches its end and drops the rest")
    {
        const RECT narrow{4, 30, laid.items[1].rect.left + 5, 50};
        const Laid cut = Lay(menu.Get(), narrow);
        REQUIRE(cut.items.size() == 2);
        // One pixel is kept free at the bar's right end.
        CHECK(cut.items[1].rect.right == narrow.right - 1);
        CHECK(cut.count == 2);
    }
    SUBCASE("no DC or no menu lays nothing and leaves nothing stale")
    {
        std::vector<Item> items(2);
        std::vector<Button> buttons(1);
        CHECK(CKivMenuBarLayout(CKivDpiScale(96)).Lay(nullptr, menu.Get(), bar, &items, &buttons) == 0);
        CHECK(items.empty());
        CHECK(buttons.empty());
    }
}

TEST_CASE("a maximised MDI child's buttons take the bar's ends, the texts what is left")
{
    CKivMenu menu(CreateMenu());
    HMENU system = CreatePopupMenu();
    AddPicture(menu.Get(), 0, HBMMENU_SYSTEM, system);
    AppendMenuW(menu.Get(), MF_STRING, 10, L"&Window");
    AddPicture(menu.Get(), SC_MINIMIZE, HBMMENU_MBAR_MINIMIZE);
    AddPicture(menu.Get(), SC_RESTORE, HBMMENU_MBAR_RESTORE);
    AddPicture(menu.Get(), SC_CLOSE, HBMMENU_MBAR_CLOSE_D);
    AddPicture(menu.Get(), 77, HBMMENU_POPUP_CLOSE);  // a picture that is none of the buttons
    const RECT bar{0, 20, 400, 40};
    const Laid laid = Lay(menu.Get(), bar);

    REQUIRE(laid.buttons.size() == 4);
    REQUIRE(laid.items.size() == 1);
    const int height = bar.bottom - bar.top;
    const int side = height - 2;
    const Button* byKind[4] = {};
    for (const Button& button : laid.buttons)
        byKind[button.kind] = &button;
    REQUIRE(byKind[CKivMenuBar::ChildMenuButton] != nullptr);
    REQUIRE(byKind[CKivMenuBar::ChildCloseButton] != nullptr);
    const RECT menuRect = byKind[CKivMenuBar::ChildMenuButton]->rect;
    const RECT closeRect = byKind[CKivMenuBar::ChildCloseButton]->rect;
    const RECT restoreRect = byKind[CKivMenuBar::ChildRestoreButton]->rect;
    const RECT minRect = byKind[CKivMenuBar::ChildMinimizeButton]->rect;
    CHECK(byKind[CKivMenuBar::ChildMenuButton]->popup == system);
    CHECK(GetSubMenu(menu.Get(), byKind[CKivMenuBar::ChildMenuButton]->index) == system);
    CHECK(GetMenuItemID(menu.Get(), byKind[CKivMenuBar::ChildCloseButton]->index) == SC_CLOSE);
    CHECK(menuRect.left == bar.left + CKivMenuBar::kFirstInset);
    CHECK(Width(menuRect) == height);
    CHECK(closeRect.right == bar.right - 1);
    CHECK(Width(closeRect) == side);
    CHECK(closeRect.top == bar.top + 1);
    // The close button stands a little apart; minimise and restore touch.
    CHECK(restoreRect.right == closeRect.left - 2);
    CHECK(minRect.right == restoreRect.left);
    CHECK(byKind[CKivMenuBar::ChildCloseButton]->grayed);
    CHECK_FALSE(byKind[CKivMenuBar::ChildRestoreButton]->grayed);
    CHECK(GetMenuItemID(menu.Get(), laid.items[0].index) == 10u);
    CHECK(laid.items[0].rect.left == menuRect.right + CKivMenuBar::kItemGap);

    // Found again by point: a button's right and bottom edges are outside it.
    CHECK(CKivMenuBarLayout::ButtonAt(laid.buttons, POINT{closeRect.left, closeRect.top}) >= 0);
    CHECK(CKivMenuBarLayout::ButtonAt(laid.buttons, POINT{closeRect.right, closeRect.top}) == -1);
    CHECK(CKivMenuBarLayout::ButtonAt(laid.buttons, POINT{bar.left + 200, bar.top + 5}) == -1);
}

TEST_CASE("items are found by point, by walking past greyed ones and by mnemonic")
{
    std::vector<Item> items = {Named(0, L"&File"), Named(1, L"&Edit", true), Named(2, L"&View"),
                               Named(4, L"Fish && &Chips")};
    items[0].rect = RECT{2, 0, 30, 20};
    items[1].rect = RECT{34, 0, 60, 20};

    SUBCASE("by position")
    {
        REQUIRE(CKivMenuBarLayout::Find(items, 4) != nullptr);
        CHECK(CKivMenuBarLayout::Find(items, 4) == &items[3]);
        CHECK(CKivMenuBarLayout::Find(items, 3) == nullptr);
        CHECK(CKivMenuBarLayout::Find(items, -1) == nullptr);
    }
    SUBCASE("by point: an item's edges belong to it")
    {
        CHECK(CKivMenuBarLayout::ItemAt(items, POINT{2, 0}) == 0);
        CHECK(CKivMenuBarLayout::ItemAt(items, POINT{30, 20}) == 0);
        CHECK(CKivMenuBarLayout::ItemAt(items, POINT{32, 10}) == -1);
        CHECK(CKivMenuBarLayout::ItemAt(items, POINT{60, 10}) == 1);
    }
    SUBCASE("walking wraps round and skips greyed items")
    {
        CHECK(CKivMenuBarLayout::NextEnabled(items, 0, 1) == 2);
        CHECK(CKivMenuBarLayout::NextEnabled(items, 2, -1) == 0);
        // Positions, not places in the list: the last item sits at position 4.
        CHECK(CKivMenuBarLayout::NextEnabled(items, 0, -1) == 4);
        CHECK(CKivMenuBarLayout::NextEnabled(items, 2, 1) == 4);
        CHECK(CKivMenuBarLayout::NextEnabled(items, 4, 1) == 0);
        CHECK(CKivMenuBarLayout::NextEnabled(items, -1, 1) == 0);
        for (Item& item : items)
            item.grayed = true;
        CHECK(CKivMenuBarLayout::NextEnabled(items, 0, 1) == -1);
        CHECK(CKivMenuBarLayout::NextEnabled(std::vector<Item>(), -1, 1) == -1);
    }
    SUBCASE("mnemonics in any case, never a greyed item, a doubled ampersand is no mnemonic")
    {
        CHECK(CKivMenuBarLayout::FindMnemonic(items, L'f') == 0);
        CHECK(CKivMenuBarLayout::FindMnemonic(items, L'V') == 2);
        CHECK(CKivMenuBarLayout::FindMnemonic(items, L'e') == -1);
        CHECK(CKivMenuBarLayout::FindMnemonic(items, L'c') == 4);
        CHECK(CKivMenuBarLayout::FindMnemonic(items, L' ') == -1);
    }
}
