#pragma once
#include <memory>
#include "CKivWndBox.h"

class CKivWnd;
struct KivSkinSettings;

// The table of skin classes the registry creates from. Declared here, where
// the registry calls it, and defined in skinlib/classes, the one layer that
// sees every concrete class, so the engine knows no class but CKivWnd.
class CKivSkinClassTable
{
public:
    // A new, unattached object of that kind, or null.
    static std::unique_ptr<CKivWnd> NewSkinObject(KivSkinKind kind);
    // Runs only after a successful attach: a control that keeps a copy of its
    // settings group takes it here; the creation result.
    static int HandOverSettings(KivSkinKind kind, CKivWnd& object, const KivSkinSettings& settings, int attached);
    // An object attached to a window that is already on screen takes over
    // the shown state it would have seen at its WM_SHOWWINDOW.
    static void AttachedWhileShown(KivSkinKind kind, CKivWnd& object);
    // The kind a LISTBOX of that style gets: the host-drawn list or the list box.
    static KivSkinKind ListBoxKind(LONG style);
};
