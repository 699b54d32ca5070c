#pragma once
#include <string>

// Tells the designer, before the preview's first window, that the skin named
// on the command line cannot be loaded and why; the preview then shows the
// system's look rather than leave them guessing. Later, when a skin picked
// for a switch cannot be loaded, the skin in use stays and the notice says
// only why.
class CKivSkinNotice
{
public:
    // Runs the library's own load on path for its reason and shows it.
    static void Show(const std::wstring& path, bool atStart = true);
};
