#include "CKivProjectTemplate.h"
#include "CKivFileBuilder.h"

namespace {

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::wstring CKivProjectTemplate::FreeName(const std::wstring& name,
                                           const std::function<bool(const std::wstring&)>& taken)
{
    const size_t dot = name.find_last_of(L'.');
    const std::wstring stem = dot == std::wstring::npos ? name : name.substr(0, dot);
    const std::wstring extension = dot == std::wstring::npos ? L"" : name.substr(dot);
    std::wstring candidate = name;
    for (int n = 2; taken(candidate); ++n)
        candidate = stem + L"_" + std::to_wstring(n) + extension;
    return candidate;
}

bool CKivProjectTemplate::Fill(const std::wstring& templateFile, CKivFileBuilder& project, std::wstring* reason)
{
    CKivFileBuilder source;
    if (!source.OpenPlainProject(templateFile.c_str()))
    {
        *reason = source.LastError();
        return false;
    }
    const std::wstring subfolder = project.ProjectName();
    const std::wstring pictures = project.ProjectFolder() + subfolder;
    bool haveFolder = IsFolder(pictures) || CreateDirectoryW(pictures.c_str(), nullptr) != FALSE;
    for (const auto& item : source.Items())
    {
        std::wstring value = item.second.value;
        const std::wstring from = item.second.type == kKivItemPicture ? source.ResolvePicturePath(value)
                                                                      : std::wstring();
        if (!from.empty())
        {
            value = from;
            const std::wstring name = FreeName(FileNameOf(from), [&](const std::wstring& candidate) {
                return GetFileAttributesW((pictures + L"\\" + candidate).c_str()) != INVALID_FILE_ATTRIBUTES;
            });
            const std::wstring relative = subfolder + L"\\" + name;
            // CopyFileW refuses to replace: a file that appeared meanwhile is kept.
            if (haveFolder && relative.size() <= CKivFileBuilder::kMaxValue &&
                CopyFileW(from.c_str(), (pictures + L"\\" + name).c_str(), TRUE))
                value = relative;
        }
        project.SetItem(item.first, value, item.second.type);
    }
    return true;
}
