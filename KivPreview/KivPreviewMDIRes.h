#pragma once
// Resource identifiers of KivPreviewMDI.exe; commands come from KivCommandIds.h.
#include "KivCommandIds.h"
#include "KivSkinSwitchIds.h"
#define IDD_ABOUTBOX 100
#define IDP_OLE_INIT_FAILED 100
#define IDR_MAINFRAME 128
#define IDR_KIVPREVIEWMDITYPE 130
#define IDC_STATIC -1
