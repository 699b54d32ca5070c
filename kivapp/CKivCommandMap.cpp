#include "CKivCommandMap.h"

void CKivCommandMap::On(UINT id, Handler handler, Query enabled, Query checked)
{
    m_entries.push_back(Entry{id, id, std::move(handler), std::move(enabled), std::move(checked)});
}

void CKivCommandMap::OnRange(UINT first, UINT last, Handler handler, Query enabled)
{
    if (first > last)
        return;
    m_entries.push_back(Entry{first, last, std::move(handler), std::move(enabled), nullptr});
}

const CKivCommandMap::Entry* CKivCommandMap::Find(UINT id) const
{
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry)
    {
        if (id >= entry->first && id <= entry->last && entry->handler)
            return &*entry;
    }
    return nullptr;
}

bool CKivCommandMap::Dispatch(UINT id) const
{
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return false;
    // An accelerator can fire a command whose menu item is greyed out: the
    // owner of the command has spoken, so it is swallowed, not passed on.
    if (entry->enabled && !entry->enabled())
        return true;
    // Copy first: the handler may replace entries of this very table.
    const Handler handler = entry->handler;
    handler(id);
    return true;
}

bool CKivCommandMap::QueryState(UINT id, bool& enabled, bool& checked) const
{
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return false;
    enabled = entry->enabled ? entry->enabled() : true;
    checked = entry->checked ? entry->checked() : false;
    return true;
}
