#pragma once
#include "CKivPaint.h"

// Base of the strategies that draw with system colours; always usable.
class CKivClassicPaint : public CKivPaint
{
public:
    using CKivPaint::CKivPaint;
};
