#pragma once
#include "CKivFileBuilder.h"
#include "CKivXmlDocument.h"
#include <string>
#include <vector>

// The project document: root "KivProject" holding one "KivItem" element per
// item with the attributes "key", "value" and "type", in key order. The same
// text is stored encrypted in .kivproj files and plain in exported projects.
class CKivProjectDocument : public CKivXmlDocument
{
public:
    static bool Write(const CKivFileBuilder::ItemMap& items, std::vector<BYTE>* document);
    // Every element carrying a "key" attribute is an item, whatever its name;
    // a later one replaces an earlier one with the same key. False (with a
    // reason) on malformed XML or an over-long value; items is then unusable.
    static bool Read(const std::vector<BYTE>& document, CKivFileBuilder::ItemMap* items, std::wstring* reason);
};
