#pragma once
#include "CKivSamplePage.h"

// Combo boxes of the three kinds and list boxes of the three selection modes.
class CKivListPage : public CKivSamplePage
{
public:
    CKivListPage();

protected:
    void OnPageShown(bool firstTime) override;

private:
    void AddStrings(int id, UINT addMessage, const wchar_t* format, int first, int last) const;
};
