#pragma once
#include "CKivMdiChild.h"
#include "CKivPreviewMDIDoc.h"
#include "CKivPreviewMDIView.h"
#include <memory>

// A document window of KivPreviewMDI: one view over one document.
class CChildFrame : public CKivMdiChild
{
public:
    explicit CChildFrame(std::shared_ptr<CKivPreviewMDIDoc> document);

    static const wchar_t* ClassName() { return L"KivPreviewMDIChild"; }
    static bool Register();

    const std::shared_ptr<CKivPreviewMDIDoc>& Document() const { return m_document; }

protected:
    LRESULT OnCreate(CREATESTRUCTW* create) override;
    LRESULT OnSize(UINT type, int width, int height) override;
    LRESULT OnSetFocus(HWND previous) override;

private:
    void OnFileClose();
    void OnSaveAs();
    void OnSave();
    void OnPrint();

    std::shared_ptr<CKivPreviewMDIDoc> m_document;
    CKivPreviewMDIView m_view;
};
