#pragma once
#include <windows.h>
#include "CKivHandle.h"

// CreateCompatibleDC / DeleteDC.
class CKivCompatibleDC : public CKivHandle<KivMemoryDCTraits>
{
public:
    explicit CKivCompatibleDC(HDC reference) : CKivHandle(CreateCompatibleDC(reference)) {}
};
