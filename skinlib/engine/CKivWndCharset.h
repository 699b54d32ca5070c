#pragma once
#include <windows.h>

// The character set a window talks in, and the A or W variant of every call
// that depends on it. A procedure installed with the other variant would
// switch the window's character set: IsWindowUnicode would change, and so
// would the text its A and W calls hand back. Subclassing an ANSI window with
// the A calls keeps it ANSI; its messages then arrive in ANSI form.
class CKivWndCharset
{
public:
    CKivWndCharset() = default;
    explicit CKivWndCharset(bool unicode) : m_unicode(unicode) {}
    // The window's character set as it is now.
    static CKivWndCharset Of(HWND window) { return CKivWndCharset(IsWindowUnicode(window) != FALSE); }

    bool IsUnicode() const { return m_unicode; }

    WNDPROC GetProc(HWND window) const;
    // Installs proc; returns the procedure that was in place (null on failure).
    WNDPROC SetProc(HWND window, WNDPROC proc) const;
    LRESULT CallProc(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    LRESULT CallDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    bool m_unicode = true;
};
