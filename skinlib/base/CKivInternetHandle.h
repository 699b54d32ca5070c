#pragma once
#include <windows.h>
#include <wininet.h>
#include "CKivHandle.h"

// InternetOpenW / InternetOpenUrlW / InternetConnectW ... / InternetCloseHandle.
struct KivInternetTraits : KivHandleTraitsBase<HINTERNET>
{
    static void Close(Handle handle) { InternetCloseHandle(handle); }
};
using CKivInternetHandle = CKivHandle<KivInternetTraits>;
