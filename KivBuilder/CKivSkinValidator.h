#pragma once
#include <string>
#include <vector>

class CKivFileBuilder;
class CKivSkinAuditor;

// The one judgement of what a skin must be, shared by kivtool build and check
// and by the builder, so that whatever one of them refuses all refuse, with
// the same words. Each problem is one line naming the key and, where a file
// is at fault, the file: "missing key K", "K: "#FF0000" is not a decimal
// number", "K: picture file "x.bmp" does not exist (looked for ...)".
class CKivSkinValidator
{
public:
    // Every problem of a project: each of the schema's keys set once with the
    // right item type, no key the library does not know, numbers that the
    // library reads as they are written, and pictures that are whole BMP
    // files fitting one atlas.
    static std::vector<std::wstring> CheckProject(const CKivFileBuilder& project);

    // Every problem of a compiled skin's settings as the auditor read them:
    // missing and unknown keys, numbers as above, picture rectangles that are
    // empty or outside the atlas.
    static std::vector<std::wstring> CheckSkin(const CKivSkinAuditor& skin);

    // Why text is no value of a number of the given schema kind (a switch is
    // 0 or 1, a colour 0 to 16777215, an integer a 32-bit decimal); empty when
    // it is one.
    static std::wstring NumberProblem(int kind, const std::wstring& text);

    // A problem as the tools print it: "\"file\": problem".
    static std::wstring Describe(const std::wstring& file, const std::wstring& problem);
};
