#include "CKivUpdateList.h"
#include "CKivFileHandle.h"
#include "CKivUpdateDocument.h"
#include "CKivWebAddress.h"
#include <cstring>

std::vector<std::string> CKivUpdateList::SplitLines(const char* bytes, size_t size, size_t maxLines)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (lines.size() < maxLines)
    {
        size_t end = start;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.emplace_back(bytes + start, end - start);
        if (end >= size)
            break;
        start = end + 1;
        if (bytes[end] == '\r' && start < size && bytes[start] == '\n')
            ++start;
    }
    return lines;
}

bool CKivUpdateList::Parse(const char* bytes, size_t size)
{
    for (std::wstring& value : m_values)
        value.clear();
    if (bytes == nullptr || memchr(bytes, 0, size) != nullptr)
        return false;
    const std::vector<std::string> lines = SplitLines(bytes, size, kLineCount);
    if (lines.size() < kLineCount)
        return false;
    std::wstring values[kLineCount];
    for (size_t index = 0; index < kLineCount; ++index)
    {
        const std::wstring line = CKivUpdateDocument::Widen(lines[index].data(), lines[index].size(), kMaxLine);
        // The first character only separates: a line must carry a value after it.
        if (line.size() < 2)
            return false;
        values[index] = line.substr(1);
    }
    for (size_t index = 0; index < kLineCount; ++index)
        m_values[index] = values[index];
    return true;
}

bool CKivUpdateList::IsWellFormed(const char* bytes, size_t size)
{
    CKivUpdateList list;
    if (!list.Parse(bytes, size))
        return false;
    const std::vector<std::string> lines = SplitLines(bytes, size, static_cast<size_t>(-1));
    for (size_t index = kLineCount; index < lines.size(); ++index)
    {
        if (!lines[index].empty())
            return false;
    }
    return true;
}

bool CKivUpdateList::AcceptsReplacement(const char* bytes, size_t size, bool secure) const
{
    if (!IsWellFormed(bytes, size))
        return false;
    for (const std::string& line : SplitLines(bytes, size, kLineCount))
    {
        if (CKivUpdateDocument::Widen(line.data(), line.size(), kMaxLine + 1).size() > kMaxLine)
            return false;
    }
    CKivUpdateList replacement;
    replacement.Parse(bytes, size);
    CKivWebAddress next;
    if (!next.Parse(replacement.ListUrl()) || next.Canonical().size() >= kMaxLine)
        return false;
    if (secure)
        return true;
    CKivWebAddress current;
    return current.Parse(ListUrl()) && current.Host() == next.Host();
}

bool CKivUpdateList::Load(const std::wstring& path)
{
    const size_t limit = 64 * 1024;
    CKivFileHandle file(CKivFileHandle::OpenRead(path.c_str()));
    const LONGLONG size = file.Size();
    if (size <= 0)
        return Parse(nullptr, 0);
    std::vector<char> bytes(static_cast<size_t>(size < static_cast<LONGLONG>(limit) ? size : limit));
    if (!file.ReadExact(bytes.data(), static_cast<DWORD>(bytes.size())))
        return Parse(nullptr, 0);
    return Parse(bytes.data(), bytes.size());
}

std::wstring CKivUpdateList::PathIn(const std::wstring& folder)
{
    return folder + L"\\config\\update.txt";
}
