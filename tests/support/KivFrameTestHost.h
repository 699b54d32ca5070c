#pragma once
// A host window with a skinned frame attached, for the frame tests.
#include <windows.h>
#include <memory>
#include <vector>
#include "CKivFrameWnd.h"
#include "CKivHandle.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"

namespace frametest {

// What the host window procedure saw.
struct HostLog
{
    int closes = 0;
    int menuLoops = 0;
    UINT menuStates[5] = {};
    bool menuStatesRead = false;
    DWORD menuOpenedAt = 0;
};

HostLog& Log();
void ResetLog();

// Host windows of the test class; WM_CLOSE is recorded, not acted on, and an
// opened menu is read and closed again from a timer inside the menu loop.
HWND CreateHost(DWORD style, int x, int y, int width, int height, const wchar_t* title = L"Kiv frame",
                HMENU menu = nullptr, DWORD exStyle = 0);

class SkinnedFrame
{
public:
    explicit SkinnedFrame(DWORD style = WS_OVERLAPPEDWINDOW, int width = 300, int height = 200, bool show = true,
                          HMENU menu = nullptr);
    // Skins a window the test made itself (hidden, of any class), as above.
    SkinnedFrame(HWND window, int width, int height, bool show = true);
    ~SkinnedFrame();
    SkinnedFrame(const SkinnedFrame&) = delete;
    SkinnedFrame& operator=(const SkinnedFrame&) = delete;
    HWND Window() const { return m_window; }
    CKivFrameWnd& Frame() { return *m_frame; }
    // Window rectangle size.
    int Width() const;
    int Height() const;
    // Client origin relative to the window's top-left.
    POINT ClientOrigin() const;
    // A window point in screen coordinates.
    POINT Screen(int x, int y) const;
    LPARAM ScreenParam(int x, int y) const;
    LRESULT HitTest(int x, int y) const;

private:
    void Adopt(HWND window, int width, int height, bool show);

    HWND m_window = nullptr;
    std::unique_ptr<CKivFrameWnd> m_frame;
};

// Sends a button-up and Escape if the test is still stuck in a system modal
// loop after the timeout (a caption click that reached the system).
class ModalGuard
{
public:
    explicit ModalGuard(DWORD timeoutMs = 4000);
    ~ModalGuard();
    bool Fired() const { return m_fired != 0; }

private:
    static DWORD WINAPI Run(void* parameter);
    CKivKernelHandle m_stop;
    CKivThreadHandle m_thread;
    DWORD m_timeout;
    volatile LONG m_fired = 0;
};

// Width of a text (mnemonics processed) in the skin's menu bar font.
int SkinTextWidth(const wchar_t* text);

// Moves the mouse pointer and waits until the system reports it there.
bool MoveCursor(POINT screen);

// A pixel of the screen (the virtual desktop).
COLORREF ScreenPixel(POINT screen);

// Copies the screen from the given top-left corner into the canvas.
void CaptureScreen(POINT topLeft, kivtest::Canvas& canvas);
// With KIV_SCREENSHOT_DIR set, saves the canvas there as a BMP file of that name.
void SaveScreenshot(const kivtest::Canvas& canvas, const wchar_t* name);

}  // namespace frametest
