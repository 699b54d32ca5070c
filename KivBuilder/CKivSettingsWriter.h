#pragma once
#include "CKivXmlDocument.h"
#include <string>
#include <vector>

// Composes the skin settings document: root "KivDescription", then one element
// per key segment, ancestors shared between consecutive keys, the last segment
// a leaf carrying "value" or "left", "top", "right", "bottom".
class CKivSettingsWriter : public CKivXmlDocument
{
public:
    bool Begin();
    // Keys must arrive in ascending order for ancestors to be shared.
    bool AddLeaf(const std::wstring& key, int type, const std::wstring& value, const RECT& rect);
    bool Finish(std::vector<BYTE>* document);

private:
    std::vector<std::wstring> m_open;  // ancestors of the last leaf, outermost first
    bool m_started = false;
};
