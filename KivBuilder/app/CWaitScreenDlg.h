#pragma once
#include "CKivDialog.h"
#include <string>

// The wait screen shown over the main window while a build runs: a small
// modeless dialog with the animation clip media\Wait.avi playing in the middle.
// Enter and Escape do not close it.
class CWaitScreenDlg : public CKivDialog
{
public:
    enum : int
    {
        kWidth = 300,
        kHeight = 100,
        kClipSide = 100,
    };

    explicit CWaitScreenDlg(const std::wstring& clipPath);
    // Centred in the owner's client area.
    void ShowOver(HWND owner);
    void Hide();
    bool ClipOpened() const { return m_clipOpened; }

protected:
    BOOL OnInitDialog(HWND focus) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    std::wstring m_clipPath;
    HWND m_animation = nullptr;
    bool m_clipOpened = false;
};
