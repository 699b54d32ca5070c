#include "CKivLayoutLoader.h"
#include "CKivAes.h"
#include "KivSkinFile.h"
#include <shlwapi.h>
#include <climits>
#include <cstring>
#include <new>

namespace {

// Copies up to length characters of text into a buffer of size characters,
// behind what it already holds; the result is always terminated.
void Append(wchar_t* buffer, size_t size, const wchar_t* text, size_t length)
{
    size_t used = wcslen(buffer);
    for (size_t i = 0; i < length && used + 1 < size; ++i)
        buffer[used++] = text[i];
    buffer[used] = L'\0';
}

// "prefix\name", cut to the buffer.
void JoinPath(wchar_t* buffer, size_t size, const wchar_t* prefix, const wchar_t* name, size_t nameLength)
{
    buffer[0] = L'\0';
    Append(buffer, size, prefix, wcslen(prefix));
    Append(buffer, size, L"\\", 1);
    Append(buffer, size, name, nameLength);
}

bool IsCSpace(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

}  // namespace

CKivLayoutLoader::~CKivLayoutLoader()
{
    // The document goes first; the base then detaches and releases the stream.
    FreeDocument();
}

void CKivLayoutLoader::FreeDocument()
{
    m_document.reset();
    m_documentLength = 0;
}

int CKivLayoutLoader::ParseInteger(const wchar_t* text)
{
    if (text == nullptr)
        return 0;
    while (IsCSpace(*text))
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-')
        negative = *text++ == L'-';
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; *text >= L'0' && *text <= L'9'; ++text)
    {
        value = value * 10 + (*text - L'0');
        if (value > limit)
            value = limit;  // keeps scanning digits without overflowing
    }
    return static_cast<int>(negative ? -value : value);
}

bool CKivLayoutLoader::Load(const wchar_t* path)
{
    KivSkinSection settings;
    KivSkinSection atlas;
    if (m_document || !kiv::ReadSkinSections(path, kMaxDocumentSize, MAXDWORD, &settings, &atlas))
        return false;
    atlas.bytes.reset();
    return LoadSection(std::move(settings.bytes), settings.size);
}

bool CKivLayoutLoader::LoadSection(std::unique_ptr<BYTE[]> section, DWORD size)
{
    if (m_document || !section || size == 0 || size > kMaxDocumentSize)
        return false;
    m_document = std::move(section);
    CKivAes aes;
    CKivAes::InitSkinCipher(aes);
    const bool whole = CKivAes::DecryptWholeInPlace(aes.GetDecryptor(), m_document.get(), size, 64,
                                                    &m_documentLength);
    // A failed piece is a damaged document: none of it is read. An empty
    // document is no XML input at all.
    const CKivComPtr<IStream> stream(
        whole && m_documentLength ? SHCreateMemStream(m_document.get(), static_cast<UINT>(m_documentLength))
                                  : nullptr);
    if (!stream)
    {
        FreeDocument();
        return false;
    }
    SetStream(stream);
    if (!SetReaderInput())
    {
        FreeDocument();
        ReleaseStream();
        return false;
    }
    return true;
}

bool CKivLayoutLoader::Parse(KivSkinSettings& settings)
{
    IXmlReader* reader = Reader();
    if (reader == nullptr)
        return false;
    m_group[0] = m_element[0] = m_key[0] = L'\0';
    XmlNodeType type = XmlNodeType_None;
    // A malformed document ends the walk at its first error; S_FALSE is the end.
    while (reader->Read(&type) == S_OK)
    {
        if (!OnNode(type, settings))
            break;
    }
    return true;
}

bool CKivLayoutLoader::OnNode(XmlNodeType type, KivSkinSettings& settings)
{
    if (type != XmlNodeType_Element)
        return true;
    IXmlReader* reader = Reader();
    UINT depth = 0;
    if (FAILED(reader->GetDepth(&depth)) || depth > kMaxElementDepth)
        return false;  // the reader may not enforce its own depth bound
    if (depth == 0)
        return true;
    const wchar_t* name = nullptr;
    UINT nameLength = 0;
    if (FAILED(reader->GetLocalName(&name, &nameLength)) || name == nullptr)
        return false;
    if (depth == 1)
    {
        m_group[0] = L'\0';
        Append(m_group, kNameLength, name, nameLength);
    }
    else if (depth == 2)
    {
        JoinPath(m_element, kNameLength, m_group, name, nameLength);
    }
    else
    {
        JoinPath(m_key, kNameLength, m_element, name, nameLength);
        if (reader->MoveToFirstAttribute() == S_OK)
            ReadValue(settings);
    }
    return true;
}

void CKivLayoutLoader::ReadValue(KivSkinSettings& settings)
{
    const wchar_t* text = nullptr;
    if (FAILED(Reader()->GetValue(&text, nullptr)))
        text = nullptr;
    const KivSchemaEntry* entry = CKivSkinSchema::Find(m_key);
    if (entry == nullptr)
        return;
    if (entry->kind == kKivKindRect)
    {
        // Read all four before storing, so the record never holds half a rectangle.
        RECT rect;
        rect.left = ReadNamedAttribute(L"left");
        rect.top = ReadNamedAttribute(L"top");
        rect.right = ReadNamedAttribute(L"right");
        rect.bottom = ReadNamedAttribute(L"bottom");
        *CKivSkinSchema::RectField(settings, *entry) = rect;
        return;
    }
    const int value = ParseInteger(text);
    *CKivSkinSchema::IntField(settings, *entry) = entry->kind == kKivKindFlag ? (value > 0 ? 1 : 0) : value;
}

int CKivLayoutLoader::ReadNamedAttribute(const wchar_t* name)
{
    // A missing attribute reads as 0 rather than repeating the last one visited.
    const wchar_t* text = nullptr;
    if (Reader()->MoveToAttributeByName(name, L"") != S_OK || FAILED(Reader()->GetValue(&text, nullptr)))
        return 0;
    return ParseInteger(text);
}
