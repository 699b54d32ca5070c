#pragma once
#include "CKivXmlDocument.h"
#include <string>
#include <vector>

// One ready-made skin on the start page: three full paths and the name shown
// under its picture.
struct KivExample
{
    std::wstring thumbnail;
    std::wstring skin;
    std::wstring project;
    std::wstring name;
};

// The example list "examples.xml" (plain XML) of the folder "example": each
// depth-1 element is one example whose first three text nodes are the
// thumbnail, the skin file and the project file, relative to that folder. A
// fourth text, when there is one, is the example's name; without it the name
// is the project file's name without its extension.
class CKivExampleList : public CKivXmlDocument
{
public:
    enum : size_t
    {
        kMaxExamples = 256,  // a hostile list cannot make the start page unbounded
        kMaxName = 63,
    };

    // Reads folder\examples.xml; false when it cannot be read at all. What was
    // read before a break in the document stays.
    bool Load(const std::wstring& folder);
    // The same from the bytes of a document, paths joined to folder.
    bool Read(const std::vector<BYTE>& document, const std::wstring& folder);

    const std::vector<KivExample>& Examples() const { return m_examples; }

    // folder + text with one backslash between; empty when the result would
    // not fit in 260 characters or the text climbs out of the folder.
    static std::wstring Join(const std::wstring& folder, const std::wstring& text);

private:
    std::vector<KivExample> m_examples;
};
