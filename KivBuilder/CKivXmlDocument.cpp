#include "CKivXmlDocument.h"
#include <shlwapi.h>
#include <string>

namespace {

// Wine's XmlLite (8.0) writes attribute values without escaping them, so a
// path holding "&" or "<" made an unreadable document. Probe once whether the
// writer escapes and, if it does not, escape before handing the text over.
bool WriterEscapesAttributes()
{
    static const bool escapes = [] {
        CKivXmlDocument probe;
        std::vector<BYTE> bytes;
        if (!probe.StartWriting() || FAILED(probe.Writer()->WriteStartElement(nullptr, L"p", nullptr)) ||
            FAILED(probe.Writer()->WriteAttributeString(nullptr, L"a", nullptr, L"&<\"")) ||
            FAILED(probe.Writer()->WriteEndElement()) || !probe.FinishWriting(&bytes))
            return true;
        const std::string text(bytes.begin(), bytes.end());
        return text.find("&amp;") != std::string::npos;
    }();
    return escapes;
}

std::wstring Escaped(const wchar_t* value)
{
    std::wstring text;
    for (; *value; ++value)
    {
        switch (*value)
        {
        case L'&': text += L"&amp;"; break;
        case L'<': text += L"&lt;"; break;
        case L'>': text += L"&gt;"; break;
        case L'"': text += L"&quot;"; break;
        default: text += *value; break;
        }
    }
    return text;
}

}  // namespace

bool CKivXmlDocument::StartWriting()
{
    if (Writer() == nullptr || !CreateMemoryStream() || !SetWriterOutput())
        return false;
    return SUCCEEDED(Writer()->SetProperty(XmlWriterProperty_Indent, TRUE)) &&
           SUCCEEDED(Writer()->WriteStartDocument(XmlStandalone_Omit));
}

bool CKivXmlDocument::FinishWriting(std::vector<BYTE>* bytes)
{
    if (Writer() == nullptr || Stream() == nullptr || bytes == nullptr)
        return false;
    if (FAILED(Writer()->WriteEndDocument()) || FAILED(Writer()->Flush()))
        return false;
    STATSTG status = {};
    if (FAILED(Stream()->Stat(&status, STATFLAG_NONAME)) || status.cbSize.HighPart != 0)
        return false;
    const LARGE_INTEGER start = {};
    if (FAILED(Stream()->Seek(start, STREAM_SEEK_SET, nullptr)))
        return false;
    bytes->assign(status.cbSize.LowPart, 0);
    ULONG read = 0;
    if (!bytes->empty() && (FAILED(Stream()->Read(bytes->data(), status.cbSize.LowPart, &read)) ||
                            read != status.cbSize.LowPart))
        return false;
    ReleaseStream();
    return true;
}

bool CKivXmlDocument::StartReading(const std::vector<BYTE>& bytes)
{
    if (Reader() == nullptr || bytes.empty() || bytes.size() > MAXUINT)
        return false;
    const CKivComPtr<IStream> stream(SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    if (!stream)
        return false;
    SetStream(stream);
    return SetReaderInput();
}

bool CKivXmlDocument::Attribute(const wchar_t* name, std::wstring* value)
{
    if (Reader() == nullptr || Reader()->MoveToAttributeByName(name, nullptr) != S_OK)
        return false;
    const wchar_t* text = nullptr;
    UINT length = 0;
    if (FAILED(Reader()->GetValue(&text, &length)) || text == nullptr)
        return false;
    value->assign(text, length);
    return true;
}

UINT CKivXmlDocument::Line()
{
    UINT line = 0;
    if (Reader() == nullptr || FAILED(Reader()->GetLineNumber(&line)))
        return 0;
    return line;
}

bool CKivXmlDocument::WriteAttribute(const wchar_t* name, const wchar_t* value)
{
    if (Writer() == nullptr || value == nullptr)
        return false;
    if (WriterEscapesAttributes())
        return SUCCEEDED(Writer()->WriteAttributeString(nullptr, name, nullptr, value));
    return SUCCEEDED(Writer()->WriteAttributeString(nullptr, name, nullptr, Escaped(value).c_str()));
}
