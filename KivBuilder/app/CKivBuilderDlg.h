#pragma once
#include "CKivBuildJob.h"
#include "CKivDialog.h"
#include "CKivExampleList.h"
#include "CKivExmpView.h"
#include "CKivFileBuilder.h"
#include "CKivGroupItemBox.h"
#include "CKivMultiListCtrl.h"
#include "CWaitScreenDlg.h"
#include <string>

class CKivBuilderInstance;

// The builder's main window: the start page while no project is open, the
// group pane and the property list while one is. New, Open, Save, Save As and
// Close work on the project model; Build and Preview hand a copy of it to a
// worker thread and refuse further project commands until the worker has
// reported. Enter and Escape never close it; WM_CLOSE and Exit do, after
// asking to save unsaved changes.
class CKivBuilderDlg : public CKivDialog
{
public:
    enum : int
    {
        kPaneMargin = 10,
        kGroupWidth = 210,
        kListLeft = 230,
    };

    // programDir: the folder of the program file, where every file of the
    // builder is looked up. project: a project to open at start, or empty.
    CKivBuilderDlg(const std::wstring& programDir, const std::wstring& project, CKivBuilderInstance* instance);
    ~CKivBuilderDlg() override;

    bool ProjectOpen() const { return m_projectOpen; }
    bool Busy() const { return m_job.Running() || m_waiting; }
    CKivFileBuilder& Project() { return m_builder; }

    static const wchar_t* Title() { return L"KivBuilder"; }

protected:
    BOOL OnInitDialog(HWND focus) override;
    void OnOK() override {}
    void OnCancel() override {}
    bool OnSysCommand(UINT command, LPARAM lParam) override;
    bool OnSize(UINT type, int width, int height) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void RegisterCommands();
    void OnNew();
    void OnOpen();
    void OnCloseProject();
    void OnSave();
    void OnSaveAs();
    void OnPack();
    void OnBuild();
    void OnPreview(const wchar_t* program);
    void OnExit();
    void OnAbout();
    void OnDocument(const wchar_t* relative);

    INT_PTR OnClose();
    INT_PTR OnElementSelected(WPARAM place, LPARAM generation);
    INT_PTR OnValueChanged(WPARAM index, LPARAM generation);
    INT_PTR OnBuildDone(int result, bool saved);
    INT_PTR OnExampleCommand(UINT command, WPARAM index, LPARAM generation);

    // Stores a changed property row's value into the project item of its key.
    void StoreRow(size_t index);
    // Commits an open edit and takes every changed row's value into the project.
    void CommitRows();
    // The rows show the project's values again (after Save As moved them).
    void ShowProjectValues();
    // Marks unsaved changes in the title.
    void SetModified(bool modified);
    // Points the picture rows at the project's folder and enters the group pane.
    void FocusPanes();
    void AttachPictures();
    // Fills the panes from the configuration and shows them; false when the
    // configuration cannot be read.
    bool PrepareProject();
    bool OpenProjectFile(const std::wstring& path);
    // Hides the panes, shows the start page, forgets the project.
    void CloseProject();
    // Asks to save unsaved changes; false when the designer cancelled or
    // saving failed.
    bool ConfirmDiscard();
    // The project file a file dialog's choice will write: folder plus name up
    // to the first dot, ".kivproj"; empty when the path is unusable.
    static std::wstring ProjectFileFor(const std::wstring& chosen);
    bool AskFileName(bool save, std::wstring* path);
    // The project file a save dialog's choice will write; empty on cancel.
    std::wstring AskProjectTarget();
    void UpdateTitle();
    void StartWork();
    // Starts a program from the program folder with the shell verb "open".
    void StartProgram(const std::wstring& name, const std::wstring& parameters);
    int Message(const wchar_t* text, const wchar_t* caption, UINT flags);
    void LayOut(int width, int height);

    std::wstring m_programDir;
    std::wstring m_commandLineProject;
    CKivBuilderInstance* m_instance;
    bool m_projectOpen = false;
    bool m_modified = false;
    bool m_waiting = false;
    bool m_skinLoaded = false;
    bool m_previewRequested = false;
    bool m_buildRequested = false;
    std::wstring m_previewProgram = L"KivPreview.exe";
    CKivGroupItemBox m_groups;
    CKivMultiListCtrl m_list;
    CKivFileBuilder m_builder;
    CWaitScreenDlg m_wait;
    CKivBuildJob m_job;
    CKivExmpView m_startPage;
    CKivExampleList m_examples;
};
