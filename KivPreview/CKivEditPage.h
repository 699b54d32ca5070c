#pragma once
#include "CKivSamplePage.h"

// Single-line, multi-line, digits-only, password and read-only edit controls.
class CKivEditPage : public CKivSamplePage
{
public:
    CKivEditPage();

protected:
    void OnPageShown(bool firstTime) override;
};
