#pragma once
#include "CKivMdiFrame.h"

// The main window of KivPreviewMDI: menu bar, toolbar, status bar and the
// document windows.
class CMainFrame : public CKivMdiFrame
{
public:
    CMainFrame();

    static const wchar_t* ClassName() { return L"KivPreviewMDIFrame"; }
    static bool Register();
    bool CreateMainFrame();

    HMENU DocumentMenu() const { return m_documentMenu; }
    HMENU DocumentWindowMenu() const { return m_documentMenu ? GetSubMenu(m_documentMenu, 3) : nullptr; }
    // Both File popups, for the recent-file entries.
    HMENU FrameFileMenu() const { return m_frameMenu ? GetSubMenu(m_frameMenu, 0) : nullptr; }
    HMENU DocumentFileMenu() const { return m_documentMenu ? GetSubMenu(m_documentMenu, 0) : nullptr; }

protected:
    LRESULT OnCreate(CREATESTRUCTW* create) override;
    LRESULT OnDestroy() override;

private:
    bool CreateToolBar();
    bool CreateStatusBar();
    void OnAbout();
    void OnPrintSetup();
    void OnWindowCommand(UINT id);

    HMENU m_frameMenu = nullptr;
    HMENU m_documentMenu = nullptr;
};
