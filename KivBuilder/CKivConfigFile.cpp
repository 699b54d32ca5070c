#include "CKivConfigFile.h"
#include "CKivCipherFile.h"
#include "KivSkinFile.h"

CKivConfigFile& CKivConfigFile::Instance()
{
    static CKivConfigFile config;
    return config;
}

bool CKivConfigFile::Load(const wchar_t* path)
{
    Close();
    if (path == nullptr || !kiv::KivFileExists(path))
        return false;
    std::vector<BYTE> plain;
    if (!CKivCipherFile::ReadDecrypted(path, CKivCipherFile::kDocumentPiece, &plain) || plain.empty())
        return false;
    m_document.swap(plain);
    return true;
}

bool CKivConfigFile::LoadPlain(const std::vector<BYTE>& document)
{
    Close();
    m_document = document;
    return !m_document.empty();
}

void CKivConfigFile::Close()
{
    ReleaseStream();
    m_document.clear();
}

int CKivConfigFile::ItemTypeOf(const std::wstring& type)
{
    if (type == L"TEXT")
        return 1;
    if (type == L"SELECTFILE")
        return 2;
    if (type == L"SELECTCOLOR")
        return 3;
    return 0;
}

void CKivConfigFile::Walk(const std::function<bool(int depth, const std::wstring& name)>& visit)
{
    if (m_document.empty() || !StartReading(m_document))
        return;
    IXmlReader* reader = Reader();
    int depth = 0;
    XmlNodeType node = XmlNodeType_None;
    while (reader->Read(&node) == S_OK)
    {
        if (node == XmlNodeType_EndElement)
        {
            --depth;
            continue;
        }
        if (node != XmlNodeType_Element)
            continue;
        // A self-closing element has no end tag: it does not open a level.
        const bool empty = reader->IsEmptyElement() != FALSE;
        const wchar_t* name = nullptr;
        UINT length = 0;
        if (FAILED(reader->GetLocalName(&name, &length)) || name == nullptr)
            break;
        if (!visit(depth, std::wstring(name, length)))
            break;
        if (!empty)
            ++depth;
    }
    ReleaseStream();
}

std::wstring CKivConfigFile::FirstAttribute()
{
    IXmlReader* reader = Reader();
    if (reader->MoveToFirstAttribute() != S_OK)
        return std::wstring();
    const wchar_t* text = nullptr;
    UINT length = 0;
    std::wstring value;
    if (SUCCEEDED(reader->GetValue(&text, &length)) && text != nullptr)
        value.assign(text, length < kMaxCaption ? length : kMaxCaption - 1);
    reader->MoveToElement();
    return value;
}

void CKivConfigFile::ListGroups(const GroupFn& report)
{
    Walk([&](int depth, const std::wstring& name) {
        if (depth == 1 && name.size() < kMaxKey)
            report(name, FirstAttribute());
        return true;
    });
}

void CKivConfigFile::ListElements(const std::wstring& group, const ElementFn& report)
{
    bool inside = false;
    bool seen = false;
    Walk([&](int depth, const std::wstring& name) {
        if (depth == 1)
        {
            // Only the first group of that name counts; its end ends the walk.
            if (seen)
                return false;
            inside = seen = name == group;
        }
        else if (depth == 2 && inside && name.size() < kMaxKey)
            report(group, name, FirstAttribute());
        return true;
    });
}

void CKivConfigFile::ListProperties(const std::wstring& group, const std::wstring& element, const PropertyFn& report)
{
    bool inGroup = false;
    bool seenGroup = false;
    bool inElement = false;
    bool seenElement = false;
    Walk([&](int depth, const std::wstring& name) {
        if (depth == 1)
        {
            if (seenGroup)
                return false;
            inGroup = seenGroup = name == group;
            inElement = false;
        }
        else if (depth == 2 && inGroup)
        {
            if (seenElement)
                return false;
            inElement = seenElement = name == element;
        }
        else if (depth == 3 && inElement && name.size() < kMaxName)
        {
            Property property;
            property.group = group;
            property.element = element;
            property.name = name;
            property.caption = FirstAttribute();
            std::wstring type;
            if (Attribute(L"type", &type) && ItemTypeOf(type) != 0)
            {
                property.type = type;
                report(property);
            }
            Reader()->MoveToElement();
        }
        return true;
    });
}
