#pragma once
#include "CKivApp.h"
#include "CKivRecentFileList.h"
#include "CKivSkinSwitcher.h"
#include "CMainFrame.h"
#include <memory>

class CKivPreviewMDIDoc;

// KivPreviewMDI.exe: the multi-document preview program.
class CKivPreviewMDIApp : public CKivApp
{
public:
    CKivPreviewMDIApp();

    static CKivPreviewMDIApp* Instance() { return static_cast<CKivPreviewMDIApp*>(CKivApp::Current()); }

    void NewDocument();
    void OpenDocument(const std::wstring& path);
    // Another window on a document that is already open.
    void OpenWindow(const std::shared_ptr<CKivPreviewMDIDoc>& document);
    void AddToRecentFiles(const std::wstring& path);
    void SaveRecentFiles() const;

protected:
    bool InitInstance() override;
    int ExitInstance() override;

private:
    void OnOpen();
    void OnRecentFile(UINT id);
    void UpdateRecentMenus() const;
    // The skins View > Next Skin and Open Skin switch between.
    CKivSkinSwitcher& Skins();

    bool m_oleStarted = false;
    CKivRecentFileList m_recentFiles;
    CMainFrame m_frame;
    std::unique_ptr<CKivSkinSwitcher> m_skins;
};
