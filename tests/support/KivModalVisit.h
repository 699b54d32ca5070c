#pragma once
// Opens a modal dialog (a message box, a common dialog) on this thread and
// looks at it from inside its own modal loop: once a visible top-level
// window of this thread that the caller did not have before has been shown
// for a few timer ticks, visit runs with it, and then the dialog is
// cancelled. Bounded: a dialog that never appears ends the wait after
// timeoutMs, and one that will not close is closed by force.
#include <windows.h>
#include <functional>

namespace kivtest {

// Returns true when a dialog appeared and was visited. later, when given,
// runs half a second after visit, once the dialog's loop has been idle
// (what it drew has reached the screen by then).
bool VisitModal(const std::function<void()>& open, const std::function<void(HWND dialog)>& visit,
                const std::function<void(HWND dialog)>& later = nullptr, DWORD timeoutMs = 15000);

}  // namespace kivtest
