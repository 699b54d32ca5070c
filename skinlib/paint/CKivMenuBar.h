#pragma once
#include <windows.h>
#include "KivFrameMetrics.h"

// The menu bar of a skinned frame. It sees every message of the frame before
// the frame's own handling; for now it lets every message through, leaves the
// tracking of its menus to the system and only draws the bar itself.
class CKivMenuBar
{
public:
    CKivMenuBar() = default;
    virtual ~CKivMenuBar() = default;
    CKivMenuBar(const CKivMenuBar&) = delete;
    CKivMenuBar& operator=(const CKivMenuBar&) = delete;

    void SetWindow(HWND window) { m_hwnd = window; }
    void SetMetrics(const KivFrameMetrics* metrics) { m_metrics = metrics; }
    HWND Window() const { return m_hwnd; }
    const KivFrameMetrics* Metrics() const { return m_metrics; }

    // 0: the message is finished with result 0; 1: processing continues.
    virtual int HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Draws the bar (background and the top-level items) into the frame's
    // surface, whose origin is the window's top-left corner.
    virtual void Draw(HDC surface, int windowWidth);

private:
    const KivFrameMetrics* m_metrics = nullptr;
    HWND m_hwnd = nullptr;
};
