#pragma once
#include "CKivDialog.h"
#include "CKivButtonPage.h"
#include "CKivEditPage.h"
#include "CKivListPage.h"
#include "CKivRangePage.h"
#include "CKivViewPage.h"
#include "CKivSkinSwitcher.h"
#include <string>

// The main dialog: a tab control whose five tabs show the sample pages, a
// slider, OK and Cancel; the system menu holds About and the two skin
// switch commands (next skin, Ctrl+K; pick a skin, Ctrl+Shift+K).
class CKivPreviewDlg : public CKivDialog
{
public:
    // skin: the skin file the program was started with (empty: none).
    explicit CKivPreviewDlg(const std::wstring& skin = std::wstring());

    static const int kPageCount = 5;

protected:
    BOOL OnInitDialog(HWND focus) override;
    bool OnNotify(int id, NMHDR* header) override;
    bool OnSysCommand(UINT command, LPARAM lParam) override;
    bool OnDestroy() override;
    bool OnPaint() override;
    HCURSOR OnQueryDragIcon() override;

private:
    void AddAboutToSystemMenu();
    void AddSkinCommands();
    // Runs a skin switch command; false for any other command.
    bool OnSkinCommand(UINT id);
    void CreatePages();
    void ShowPage(int index);

    HICON m_icon;
    HICON m_smallIcon;
    CKivButtonPage m_buttons;
    CKivEditPage m_edits;
    CKivListPage m_lists;
    CKivRangePage m_ranges;
    CKivViewPage m_views;
    CKivSamplePage* m_pages[kPageCount];
    CKivSkinSwitcher m_skins;
};
