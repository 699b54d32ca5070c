#pragma once
// Windows with one control of every kind the engine skins, laid out in a
// grid on a dialog, and a frame with a menu bar: the same set can be built
// twice and compared pixel by pixel. Made while the engine's hook runs, they
// are skinned like any host's windows.
#include <windows.h>
#include <string>
#include <vector>

namespace kivtest {

struct GalleryControl
{
    std::wstring kind;  // e.g. L"list view"
    HWND window;
};

class ControlGallery
{
public:
    // The kinds one gallery holds when count is 0.
    static int KindCount();

    // A visible dialog with a caption at (x, y) holding count controls, the
    // kinds taken in turn (count 0: one of each kind). The lists, tabs and
    // trees get items, the ranges a position, the radio and check a check.
    ControlGallery(int x, int y, int count = 0);
    ~ControlGallery();
    ControlGallery(const ControlGallery&) = delete;
    ControlGallery& operator=(const ControlGallery&) = delete;

    HWND Dialog() const { return m_dialog; }
    const std::vector<GalleryControl>& Controls() const { return m_controls; }

private:
    HWND m_dialog = nullptr;
    std::vector<GalleryControl> m_controls;
};

// A visible top-level frame of a plain class with a menu bar of three items
// (File, Edit, Help) and a client of width x height; destroy it with DestroyWindow.
HWND CreateMenuFrame(const wchar_t* title, int x, int y, int width, int height);

// Pumps until this thread has nothing left to paint (bounded).
bool PumpPaints(DWORD timeoutMs = 5000);

}  // namespace kivtest
