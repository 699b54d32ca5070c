#include "CKivPackager.h"
#include "CKivFileBuilder.h"
#include <shlwapi.h>
#include <map>
#include <set>

std::wstring CKivPackager::PackageFolder(const KivPackProject& project)
{
    return std::wstring(project.folder) + project.name + L"_package\\";
}

bool CKivPackager::Pack(const KivPackProject& project)
{
    if (project.size < sizeof(KivPackProject) || project.folder == nullptr || project.name == nullptr ||
        (project.count != 0 && project.items == nullptr))
        return false;
    CKivFileBuilder source;
    if (!source.SetProjectPath(project.folder, project.name))
        return false;
    const std::wstring folder = PackageFolder(project);
    if (folder.size() >= MAX_PATH || (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS))
        return false;
    CKivFileBuilder package;
    if (!package.SetProjectPath(folder.c_str(), project.name))
        return false;
    std::map<std::wstring, std::wstring> copied;  // source path -> name in the package
    std::set<std::wstring> names;
    for (size_t i = 0; i < project.count; ++i)
    {
        const KivPackItem& item = project.items[i];
        if (item.key == nullptr || item.value == nullptr)
            return false;
        std::wstring value = item.value;
        if (item.type == kKivItemPicture && !value.empty())
        {
            const std::wstring path = source.ResolvePicturePath(value);
            if (path.empty())
                return false;
            auto known = copied.find(path);
            if (known == copied.end())
            {
                // Two pictures of one name from different folders both fit.
                std::wstring name = PathFindFileNameW(path.c_str());
                for (int n = 2; names.count(name) != 0; ++n)
                    name = std::to_wstring(n) + L"_" + std::wstring(PathFindFileNameW(path.c_str()));
                if (!CopyFileW(path.c_str(), (folder + name).c_str(), FALSE))
                    return false;
                names.insert(name);
                known = copied.emplace(path, name).first;
            }
            value = known->second;
        }
        package.SetItem(item.key, value, item.type);
    }
    return package.SaveProject() && package.BuildSkin(package.ProjectFilePath(L"kiv"));
}
