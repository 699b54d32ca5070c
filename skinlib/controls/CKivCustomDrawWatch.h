#pragma once
#include <windows.h>
#include <vector>
#include "CKivHookedWindows.h"

// Notes the answers a control's parent gives to the control's custom draw
// notifications (and which other notifications it sent) while the control paints once (a short-lived
// WH_CALLWNDPROCRET hook of the thread). A skin whose parent does not hand
// those notifications over reads here whether the host changed anything.
class CKivCustomDrawWatch
{
public:
    struct Answer
    {
        DWORD stage;
        DWORD_PTR item;
        LRESULT answer;
    };

    explicit CKivCustomDrawWatch(HWND control);
    ~CKivCustomDrawWatch();
    CKivCustomDrawWatch(const CKivCustomDrawWatch&) = delete;
    CKivCustomDrawWatch& operator=(const CKivCustomDrawWatch&) = delete;

    const std::vector<Answer>& Answers() const { return m_answers; }
    // True when every stage the host answered, it answered with 0 (it left
    // all drawing to the control).
    bool HostLeftAll() const;
    // Whether the control sent its parent a notification of this code.
    bool Heard(UINT code) const;

private:
    static CKivHookedWindows& Watched();
    static std::vector<CKivCustomDrawWatch*>& Active();
    static LRESULT CALLBACK CallWndRetProc(int code, WPARAM wParam, LPARAM lParam);

    HWND m_control;
    std::vector<Answer> m_answers;
    std::vector<UINT> m_codes;
};
