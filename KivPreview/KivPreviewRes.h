#pragma once
// Resource and control identifiers of KivPreview.exe.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_KIVPREVIEW_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_PAGE_BUTTONS 129
#define IDD_PAGE_EDITS 130
#define IDD_PAGE_LISTS 131
#define IDD_PAGE_RANGES 132
#define IDD_PAGE_VIEWS 133
#define IDM_ABOUTBOX 0x0010
#define IDS_SKIN_NEXT 141
#define IDS_SKIN_OPEN 142
#include "KivSkinSwitchIds.h"

// Main dialog
#define IDC_TAB 1000
#define IDC_SLIDER 1034

// Page 1: buttons
#define IDC_DISABLE_BUTTON2 1001
#define IDC_CHECK1 1002
#define IDC_ENABLE_RADIO2 1003
#define IDC_BUTTON2 1004
#define IDC_BUTTON3 1005
#define IDC_CHECK2 1006
#define IDC_DISABLE_CHECK1 1007
#define IDC_CHECK4 1008
#define IDC_RADIO2 1009
#define IDC_RADIO3 1010
#define IDC_RADIO4 1011
#define IDC_RADIO1 1012
#define IDC_DISABLE_RADIO2 1039
#define IDC_OPEN_FILE 1041
#define IDC_CHOOSE_COLOR 1042

// Page 2: edits
#define IDC_EDIT_SINGLE 1021
#define IDC_EDIT_MULTI 1022
#define IDC_EDIT_DIGITS 1023
#define IDC_EDIT_PASSWORD 1024
#define IDC_EDIT_READONLY 1025

// Page 3: combo and list boxes
#define IDC_COMBO_DROPDOWN 1026
#define IDC_LIST_SINGLE 1027
#define IDC_COMBO_DROPLIST 1028
#define IDC_COMBO_SIMPLE 1029
#define IDC_LIST_MULTIPLE 1030
#define IDC_LIST_EXTENDED 1031
#define IDC_COMBO_SORTED 1032

// Page 4: static, scroll bars, progress
#define IDC_STEP_HORZ 1001
#define IDC_STEP_VERT 1004
#define IDC_RANGE_OUTPUT 1021
#define IDC_SCROLL_HORZ 1032
#define IDC_SCROLL_VERT 1033
#define IDC_PROGRESS_HORZ 1035
#define IDC_PROGRESS_VERT 1037
#define IDC_STATIC_TEXT 1040

// Page 5: list views and tree view
#define IDC_LIST_REPORT 1027
#define IDC_LIST_ICONS 1030
#define IDC_TREE 1038

#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif
