#pragma once
#include <windows.h>
// Messages between the builder's panes and its main window. Every one carries
// an index into the sender's rows (wParam) and the generation of those rows
// (lParam): a receiver drops a message whose generation is no longer current,
// so nothing posted before a Close can reach the next project.
const UINT WM_KIV_ELEMENT_SELECTED = WM_USER + 200;  // 1224
const UINT WM_KIV_FIRST_ROW = WM_USER + 210;         // 1234: wParam = new first visible row
const UINT WM_KIV_VALUE_CHANGED = WM_USER + 220;     // 1244
// The build worker's one report: wParam = 0 success, 1 compile failed, 2 packing failed.
const UINT WM_KIV_BUILD_DONE = WM_USER + 300;
// A start page command: LOWORD(wParam) = 3585, 3586 or 3587, HIWORD(wParam) =
// example index, lParam = generation of the example list.
const UINT WM_KIV_EXAMPLE_COMMAND = WM_USER + 310;
