#pragma once
#include "CKivPaint.h"

// A strategy for controls; always available. Nothing constructs one yet.
class CKivControlPaint : public CKivPaint
{
public:
    explicit CKivControlPaint(HWND window) : CKivPaint(window, nullptr, ClientContext) {}
    int IsAvailable() override { return 1; }
};
