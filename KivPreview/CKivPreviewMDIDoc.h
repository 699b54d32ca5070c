#pragma once
#include <string>

// A sample document: it has a title and, once opened or saved, a path. It
// holds no data, so saving writes an empty file.
class CKivPreviewMDIDoc
{
public:
    // A new, untitled document: "KivPreviewMDI1", "KivPreviewMDI2", ...
    CKivPreviewMDIDoc();
    explicit CKivPreviewMDIDoc(const std::wstring& path);

    const std::wstring& Title() const { return m_title; }
    const std::wstring& Path() const { return m_path; }
    void SetPath(const std::wstring& path);
    bool Save(const std::wstring& path);

private:
    std::wstring m_title;
    std::wstring m_path;
};
