#pragma once
#include "CKivPaneBase.h"
#include <string>
#include <vector>

// The left pane: the configuration's groups, each expandable to its
// elements. Clicking an element selects it and, once the main window has set
// the box up (notify), reports it to the parent as message 1224 with the
// element's place (group index in the low word, element index in the high
// word of wParam) and the generation of the lists. From the keyboard, Enter
// or Space does what a click on the keyboard row does; Right opens a group,
// Left closes it or goes from an element to its group.
class CKivGroupItemBox : public CKivPaneBase
{
public:
    enum : COLORREF
    {
        kGroupCollapsed = 13158600,  // 200, 200, 200
        kGroupExpanded = 11579568,   // 176, 176, 176
        kElement = 5263440,          // 80, 80, 80
        kElementSelected = 7368816,  // 112, 112, 112
        kRowText = 0,
    };
    struct Element
    {
        std::wstring caption;
        std::wstring key;
    };
    struct Group
    {
        std::wstring caption;  // up to 127 characters
        std::wstring key;      // up to 23 characters
        bool expanded = false;
        std::vector<Element> elements;
    };

    CKivGroupItemBox();

    void AddGroup(const std::wstring& caption, const std::wstring& key);
    // Appended to the first group with that key; false when there is none.
    bool AddElement(const std::wstring& groupKey, const std::wstring& caption, const std::wstring& key);
    // Empties the box and starts a new generation.
    void Clear();
    void SetNotify(bool notify) { m_notify = notify; }

    const std::vector<Group>& Groups() const { return m_groups; }
    DWORD Generation() const { return m_generation; }
    // The element a 1224 message names, when its generation is still current.
    const Element* ElementOf(WPARAM place, LPARAM generation, const Group** group = nullptr) const;
    int TotalRows() const override;
    // Index of the visible row at a client point, or -1.
    int RowAt(POINT point) const;
    // Expands or collapses a group, or selects an element, as a click on row does.
    void ClickRow(int row);

protected:
    void PaintRows(HDC dc, int width, int height) override;
    LRESULT OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnKey(UINT key) override;

private:
    struct Row
    {
        size_t group;
        int element;  // -1 for the group's own row
    };
    // Rows in display order: each group, then its elements when expanded.
    std::vector<Row> AllRows() const;
    LRESULT OnButtonDown(POINT screenPoint);
    LRESULT OnWheel(int delta);
    LRESULT OnSelected(WPARAM place, LPARAM generation);
    // Keeps the list from ending in empty space after rows went away.
    void ClampFirstRow();

    std::vector<Group> m_groups;
    int m_selectedGroup = -1;
    int m_selectedElement = -1;
    bool m_notify = false;
    DWORD m_generation = 1;
};
