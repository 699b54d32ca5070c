/*
 * Included before every peer test source: what those sources expect from their
 * own platform headers and mingw-w64's headers lack. Only names mingw does not
 * define are added, each with the value the platform documents.
 */
#ifndef KIV_WINE_COMPAT_H
#define KIV_WINE_COMPAT_H

/* The peer builds its own sources, tests included, with this defined: its
 * debug header then offers the short debugstr_ names the tests use. */
#ifndef __WINESRC__
#define __WINESRC__
#endif

/* Some tests ask for these before their first include; the platform headers
 * are read here first, so they are asked for here. */
#define OEMRESOURCE
#define STRICT
#include <windows.h>

/* Function attributes the peer's headers put on allocation helpers. */
#ifndef __WINE_ALLOC_SIZE
#define __WINE_ALLOC_SIZE(...)
#endif
#ifndef __WINE_MALLOC
#define __WINE_MALLOC
#endif
#ifndef __WINE_DEALLOC
#define __WINE_DEALLOC(...)
#endif

/* Console modes (wincon.h), used when the tests colour their output. */
#ifndef ENABLE_PROCESSED_OUTPUT
#define ENABLE_PROCESSED_OUTPUT 0x0001
#endif
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

/* The 16-bit era colour message, still sent and answered by the controls. */
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

/* Common controls (commctrl.h). */
#ifndef LVFI_SUBSTRING
#define LVFI_SUBSTRING 0x0004
#endif
#ifndef TVIS_FOCUSED
#define TVIS_FOCUSED 0x0001
#endif
#ifndef CDRF_NOTIFYITEMERASE
#define CDRF_NOTIFYITEMERASE 0x00000080
#endif

/* ANSI forms of the tree view macros. */
#ifndef TreeView_InsertItemA
#define TreeView_InsertItemA(hwnd, is) \
    ((HTREEITEM)SendMessageA((hwnd), TVM_INSERTITEMA, 0, (LPARAM)(is)))
#endif
#ifndef TreeView_GetItemA
#define TreeView_GetItemA(hwnd, item) \
    ((BOOL)SendMessageA((hwnd), TVM_GETITEMA, 0, (LPARAM)(item)))
#endif
#ifndef TreeView_SetItemA
#define TreeView_SetItemA(hwnd, item) \
    ((BOOL)SendMessageA((hwnd), TVM_SETITEMA, 0, (LPARAM)(item)))
#endif

/* Text metrics helpers gdi32 exports without a declaration in wingdi.h. */
#ifdef __cplusplus
extern "C" {
#endif
LONG WINAPI GdiGetCharDimensions(HDC hdc, LPTEXTMETRICW metrics, LONG *height);
DWORD WINAPI GdiGetCodePage(HDC hdc);
#ifdef __cplusplus
}
#endif

#endif
