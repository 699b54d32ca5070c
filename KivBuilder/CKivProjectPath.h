#pragma once
#include <windows.h>
#include <string>

// Where a skin project lives and the rules its paths follow: the folder
// (absolute, ending with a backslash), the name (the file name up to its
// first dot), the project file, the files derived from them ("%s%s.%s" of
// folder, name and extension), and how a stored picture path is resolved.
class CKivProjectPath
{
public:
    static const size_t kMaxPath = MAX_PATH;

    // Folder (a trailing backslash is added when missing) and name without
    // extension; a relative folder is made absolute. The reason when either
    // is missing or does not fit in 260 characters, else empty.
    std::wstring Set(const wchar_t* folder, const wchar_t* name);
    // Splits a project file path into folder and name (up to the first dot).
    std::wstring SetFromFile(const wchar_t* path);
    // The project file becomes exactly this file (my.skin.kivproj stays so).
    void KeepFile(const wchar_t* path) { m_file = FullPath(path); }

    const std::wstring& Folder() const { return m_folder; }
    const std::wstring& Name() const { return m_name; }
    const std::wstring& File() const { return m_file; }
    // "%s%s.%s" of folder, name and extension; empty when it would not fit.
    std::wstring FilePath(const wchar_t* extension) const;

    // Absolute paths are used as stored, others are taken from the project
    // folder; empty when no file exists there.
    std::wstring ResolvePicture(const std::wstring& stored) const;
    // Where a relative stored path is looked for (leading slashes dropped).
    std::wstring InFolder(const std::wstring& stored) const;
    // A drive letter or a UNC prefix; anything else is taken from the project folder.
    static bool IsAbsolute(const std::wstring& stored);
    // The platform's full path, or empty.
    static std::wstring FullPath(const wchar_t* path);
    // The text in double quotes, as reasons name files and folders.
    static std::wstring Quoted(const std::wstring& text);

private:
    std::wstring m_folder;
    std::wstring m_name;
    std::wstring m_file;
};
