#pragma once
#include <memory>
#include <string>
#include <vector>
#include "CKivDirectPushButton.h"

struct KivSkinSettings;

// A drawn tab strip: one flat push button per tab, an overflow button that
// lists every tab in a popup menu, and the page line around the area below
// (beside) the strip. The buttons lie where the control lays its items out
// (SetItemRects), so what is drawn, what the control answers for its item
// rectangles and hit tests, and where a click lands are the same. Tabs the
// control has scrolled out of view are kept but not shown; the overflow
// button shows only then, and choosing a tab there selects it, which scrolls
// it into view. Without item rectangles the buttons line up at a fixed size.
//
// A click on a tab checks its button and posts KIV_WM_TABSELECT with the
// tab's index to the host, which decides (and may refuse) the change and
// then tells the strip which tab is selected.
class CKivDirectTabCtrl : public CKivDirectBase
{
public:
    CKivDirectTabCtrl();
    ~CKivDirectTabCtrl() override;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // On a change, lays the buttons out again and repaints the strip.
    int SetBounds(int x, int y, int width, int height) override;
    virtual int Init7(int x, int y, int width, int height, HWND host, int horizontal);
    virtual void ForwardToButtons(UINT message, WPARAM wParam, LPARAM lParam);
    // Places button index (all buttons for -1) and gives it the strip's look.
    virtual void LayoutButtons(int index);

    // The skin's tab colours, page line colours, background and transparency.
    void ApplySettings(const KivSkinSettings& settings);
    // One button per caption, tab indices in order; nothing selected.
    void SetTabs(const std::vector<std::wstring>& captions);
    // Where the control lays out each of its items (host client
    // coordinates, by control index; an empty rectangle: not in view).
    void SetItemRects(const std::vector<RECT>& rects);
    // The font the control measured its items with (not owned): horizontal
    // captions are written in it, so they fit the items' rectangles.
    void SetFont(HFONT font);
    // Sizes the strip's own parts (the tab size used without the control's
    // rectangles, the more button) for a DPI; call before Init7.
    void SetDpi(int dpi);
    // Paints the strip's background (its colour, or the dialog background
    // when transparent) into dc, whose origin is the host's client origin.
    void PaintBackgroundTo(HDC dc) const;
    // Shows the tab with this control index as selected (a hidden tab first
    // moves to the front); -1 or an unknown index clears the selection.
    // With notify the host is asked to select it.
    void SelectTab(int tabIndex, bool notify);
    // Selects the button at a strip position; see SelectTab.
    void SelectButton(int index, bool notify);
    // Opens the overflow menu at the overflow button and selects the chosen tab.
    void ShowOverflowMenu();
    // Draws background, page line and every shown button onto the host now.
    void PaintAll();

    void SetBackgroundAtPosition(int value) { m_backgroundAtPosition = value; }
    void SetNoBackground(int value) { m_noBackground = value; }

    int Horizontal() const { return m_horizontal; }
    int TabWidth() const { return m_tabWidth; }
    int TabHeight() const { return m_tabHeight; }
    int Margin() const { return m_margin; }
    int Selected() const { return m_selected; }
    // The control index of the selected tab, -1 when none is.
    int SelectedTab() const;
    int ButtonCount() const { return static_cast<int>(m_buttons.size()); }
    // How many buttons are shown.
    int VisibleCount() const;
    // Whether button index lies in view.
    bool IsShown(int index) const;
    // Whether some tab is out of view, or only partly in it (the overflow
    // button then shows).
    bool HasHiddenTabs() const;
    const CKivDirectPushButton* Button(int index) const;
    const CKivDirectPushButton& MoreButton() const { return m_moreButton; }
    // The band of the tab buttons in host client coordinates.
    RECT StripBand() const;

    // Command identifier of the first overflow menu item.
    static constexpr int kFirstMenuCommand = 16;
    // elementId of the overflow button.
    static constexpr int kMoreButtonId = -3;

private:
    void PlaceMoreButton();
    // The band of the items along the cross axis, from the element's edge.
    void MeasureBand();
    // Background (unless withBackground is false) and page line, on the host.
    void PaintSurround(bool withBackground) const;
    void PaintBackground(HDC dc) const;
    void PaintPageLine(HDC dc) const;
    void OnButtonClick(int elementId);
    void UncheckAll();
    void SetButtonCheck(int index, int checked);

    int m_horizontal = 1;
    HFONT m_font = nullptr;
    std::vector<std::unique_ptr<CKivDirectPushButton>> m_buttons;
    CKivDirectPushButton m_moreButton;
    int m_tabWidth = 70;
    int m_tabHeight = 20;
    int m_moreSize = 12;
    int m_margin = 0;
    int m_selected = -1;
    int m_backgroundAtPosition = 0;
    int m_noBackground = 0;
    COLORREF m_itemNormalColor = 0xE00000;
    COLORREF m_itemHotColor = 0xB00000;
    COLORREF m_itemPressedColor = 0x990000;
    COLORREF m_bottomLineColor = 0xE000A0;
    COLORREF m_bottomLineSelect = 0x990000;
    COLORREF m_backgroundColor = 0xFFFFFF;
    int m_transparent = 0;
    std::vector<RECT> m_itemRects;
    // Where the band of items begins and ends across the strip (element coordinates).
    int m_bandStart = 0;
    int m_bandEnd = 20;
};
