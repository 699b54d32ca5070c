#include "CKivPreviewMDIDoc.h"
#include <windows.h>
#include "CKivFileHandle.h"

CKivPreviewMDIDoc::CKivPreviewMDIDoc()
{
    static unsigned untitled = 0;
    m_title = L"KivPreviewMDI" + std::to_wstring(++untitled);
}

CKivPreviewMDIDoc::CKivPreviewMDIDoc(const std::wstring& path)
{
    SetPath(path);
}

void CKivPreviewMDIDoc::SetPath(const std::wstring& path)
{
    m_path = path;
    const size_t slash = path.find_last_of(L"\\/");
    m_title = slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool CKivPreviewMDIDoc::Save(const std::wstring& path)
{
    const CKivFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    SetPath(path);
    return true;
}
