#pragma once
#include "CKivSamplePage.h"
#include <commctrl.h>

// A report list view, a list-mode list view and a tree view with check boxes.
class CKivViewPage : public CKivSamplePage
{
public:
    CKivViewPage();

protected:
    void OnPageShown(bool firstTime) override;

private:
    void FillReport() const;
    void FillList() const;
    void FillTree() const;
    HTREEITEM AddNode(HTREEITEM parent, const wchar_t* text) const;
};
