#pragma once
#include <functional>
#include <string>

class CKivFileBuilder;

// The complete skin a new project starts from: a plain project shipped beside
// the builder (template\project.kivxml with its pictures). Its pictures are
// copied into a folder named after the new project, beside the project file,
// so that the designer edits copies of their own; no file that exists is
// ever replaced.
class CKivProjectTemplate
{
public:
    // Gives project (whose folder and name are set) every item of the
    // template. A picture that cannot be copied keeps naming the template's
    // own file. False with the reason when the template cannot be read; the
    // project is then left as it was.
    static bool Fill(const std::wstring& templateFile, CKivFileBuilder& project, std::wstring* reason);

    // name, or name with "_2", "_3", ... before its extension, whichever is
    // the first that taken() refuses.
    static std::wstring FreeName(const std::wstring& name, const std::function<bool(const std::wstring&)>& taken);
};
