#pragma once
// Runs one test case of this program in a second process at another DPI.
// The system DPI of a session is the LogPixels value of the current user,
// read when a process starts: the value is set, the program started again
// with a test-case filter, and the old value put back when it has ended.
#include <windows.h>

namespace kivtest {

// The DPI this process was started at by RunAtDpi, or 0 in a normal run.
int RequestedDpi();

// Exit code of the child (0: its cases passed); -1 when it could not be
// started, the DPI could not be set, or it did not end within the timeout.
long RunAtDpi(int dpi, const char* testCase, DWORD timeoutMs = 90000);

// Tells the parent that the child case ran to its end (a filter that
// matches nothing would otherwise pass unseen).
void ConfirmDpiRun();

// value * dpi / 96 rounded to nearest, computed on its own for comparisons.
int ExpectScaled(int value, int dpi);

}  // namespace kivtest
