#include "CKivSettingsWriter.h"
#include "CKivFileBuilder.h"

namespace {

std::vector<std::wstring> SplitKey(const std::wstring& key)
{
    std::vector<std::wstring> segments;
    size_t start = 0;
    for (;;)
    {
        const size_t slash = key.find(L'\\', start);
        segments.push_back(key.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start));
        if (slash == std::wstring::npos)
            return segments;
        start = slash + 1;
    }
}

}  // namespace

bool CKivSettingsWriter::Begin()
{
    m_open.clear();
    m_started = StartWriting() && SUCCEEDED(Writer()->WriteStartElement(nullptr, L"KivDescription", nullptr));
    return m_started;
}

bool CKivSettingsWriter::AddLeaf(const std::wstring& key, int type, const std::wstring& value, const RECT& rect)
{
    if (!m_started)
        return false;
    const std::vector<std::wstring> segments = SplitKey(key);
    for (const std::wstring& segment : segments)
        if (segment.empty())
            return false;
    const size_t ancestors = segments.size() - 1;
    size_t shared = 0;
    while (shared < m_open.size() && shared < ancestors && m_open[shared] == segments[shared])
        ++shared;
    IXmlWriter* writer = Writer();
    while (m_open.size() > shared)
    {
        if (FAILED(writer->WriteEndElement()))
            return false;
        m_open.pop_back();
    }
    for (size_t index = shared; index < ancestors; ++index)
    {
        if (FAILED(writer->WriteStartElement(nullptr, segments[index].c_str(), nullptr)))
            return false;
        m_open.push_back(segments[index]);
    }
    if (FAILED(writer->WriteStartElement(nullptr, segments.back().c_str(), nullptr)))
        return false;
    if (type == kKivItemPicture)
    {
        const LONG sides[4] = {rect.left, rect.top, rect.right, rect.bottom};
        const wchar_t* names[4] = {L"left", L"top", L"right", L"bottom"};
        for (int side = 0; side < 4; ++side)
        {
            wchar_t text[16];
            wsprintfW(text, L"%ld", sides[side]);
            if (!WriteAttribute(names[side], text))
                return false;
        }
    }
    else if (!WriteAttribute(L"value", value.c_str()))
    {
        return false;
    }
    return SUCCEEDED(writer->WriteEndElement());
}

bool CKivSettingsWriter::Finish(std::vector<BYTE>* document)
{
    if (!m_started)
        return false;
    m_started = false;
    for (; !m_open.empty(); m_open.pop_back())
        if (FAILED(Writer()->WriteEndElement()))
            return false;
    return SUCCEEDED(Writer()->WriteEndElement()) && FinishWriting(document);
}
