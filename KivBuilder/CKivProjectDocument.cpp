#include "CKivProjectDocument.h"
#include <cwchar>

bool CKivProjectDocument::Write(const CKivFileBuilder::ItemMap& items, std::vector<BYTE>* document)
{
    CKivProjectDocument xml;
    if (!xml.StartWriting())
        return false;
    IXmlWriter* writer = xml.Writer();
    if (FAILED(writer->WriteStartElement(nullptr, L"KivProject", nullptr)))
        return false;
    for (const auto& item : items)
    {
        wchar_t type[16];
        wsprintfW(type, L"%d", item.second.type);
        if (FAILED(writer->WriteStartElement(nullptr, L"KivItem", nullptr)) ||
            !xml.WriteAttribute(L"key", item.first.c_str()) ||
            !xml.WriteAttribute(L"value", item.second.value.c_str()) ||
            !xml.WriteAttribute(L"type", type) ||
            FAILED(writer->WriteEndElement()))
            return false;
    }
    return SUCCEEDED(writer->WriteFullEndElement()) && xml.FinishWriting(document);
}

bool CKivProjectDocument::Read(const std::vector<BYTE>& document, CKivFileBuilder::ItemMap* items,
                               std::wstring* reason)
{
    items->clear();
    CKivProjectDocument xml;
    if (!xml.StartReading(document))
    {
        *reason = document.empty() ? L"the project document is empty" : L"XmlLite is not available";
        return false;
    }
    IXmlReader* reader = xml.Reader();
    bool sawRoot = false;
    XmlNodeType node = XmlNodeType_None;
    HRESULT result;
    while ((result = reader->Read(&node)) == S_OK)
    {
        if (node != XmlNodeType_Element)
            continue;
        sawRoot = true;
        std::wstring key;
        if (!xml.Attribute(L"key", &key))
            continue;
        std::wstring value;
        std::wstring type;
        xml.Attribute(L"value", &value);
        xml.Attribute(L"type", &type);
        if (value.size() > CKivFileBuilder::kMaxValue)
        {
            *reason = L"the value of " + key + L" is longer than 259 characters (line " +
                      std::to_wstring(xml.Line()) + L")";
            return false;
        }
        KivProjectItem& item = (*items)[key];
        item.value = value;
        item.type = _wtoi(type.c_str());
    }
    if (FAILED(result))
    {
        *reason = L"not a well-formed project document (line " + std::to_wstring(xml.Line()) + L")";
        return false;
    }
    if (!sawRoot)
    {
        *reason = L"the project document has no root element";
        return false;
    }
    return true;
}
