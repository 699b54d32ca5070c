#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "CKivCommandMap.h"

// A dialog from a template resource (or an in-memory template), shown modally
// with DoModal or modeless with Create. DialogProc unpacks each message and
// calls the matching virtual OnX handler; the object must outlive its window.
class CKivDialog
{
public:
    explicit CKivDialog(UINT templateId, HINSTANCE module = nullptr);
    // The template must stay valid while the dialog is being created.
    explicit CKivDialog(const DLGTEMPLATE* templateData, HINSTANCE module = nullptr);
    virtual ~CKivDialog();
    CKivDialog(const CKivDialog&) = delete;
    CKivDialog& operator=(const CKivDialog&) = delete;

    // Runs the dialog's own modal loop; the result given to EndDialog, or -1
    // when the dialog could not be created.
    INT_PTR DoModal(HWND parent = nullptr);
    // Creates a modeless dialog (a child dialog when the template says WS_CHILD).
    // Top-level modeless dialogs join the thread's message loop.
    bool Create(HWND parent);
    // Modal: ends the modal loop with result. Modeless: destroys the window.
    void EndDialog(INT_PTR result);

    HWND Handle() const { return m_hwnd; }
    bool IsModal() const { return m_modal; }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    std::wstring ItemText(int id) const;
    void SetItemText(int id, const wchar_t* text) const { SetDlgItemTextW(m_hwnd, id, text); }
    bool IsChecked(int id) const { return IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED; }
    void EnableItem(int id, bool enable) const { EnableWindow(Item(id), enable ? TRUE : FALSE); }

    CKivCommandMap& Commands() { return m_commands; }
    static CKivDialog* FromHandle(HWND window);
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

protected:
    // Return values follow the dialog procedure rules: true when handled.
    virtual BOOL OnInitDialog(HWND focus);
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Set the answer with SetResult; return true when handled.
    virtual bool OnNotify(int id, NMHDR* header);
    virtual bool OnSysCommand(UINT command, LPARAM lParam);
    virtual bool OnPaint() { return false; }
    virtual HCURSOR OnQueryDragIcon() { return nullptr; }
    virtual bool OnHScroll(HWND bar, UINT code, int position);
    virtual bool OnVScroll(HWND bar, UINT code, int position);
    virtual bool OnShowWindow(bool show);
    virtual bool OnSize(UINT type, int width, int height);
    virtual bool OnDestroy() { return false; }
    // Any message the switch does not name; FALSE passes it on.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // The answer of a notification (DWLP_MSGRESULT).
    void SetResult(LRESULT result) const { SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result); }

private:
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void OnFinalDestroy();

    LPCWSTR m_template;
    const DLGTEMPLATE* m_templateData;
    HINSTANCE m_module;
    HWND m_hwnd = nullptr;
    bool m_modal = false;
    CKivCommandMap m_commands;
};
