#pragma once
#include <cstdio>
#include "CKivHandle.h"

// A C runtime stream: fclose.
struct KivStdioFileTraits : KivHandleTraitsBase<FILE*>
{
    static void Close(Handle file) { fclose(file); }
};
using CKivStdioFile = CKivHandle<KivStdioFileTraits>;
