#pragma once
#include <string>
#include "CKivDirectBase.h"

// A flat colour button drawn inside a host window: a filled rectangle with a
// centred caption (optionally rotated) and an optional down arrow. It shows
// hot while hovered and pressed while the host holds the mouse for it.
class CKivDirectButton : public CKivDirectBase
{
public:
    enum State
    {
        StateNormal = 1,
        StateHot = 2,
        StatePressed = 3
    };

    CKivDirectButton() = default;
    ~CKivDirectButton() override = default;

    // The base's bounds, plus state normal, horizontal text, no arrow and
    // the default colours.
    int Init(int x, int y, int width, int height, HWND host) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Paints the normal state at the new place when the bounds changed.
    int SetBounds(int x, int y, int width, int height) override;

    // Draws one state onto the host at once and records it.
    void Paint(int state);
    // Draws one state into dc (host client coordinates) without recording it.
    void Draw(HDC dc, int state) const;

    int PaintState() const { return m_state; }
    const std::wstring& Text() const { return m_text; }
    void SetText(const std::wstring& text) { m_text = text; }
    void SetVerticalText(int vertical) { m_verticalText = vertical; }
    // The font of a horizontal caption (not owned); null: the skin's font.
    void SetFont(HFONT font) { m_font = font; }
    void SetArrow(int arrow) { m_arrow = arrow; }
    void SetColors(COLORREF normal, COLORREF hot, COLORREF pressed);
    COLORREF ColorOf(int state) const;

protected:
    // Hot painting plus TME_HOVER/TME_LEAVE tracking on the host.
    void PaintHotAndTrack();

    int m_state = StateNormal;
    std::wstring m_text;
    int m_verticalText = 0;
    HFONT m_font = nullptr;
    COLORREF m_normalColor = 0xE00000;
    COLORREF m_hotColor = 0xB00000;
    COLORREF m_pressedColor = 0x990000;
    int m_arrow = 0;
};
