#pragma once
#include <windows.h>
#include <functional>
#include <vector>

// Command identifier -> handler table of one command target (a dialog, a frame,
// a child window). A handler may also say whether its menu item or toolbar
// button is enabled and checked; a command without a handler is not handled
// here and the router asks the next target.
class CKivCommandMap
{
public:
    using Handler = std::function<void(UINT id)>;
    using Query = std::function<bool()>;

    // Later entries for the same identifier win over earlier ones.
    void On(UINT id, Handler handler, Query enabled = nullptr, Query checked = nullptr);
    void OnRange(UINT first, UINT last, Handler handler, Query enabled = nullptr);

    // Runs the handler; false when this table has none. A disabled command
    // counts as handled and does nothing.
    bool Dispatch(UINT id) const;
    bool Handles(UINT id) const { return Find(id) != nullptr; }

    // Enabled and checked state of a handled command; false when not handled.
    bool QueryState(UINT id, bool& enabled, bool& checked) const;

private:
    struct Entry
    {
        UINT first;
        UINT last;
        Handler handler;
        Query enabled;
        Query checked;
    };
    const Entry* Find(UINT id) const;

    std::vector<Entry> m_entries;
};
