#include "CKivExampleList.h"
#include "CKivPlainFile.h"

namespace {

std::wstring Trimmed(const std::wstring& text)
{
    const size_t start = text.find_first_not_of(L" \t\r\n");
    const size_t end = text.find_last_not_of(L" \t\r\n");
    return start == std::wstring::npos ? std::wstring() : text.substr(start, end - start + 1);
}

// The project file's name without folder and extension.
std::wstring NameOf(const std::wstring& project)
{
    const size_t slash = project.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? project : project.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0)
        name.erase(dot);
    return name.substr(0, CKivExampleList::kMaxName);
}

}  // namespace

std::wstring CKivExampleList::Join(const std::wstring& folder, const std::wstring& text)
{
    // Surrounding blanks are layout of the document, not part of the path.
    size_t start = text.find_first_not_of(L" \t\r\n");
    size_t end = text.find_last_not_of(L" \t\r\n");
    if (start == std::wstring::npos)
        return std::wstring();
    while (start <= end && (text[start] == L'\\' || text[start] == L'/'))
        ++start;
    const std::wstring tail = start <= end ? text.substr(start, end - start + 1) : std::wstring();
    if (tail.empty() || tail.find(L"..") != std::wstring::npos || tail.find(L':') != std::wstring::npos)
        return std::wstring();
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    path += tail;
    return path.size() < MAX_PATH ? path : std::wstring();
}

bool CKivExampleList::Load(const std::wstring& folder)
{
    m_examples.clear();
    std::vector<BYTE> bytes;
    return CKivPlainFile::Read(folder + L"\\examples.xml", &bytes) && Read(bytes, folder);
}

bool CKivExampleList::Read(const std::vector<BYTE>& document, const std::wstring& folder)
{
    m_examples.clear();
    if (!StartReading(document))
        return false;
    IXmlReader* reader = Reader();
    int depth = 0;
    int texts = 0;
    bool collecting = false;
    bool added = false;
    std::wstring paths[3];
    XmlNodeType node = XmlNodeType_None;
    while (reader->Read(&node) == S_OK && m_examples.size() < kMaxExamples)
    {
        switch (node)
        {
        case XmlNodeType_Element:
            if (depth == 1)
            {
                texts = 0;
                collecting = true;
                added = false;
            }
            if (!reader->IsEmptyElement())
                ++depth;
            break;
        case XmlNodeType_EndElement:
            if (--depth == 1)
                collecting = false;
            break;
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        {
            // Texts count only inside an example; after the fourth (its
            // name) the rest of the example is ignored.
            if (!collecting || depth < 2 || texts >= 4)
                break;
            const wchar_t* text = nullptr;
            UINT length = 0;
            if (FAILED(reader->GetValue(&text, &length)) || text == nullptr)
                break;
            if (texts == 3)
            {
                ++texts;
                if (added && !m_examples.empty())
                    m_examples.back().name = Trimmed(std::wstring(text, length)).substr(0, kMaxName);
                break;
            }
            paths[texts] = Join(folder, std::wstring(text, length));
            added = ++texts == 3 && !paths[0].empty() && !paths[1].empty() && !paths[2].empty();
            if (added)
                m_examples.push_back(KivExample{paths[0], paths[1], paths[2], NameOf(paths[2])});
            break;
        }
        default:
            break;
        }
    }
    ReleaseStream();
    return true;
}
