#pragma once
#include "CKivDialog.h"
#include "CKivButtonPage.h"
#include "CKivEditPage.h"
#include "CKivListPage.h"
#include "CKivRangePage.h"
#include "CKivViewPage.h"

// The main dialog: a tab control whose five tabs show the sample pages, a
// slider, OK and Cancel, and the About command in the system menu.
class CKivPreviewDlg : public CKivDialog
{
public:
    CKivPreviewDlg();

    static const int kPageCount = 5;

protected:
    BOOL OnInitDialog(HWND focus) override;
    bool OnNotify(int id, NMHDR* header) override;
    bool OnSysCommand(UINT command, LPARAM lParam) override;
    bool OnPaint() override;
    HCURSOR OnQueryDragIcon() override;

private:
    void AddAboutToSystemMenu();
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
};
