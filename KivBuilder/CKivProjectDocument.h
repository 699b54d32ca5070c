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
    // The plain form kept in version control, byte for byte as the shipped
    // skins are written: UTF-8 with the declaration 'encoding="utf-8"', one
    // item per line indented by two blanks, CR LF line ends, a final line end.
    static std::vector<BYTE> WritePlain(const CKivFileBuilder::ItemMap& items);
    // Every element carrying a "key" attribute is an item, whatever its name;
    // a later one replaces an earlier one with the same key. False (with a
    // reason) on malformed XML or an over-long value; items is then unusable.
    static bool Read(const std::vector<BYTE>& document, CKivFileBuilder::ItemMap* items, std::wstring* reason);
};
