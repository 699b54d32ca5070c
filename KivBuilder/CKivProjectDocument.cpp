#include "CKivProjectDocument.h"
#include <cwchar>

namespace {

// Attribute text with markup characters and control characters as
// references, so that every value reads back exactly.
std::wstring AttributeText(const std::wstring& value)
{
    std::wstring text;
    for (wchar_t c : value)
    {
        switch (c)
        {
        case L'&': text += L"&amp;"; break;
        case L'<': text += L"&lt;"; break;
        case L'>': text += L"&gt;"; break;
        case L'"': text += L"&quot;"; break;
        default:
            if (c < 0x20)
                text += L"&#" + std::to_wstring(static_cast<int>(c)) + L";";
            else
                text += c;
            break;
        }
    }
    return text;
}

}  // namespace

std::vector<BYTE> CKivProjectDocument::WritePlain(const CKivFileBuilder::ItemMap& items)
{
    std::wstring text = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<KivProject>\r\n";
    for (const auto& item : items)
        text += L"  <KivItem key=\"" + AttributeText(item.first) + L"\" value=\"" + AttributeText(item.second.value) +
                L"\" type=\"" + std::to_wstring(item.second.type) + L"\" />\r\n";
    text += L"</KivProject>\r\n";
    std::vector<BYTE> bytes;
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0)
        return bytes;
    bytes.resize(static_cast<size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), reinterpret_cast<char*>(bytes.data()),
                        length, nullptr, nullptr);
    return bytes;
}

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
