#pragma once
#include <windows.h>
#include <map>
#include "CKivWndCharset.h"

// Base of the windows the library creates itself (glow windows, auxiliary
// windows). Either the window uses the library's own class, whose procedure
// dispatches through the own-window map, or (subclass flag) an existing
// class whose window is subclassed after creation.
class CKivWndImpl
{
public:
    CKivWndImpl();
    virtual ~CKivWndImpl();
    CKivWndImpl(const CKivWndImpl&) = delete;
    CKivWndImpl& operator=(const CKivWndImpl&) = delete;

    virtual BOOL RegisterWindowClass();
    virtual BOOL Create(const wchar_t* windowName, DWORD style, int x, int y, int width, int height, HWND parent,
                        HMENU menu, void* param, BOOL subclass);
    virtual BOOL CreateEx(const wchar_t* windowName, DWORD style, DWORD exStyle, int x, int y, int width,
                          int height, HWND parent, HMENU menu, void* param, BOOL subclass);
    virtual void Destroy();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND Window() const { return m_hwnd; }
    const wchar_t* ClassName() const { return m_className; }
    RECT WindowRect() const { return RECT{m_left, m_top, m_right, m_bottom}; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    static const wchar_t* DefaultClassName() { return L"KIV.{6FE6C45C-06F9-4F46-ADF7-05E896B33D5D}"; }
    static LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static std::map<HWND, CKivWndImpl*>& OwnWindowMap();
    static CKivWndImpl* FromHandle(HWND window);

protected:
    // The answer of the window's own class: the subclassed procedure, or the
    // default procedure for the library's class.
    LRESULT CallDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    const wchar_t* m_className;
    HINSTANCE m_instance;
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
    int m_width = 0;
    int m_height = 0;
    BOOL m_subclass = FALSE;
    WNDPROC m_previousProc = nullptr;
    // The subclassed window's character set, kept as it was.
    CKivWndCharset m_charset;
    BOOL m_untracked = FALSE;

private:
    // Lets go of the window without destroying it: procedure back, map
    // entry gone, handle cleared.
    void Forget();
    LRESULT OnDestroyMessage(HWND window);
    LRESULT OnCloseMessage();
    LRESULT OnGeometry(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(HWND window, WPARAM wParam, LPARAM lParam);
};
