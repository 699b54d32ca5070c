#pragma once
#include <windows.h>

// The window registry: decides which skin object a new window gets.
class CKivWndBox
{
public:
    static CKivWndBox& Instance();
    virtual ~CKivWndBox() = default;

    virtual int OnWindowCreated(HWND window);

    void SetDotNet(bool on) { m_dotNet = on ? 1 : 0; }
    int DotNet() const { return m_dotNet; }

private:
    CKivWndBox() = default;
    CKivWndBox(const CKivWndBox&) = delete;
    CKivWndBox& operator=(const CKivWndBox&) = delete;

    int m_dotNet = 0;
};
