#pragma once
#include <windows.h>
#include <string>
#include <vector>

class CKivFileBuilder;
class CKivSkinAuditor;

// The command-line skin tool: build, dump, check, export and import. Each
// command returns the process exit code: 0 success, 1 the work failed or found
// problems, 2 the command line was wrong.
class CKivTool
{
public:
    // Name of the plain project file inside an exported folder.
    static const wchar_t* const kPlainProjectName;

    int Run(const std::vector<std::wstring>& arguments);

private:
    int Help();
    int Build(const std::vector<std::wstring>& arguments);
    int Dump(const std::vector<std::wstring>& arguments);
    int Check(const std::vector<std::wstring>& arguments);
    int Export(const std::vector<std::wstring>& arguments);
    int Import(const std::vector<std::wstring>& arguments);
    int Encrypt(const std::vector<std::wstring>& arguments);
    int Clip(const std::vector<std::wstring>& arguments);

    int CheckSkin(const std::wstring& path);
    int CheckProject(const CKivFileBuilder& builder, const std::wstring& file);
    // Warns (without failing) about explicit text colours that contrast less
    // than 3:1 with what is drawn under them.
    void WarnLowContrast(const CKivSkinAuditor& skin);
    // Opens an encrypted project, a plain project file, or a folder holding
    // one; opened is the full path of the project file itself.
    bool OpenAnyProject(const std::wstring& path, CKivFileBuilder* builder, std::wstring* opened);

    int Usage(const std::wstring& problem);
    int Failure(const std::wstring& reason);
    void Out(const std::wstring& line);
    void Err(const std::wstring& line);
};
