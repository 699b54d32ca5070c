#pragma once
#include "CKivEditBox.h"
#include "CKivListBox.h"
#include "CKivSolidBrush.h"
#include "CKivWnd.h"

struct KivSkinSettings;

// Combo box skin. The combo keeps its items, selection, text, drop-down and
// every notification (CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP,
// CBN_EDITCHANGE ...); all messages go on to it. The skin draws the outline,
// the button and, for a drop-down list, the face on the list's background
// with its text in black or white, whichever reads there, and binds its own
// list box skin to the drop-down list and an edit skin to the edit as soon
// as it attaches (a combo filled while hidden shows its items as well).
// Owner-draw combos keep the system look.
class CKivComboBox : public CKivWnd
{
public:
    struct Look
    {
        COLORREF outline = 0;
        COLORREF button = 0xE0E0E0;
        COLORREF buttonSelect = 0xC0C0C0;
        // The face under the selected item's text, and the edit of a
        // drop-down combo: the drop-down list's background.
        COLORREF face = 0xFFFFFF;
    };

    CKivComboBox() { AnswerPrivateMessage(KIV_WM_CTLCOLOREDIT); }
    ~CKivComboBox() override;

    BOOL Attach(HWND window) override;
    BOOL Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    LRESULT OnEraseBkgnd(HDC dc) override;

    // Copies the SystemControl\ComboBox group, the list and bar colours into
    // the drop-down's skin; false without a window.
    bool Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;
    void SetLook(const Look& look);
    const Look& GetLook() const { return m_look; }

    // Draws outline, button and face into dc.
    void Paint(HDC dc);
    const CKivListBox& DropDownList() const { return m_list; }
    const CKivEditBox& Edit() const { return m_edit; }

private:
    LRESULT Forward(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PassOn(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCtlColor(HDC dc);
    LRESULT OnComboPaint(HDC dc);
    // Binds the edit and list skins to the combo's parts that exist now.
    void BindParts();
    // The embedded edit's look: no border, on the face colour.
    void DressEdit();
    void ReleaseParts();
    static bool ChangesLook(UINT message);

    CKivEditBox m_edit;
    CKivListBox m_list;
    Look m_look;
    CKivSolidBrush m_faceBrush;
    bool m_partsBound = false;
};
