#include "CKivMenuBarLayout.h"
#include "CKivGraphics.h"
#include "CKivSelectObject.h"
#include <cwctype>

int CKivMenuBarLayout::Lay(HDC dc, HMENU menu, const RECT& bar, std::vector<Item>* items,
                           std::vector<Button>* buttons) const
{
    items->clear();
    buttons->clear();
    if (dc == nullptr || menu == nullptr)
        return 0;
    // Measured with the font the items are drawn with.
    CKivSelectObject font(dc, CKivGraphics::GetSkinFontForDpi(0, m_scale.Dpi()));
    const int count = GetMenuItemCount(menu);
    std::vector<Item> texts;
    for (int i = 0; i < count; ++i)
    {
        Item item = {};
        item.index = i;
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE | MIIM_BITMAP | MIIM_STRING;
        info.dwTypeData = item.text;
        info.cch = 260;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            break;
        item.text[259] = 0;
        // Picture items are the child buttons or nothing the bar draws;
        // separators are never drawn.
        if ((info.fType & (MFT_BITMAP | MFT_SEPARATOR)) || info.hbmpItem != nullptr)
        {
            if (!(info.fType & MFT_SEPARATOR))
                AddButton(i, info, buttons);
            continue;
        }
        item.id = info.wID;
        item.popup = info.hSubMenu;
        item.grayed = (info.fState & MFS_GRAYED) != 0;
        texts.push_back(item);
    }
    int left = bar.left + m_scale.Scale(CKivMenuBar::kFirstInset), limit = bar.right;
    LayButtons(bar, buttons, &left, &limit);
    for (Item& item : texts)
    {
        if (left >= limit)
            break;
        RECT measure = {0, 0, 0, 0};
        if (item.text[0] != 0)
            DrawTextW(dc, item.text, -1, &measure, DT_SINGLELINE | DT_CALCRECT);
        const int right = left + (measure.right - measure.left) + m_scale.Scale(CKivMenuBar::kItemSlack) +
                          2 * m_scale.Scale(CKivMenuBar::kTextPadding);
        item.rect = RECT{left, bar.top, right < limit ? right : limit, bar.bottom};
        items->push_back(item);
        left = right + m_scale.Scale(CKivMenuBar::kItemGap);
    }
    return static_cast<int>(items->size());
}

bool CKivMenuBarLayout::AddButton(int index, const MENUITEMINFOW& info, std::vector<Button>* buttons)
{
    Button button = {};
    button.index = index;
    button.popup = info.hSubMenu;
    button.grayed = (info.fState & MFS_GRAYED) != 0 || info.hbmpItem == HBMMENU_MBAR_CLOSE_D ||
                    info.hbmpItem == HBMMENU_MBAR_MINIMIZE_D;
    // The window-menu item carries the child's system menu (its picture is
    // HBMMENU_SYSTEM or the child's icon); the others are known by their command.
    if (info.hSubMenu != nullptr)
        button.kind = CKivMenuBar::ChildMenuButton;
    else if (info.wID == SC_MINIMIZE)
        button.kind = CKivMenuBar::ChildMinimizeButton;
    else if (info.wID == SC_RESTORE)
        button.kind = CKivMenuBar::ChildRestoreButton;
    else if (info.wID == SC_CLOSE)
        button.kind = CKivMenuBar::ChildCloseButton;
    else
        return false;
    buttons->push_back(button);
    return true;
}

// The window-menu icon takes the bar's left end, the three buttons line up
// at its right end in the system's order; the text items share what is left.
void CKivMenuBarLayout::LayButtons(const RECT& bar, std::vector<Button>* buttons, int* textLeft, int* textRight) const
{
    const int height = bar.bottom - bar.top;
    const int side = height > 2 ? height - 2 : height;
    int right = bar.right - 1;
    for (int kind = CKivMenuBar::ChildCloseButton; kind >= CKivMenuBar::ChildMinimizeButton; --kind)
        for (Button& button : *buttons)
            if (button.kind == kind && right - side > bar.left)
            {
                button.rect = RECT{right - side, bar.top + 1, right, bar.top + 1 + side};
                right -= side + (kind == CKivMenuBar::ChildCloseButton ? 2 : 0);
            }
    const int inset = m_scale.Scale(CKivMenuBar::kFirstInset);
    for (Button& button : *buttons)
        if (button.kind == CKivMenuBar::ChildMenuButton && bar.left + inset + height <= right)
        {
            button.rect = RECT{bar.left + inset, bar.top, bar.left + inset + height, bar.bottom};
            *textLeft = button.rect.right + m_scale.Scale(CKivMenuBar::kItemGap);
            break;
        }
    *textRight = right;
}

int CKivMenuBarLayout::ItemAt(const std::vector<Item>& items, POINT p)
{
    for (const Item& item : items)
        if (CKivGraphics::PtInRectInclusive(p.x, p.y, item.rect.left, item.rect.top, item.rect.right, item.rect.bottom))
            return item.index;
    return -1;
}

int CKivMenuBarLayout::ButtonAt(const std::vector<Button>& buttons, POINT p)
{
    for (size_t i = 0; i < buttons.size(); ++i)
        if (!IsRectEmpty(&buttons[i].rect) && PtInRect(&buttons[i].rect, p))
            return static_cast<int>(i);
    return -1;
}

const CKivMenuBarLayout::Item* CKivMenuBarLayout::Find(const std::vector<Item>& items, int position)
{
    for (const Item& item : items)
        if (item.index == position)
            return &item;
    return nullptr;
}

int CKivMenuBarLayout::NextEnabled(const std::vector<Item>& items, int from, int step)
{
    const Item* start = Find(items, from);
    const int slot = start != nullptr ? static_cast<int>(start - items.data()) : -1;
    const int count = static_cast<int>(items.size());
    for (int n = 1; n <= count; ++n)
    {
        const int i = ((slot + step * n) % count + count) % count;
        if (!items[static_cast<size_t>(i)].grayed)
            return items[static_cast<size_t>(i)].index;
    }
    return -1;
}

int CKivMenuBarLayout::FindMnemonic(const std::vector<Item>& items, wchar_t key)
{
    const wchar_t wanted = static_cast<wchar_t>(towlower(key));
    for (const Item& item : items)
        if (!item.grayed && CKivMenuBar::Mnemonic(item.text) == wanted)
            return item.index;
    return -1;
}
