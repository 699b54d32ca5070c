#pragma once
// Resource and control identifiers of KivUpdate.exe.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_KIVUPDATE_DIALOG 102
#define IDR_MAINFRAME 128
#define IDM_ABOUTBOX 0x0010

#define IDC_UPDATE_TEXT 1000
#define IDC_CHECK_UPDATE 1001
#define IDC_CLOSE_UPDATE 1002
#define IDC_DOWNLOAD_UPDATE 1003

#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif
