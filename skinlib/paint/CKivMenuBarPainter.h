#pragma once
#include <windows.h>
#include <vector>
#include "CKivMenuBar.h"

// Draws a laid-out menu bar: the skin's bar background, the top-level
// items in their states, and a maximised MDI child's buttons. The context
// has the bar's font selected and its origin at the window's top-left.
class CKivMenuBarPainter
{
public:
    CKivMenuBarPainter(HWND window, HDC surface, int dpi) : m_window(window), m_surface(surface), m_dpi(dpi) {}

    // pushedItem: the item shown pressed (-1 for none); keyboardCues: the
    // mnemonics are underlined.
    void Paint(const RECT& bar, const std::vector<CKivMenuBar::Item>& items,
               const std::vector<CKivMenuBar::Button>& buttons, int pushedItem, bool keyboardCues, HWND activeChild);

private:
    void PaintButton(const CKivMenuBar::Button& button, HWND activeChild);

    HWND m_window;
    HDC m_surface;
    int m_dpi;
};
