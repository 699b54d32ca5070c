#include "CKivGlowFollower.h"
#include "CKivEffectGlowWnd.h"

std::map<HWND, CKivGlowFollower::Entry>& CKivGlowFollower::Map()
{
    static std::map<HWND, Entry> map;
    return map;
}

CKivEffectGlowWnd* CKivGlowFollower::GlowOf(HWND frame)
{
    auto& map = Map();
    auto found = map.find(frame);
    return found == map.end() ? nullptr : found->second.glow;
}

bool CKivGlowFollower::Install(HWND frame, CKivEffectGlowWnd* glow)
{
    if (frame == nullptr || glow == nullptr || !IsWindow(frame))
        return false;
    auto& map = Map();
    auto found = map.find(frame);
    if (found != map.end())
    {
        // Our procedure is still in the frame's chain: it serves the new glow.
        found->second.glow = glow;
        return true;
    }
    // The frame's own character set, so an ANSI window stays ANSI.
    const CKivWndCharset charset = CKivWndCharset::Of(frame);
    const WNDPROC current = charset.GetProc(frame);
    if (current == nullptr)
        return false;
    map[frame] = Entry{current, charset, glow};
    if (charset.SetProc(frame, &CKivGlowFollower::FollowerProc) == nullptr)
    {
        map.erase(frame);
        return false;
    }
    return true;
}

void CKivGlowFollower::Remove(HWND frame, const CKivEffectGlowWnd* glow)
{
    auto& map = Map();
    auto found = map.find(frame);
    if (found == map.end() || found->second.glow != glow)
        return;
    const Entry entry = found->second;
    if (IsWindow(frame) && entry.charset.GetProc(frame) == &CKivGlowFollower::FollowerProc &&
        entry.charset.SetProc(frame, entry.previous) != nullptr)
    {
        map.erase(found);
        return;
    }
    // Someone subclassed the frame after us (or the frame is gone): stay in
    // the chain, only forwarding.
    found->second.glow = nullptr;
}

LRESULT CKivGlowFollower::Forward(const Entry& entry, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY)
        Map().erase(window);
    return entry.charset.CallProc(entry.previous, window, message, wParam, lParam);
}

LRESULT CALLBACK CKivGlowFollower::FollowerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    // Runs inside the host's message loop: nothing may escape from here.
    try
    {
        auto& map = Map();
        auto found = map.find(window);
        if (found == map.end())
            return DefWindowProcW(window, message, wParam, lParam);
        // A copy: ending the glow below takes the entry out of the map, and
        // the message must still reach the procedure that was below us.
        const Entry entry = found->second;
        if (entry.glow == nullptr)
            return Forward(entry, window, message, wParam, lParam);
        switch (message)
        {
        case WM_DESTROY: entry.glow->OnOwnerDestroy(); return Forward(entry, window, message, wParam, lParam);
        case WM_MOVE:
        case WM_SIZE:
        case WM_WINDOWPOSCHANGED: return ForwardAndFollow(entry, window, message, wParam, lParam);
        default: return Forward(entry, window, message, wParam, lParam);
        }
    }
    catch (...)
    {
        return 0;
    }
}

LRESULT CKivGlowFollower::ForwardAndFollow(const Entry& entry, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = Forward(entry, window, message, wParam, lParam);
    // The frame's handlers may have ended this glow meanwhile.
    CKivEffectGlowWnd* glow = GlowOf(window);
    if (glow != nullptr)
        glow->FollowOwner();
    return result;
}
