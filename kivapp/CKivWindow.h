#pragma once
#include <windows.h>
#include <commctrl.h>
#include "CKivCommandMap.h"

// An ordinary window of a registered class, bound to its object from
// WM_NCCREATE to WM_NCDESTROY. WindowProc unpacks the messages the programs
// need and calls a virtual OnX handler; handlers that want the system's
// behaviour as well return Default(), which runs the class's default
// procedure (DefWindowProc, DefFrameProc or DefMDIChildProc) on the message.
class CKivWindow
{
public:
    CKivWindow() = default;
    virtual ~CKivWindow();
    CKivWindow(const CKivWindow&) = delete;
    CKivWindow& operator=(const CKivWindow&) = delete;

    // Registers a window class served by WindowProc; true when registered now or before.
    static bool RegisterClass(const wchar_t* className, HICON icon = nullptr, HICON smallIcon = nullptr,
                              HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), UINT style = 0);

    // rect null: the system's default position and size.
    HWND Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle = 0,
                const RECT* rect = nullptr, HWND parent = nullptr, HMENU menuOrId = nullptr);

    HWND Handle() const { return m_hwnd; }
    static CKivWindow* FromHandle(HWND window);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    CKivCommandMap& Commands() { return m_commands; }
    // A command travels along the targets that may handle it; true when one did.
    virtual bool RouteCommand(UINT id);
    virtual bool QueryCommand(UINT id, bool& enabled, bool& checked) const;

protected:
    virtual LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default procedure's answer to the message being handled.
    LRESULT Default();

    virtual LRESULT OnCreate(CREATESTRUCTW* create);
    virtual LRESULT OnCommand(UINT id, UINT code, HWND control);
    virtual LRESULT OnNotify(int id, NMHDR* header);
    virtual LRESULT OnSize(UINT type, int width, int height);
    virtual LRESULT OnPaint();
    virtual LRESULT OnSetFocus(HWND previous);
    virtual LRESULT OnClose();
    virtual LRESULT OnDestroy();
    virtual LRESULT OnInitMenuPopup(HMENU menu, UINT index, bool systemMenu);
    virtual LRESULT OnMdiActivate(HWND deactivated, HWND activated);
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // After WM_NCDESTROY, when the handle is gone; the object may delete itself here.
    virtual void OnFinalMessage() {}

    // Enables, greys and checks the items of a menu by asking the command targets.
    void UpdateMenuItems(HMENU menu) const;

private:
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    struct Current
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    HWND m_hwnd = nullptr;
    Current m_current = {0, 0, 0};
    CKivCommandMap m_commands;
};
