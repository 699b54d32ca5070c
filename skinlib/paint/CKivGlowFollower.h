#pragma once
#include <windows.h>
#include <map>
#include "CKivWndCharset.h"

class CKivEffectGlowWnd;

// The subclass that lets a glow window follow its frame: installed on the
// frame on top of whatever procedure it has, it hands every message on
// unchanged and tells the glow after the frame has moved, sized, been shown
// or hidden, and when the frame is being destroyed.
//
// Removal never cuts out a procedure installed above ours: when ours is no
// longer on top, the entry stays as a plain forwarder until the frame's
// WM_NCDESTROY.
class CKivGlowFollower
{
public:
    // Follows frame for glow; false when the frame cannot be subclassed.
    static bool Install(HWND frame, CKivEffectGlowWnd* glow);
    // Stops telling glow about frame (nothing when another glow follows it now).
    static void Remove(HWND frame, const CKivEffectGlowWnd* glow);
    // The glow following frame, or null.
    static CKivEffectGlowWnd* GlowOf(HWND frame);

    static LRESULT CALLBACK FollowerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    struct Entry
    {
        WNDPROC previous;
        CKivWndCharset charset;
        CKivEffectGlowWnd* glow;  // null once the entry only forwards
    };
    static std::map<HWND, Entry>& Map();
    static LRESULT Forward(const Entry& entry, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT ForwardAndFollow(const Entry& entry, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
