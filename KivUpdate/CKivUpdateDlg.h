#pragma once
#include "CKivDialog.h"
#include "CKivGdiObject.h"
#include "CKivUpdateChecker.h"
#include <string>

// The main dialog (resource 102): the outcome of the last check, a button to
// check again, one that opens the new version's download address, and the
// About command in the system menu. A check starts when the dialog opens.
class CKivUpdateDlg : public CKivDialog
{
public:
    // module: where the dialog resources live (null: the program file).
    explicit CKivUpdateDlg(std::wstring folder = CKivApp::ProgramFolder(), HINSTANCE module = nullptr);

    // How long closing waits for a running check after aborting it. (The
    // worker never blocks on the network itself, so it ends at once.)
    static constexpr DWORD kCloseWaitMs = 2000;

    // The text a result shows: the result itself and, on a line of its own,
    // what it means (listPath: where the update list lives). Empty for a
    // result that leaves the text as it is.
    static std::wstring ResultText(int code, const std::wstring& version, const std::wstring& address,
                                   const std::wstring& listPath);
    // The download address the button opens (canonical), empty when none.
    const std::wstring& DownloadAddress() const { return m_address; }

protected:
    BOOL OnInitDialog(HWND focus) override;
    bool OnSysCommand(UINT command, LPARAM lParam) override;
    bool OnDestroy() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void AddAboutToSystemMenu();
    void StartCheck();
    void OnDownload();
    INT_PTR OnCtlColor(HDC dc);
    INT_PTR OnCheckResult(int code, LPARAM lParam);

    HICON m_icon;
    HICON m_smallIcon;
    CKivBrush m_white;
    CKivUpdateChecker m_checker;
    std::wstring m_address;
    HINSTANCE m_resources;
};
