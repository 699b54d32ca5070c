#pragma once
#include <windows.h>
#include "CKivHandle.h"

// A COM interface pointer that holds one reference and releases it.
template <typename I>
struct KivComTraits : KivHandleTraitsBase<I*>
{
    static void Close(I* object) { object->Release(); }
};
template <typename I>
using CKivComPtr = CKivHandle<KivComTraits<I>>;
