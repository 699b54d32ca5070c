#pragma once
#include "CKivWndImpl.h"
#include "CKivExampleList.h"
#include "CKivPaneScrollBar.h"
#include <memory>
#include <vector>

namespace Gdiplus
{
class Image;
}

// The start page: the example skins as a vertical strip of thumbnails, each
// with its name below, under a fixed band that says what the mouse does. A
// double click opens an example's project (3585); the context menu previews
// it (3586) or opens it (3587). Each command is posted to the parent as
// WM_KIV_EXAMPLE_COMMAND with the example's index and the list's generation.
class CKivExmpView : public CKivWndImpl
{
public:
    enum : int
    {
        kWidth = 203,
        kHeight = 400,
        kThumbX = 5,
        kThumbWidth = 170,
        kThumbHeight = 148,
        kGap = 10,
        kScrollX = 187,
        kScrollWidth = 16,
        kWheelDistance = 100,
        kWheelStep = 2,
        kTimer = 1,
        kHintHeight = 44,  // the fixed band at the top
        kNameHeight = 20,  // the name below each thumbnail
    };
    // The two lines of the band.
    static const wchar_t* const kHint[2];

    CKivExmpView();
    ~CKivExmpView() override;

    bool Create(HWND parent, int x, int y);
    void SetExamples(const std::vector<KivExample>& examples);
    const std::vector<KivExample>& Examples() const { return m_examples; }
    DWORD Generation() const { return m_generation; }
    const KivExample* ExampleOf(WPARAM index, LPARAM generation) const;
    // The example whose thumbnail or name is at a client point, or -1.
    int HitTest(POINT point) const;
    RECT ThumbRect(int index) const;
    RECT NameRect(int index) const;
    int Offset() const { return m_offset; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int ContentHeight() const;
    void ScrollTo(int offset);
    void Post(UINT command, int index);
    void Draw(HDC target);
    LRESULT OnPaint();
    LRESULT OnPrintClient(HDC dc);
    LRESULT OnMouseMove(POINT point);
    LRESULT OnMouseLeave();
    LRESULT OnButton(POINT point, bool down);
    LRESULT OnDoubleClick(POINT point);
    LRESULT OnContextMenu(POINT point);
    LRESULT OnWheel(int delta);
    LRESULT OnTimer();
    LRESULT OnVScroll(UINT code, int track);

    std::vector<KivExample> m_examples;
    std::vector<std::unique_ptr<Gdiplus::Image>> m_thumbnails;
    CKivPaneScrollBar m_scrollBar;
    DWORD m_generation = 1;
    int m_offset = 0;
    int m_target = 0;
    int m_hot = -1;
    int m_pressed = -1;
    bool m_tracking = false;
};
