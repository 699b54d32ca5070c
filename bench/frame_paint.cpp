// Non-client painting of a skinned 800x600 frame against the same window
// painted by the system, plus the cost of one skin blit against a plain blit.
// The skin is default.kiv beside the program (or the path given), else a
// generated one.
#include "CKivBmpFile.h"
#include "CKivFrameWnd.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivSkinStore.h"
#include "KivBench.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using kivbench::Now;
using kivbench::Pump;
using kivbench::SkinPath;

const int kRepaints = 1000;

// A generated skin: flat pieces with black corners in a 128x64 atlas.
void InstallGeneratedSkin()
{
    const int width = 128, height = 64;
    std::vector<unsigned char> image =
        CKivBmpFile::Compose(CKivBmpFile::InfoHeader(width, height, 32), nullptr, width * height * 4);
    DWORD* pixels = reinterpret_cast<DWORD*>(image.data() + 54);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = ((x % 16) < 2 && (y % 16) < 2) ? 0 : (0x203040u + static_cast<DWORD>(x * 0x10101 % 0x7F7F7F));
    CKivSkinStore::CreateAtlas(image.data(), image.size());
    KivSkinSettings& s = CKivSkinStore::Settings();
    auto slot = [](int i) { return RECT{(i % 8) * 16, (i / 8) * 16, (i % 8) * 16 + 16, (i / 8) * 16 + 16}; };
    s.captionBarActiveBmp = slot(0);
    s.captionBarDefaultBmp = slot(1);
    s.borderLeftActiveBmp = s.borderLeftDefaultBmp = slot(2);
    s.borderTopActiveBmp = s.borderTopDefaultBmp = slot(3);
    s.borderRightActiveBmp = s.borderRightDefaultBmp = slot(4);
    s.borderBottomActiveBmp = s.borderBottomDefaultBmp = slot(5);
    s.closeButtonDefaultBmp = slot(6);
    s.maxButtonDefaultBmp = slot(7);
    s.minButtonDefaultBmp = slot(8);
    s.restoreButtonDefaultBmp = slot(9);
    s.captionBarHeight = 30;
    s.captionBarButtonWidth = 26;
    s.captionBarButtonHeight = 20;
    s.captionBarButtonSpace = 2;
    s.borderLeftWidth = s.borderTopWidth = s.borderRightWidth = s.borderBottomWidth = 4;
    s.edgeHideShadow = 1;
}

HWND CreateFrame()
{
    // Both frames carry the same menu bar: the skinned one lays out, draws and tracks its own.
    HMENU menu = CreateMenu();
    const wchar_t* items[] = {L"&File", L"&Edit", L"&View", L"&Window", L"&Help"};
    for (const wchar_t* item : items)
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), item);
    return kivbench::CreateFrameWindow(L"Kiv frame paint", 20, 20, 800, 600, menu);
}

void Show(HWND window)
{
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    UpdateWindow(window);
    Pump();
}

// Median microseconds of one full non-client repaint.
double MeasureRepaints(HWND window)
{
    std::vector<double> times;
    times.reserve(kRepaints);
    for (int i = 0; i < 50; ++i)
        SendMessageW(window, WM_NCPAINT, 1, 0);
    for (int i = 0; i < kRepaints; ++i)
    {
        const double start = Now();
        SendMessageW(window, WM_NCPAINT, 1, 0);
        GdiFlush();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <typename F>
double MedianOf(int count, F f)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i)
    {
        const double start = Now();
        f();
        GdiFlush();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const std::wstring path = SkinPath(argc, argv);
    const bool loaded = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES && CKivSkinStore::LoadSkin(path.c_str()) &&
                        CKivSkinStore::Atlas() != nullptr;
    if (!loaded)
        InstallGeneratedSkin();
    printf("skin: %s\n", loaded ? "default.kiv" : "generated");

    HWND plain = CreateFrame();
    Show(plain);
    const double system = MeasureRepaints(plain);
    int flip = 0;
    const double plainResize = MedianOf(200, [&] {
        SetWindowPos(plain, nullptr, 0, 0, 800 + (++flip & 1) * 10, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
    printf("system resize %.1f us\n", plainResize);
    DestroyWindow(plain);

    HWND skinned = CreateFrame();
    CKivFrameWnd frame;
    frame.Attach(skinned);
    Show(skinned);
    SendMessageW(skinned, WM_ACTIVATE, WA_ACTIVE, 0);
    const double skin = MeasureRepaints(skinned);
    printf("non-client repaint, 800x600, median of %d: system %.1f us, skinned %.1f us\n", kRepaints, system, skin);

    int round = 0;
    const double activate = MedianOf(200, [&] { SendMessageW(skinned, WM_ACTIVATE, (++round & 1) ? WA_INACTIVE : WA_ACTIVE, 0); });
    const double resize = MedianOf(200, [&] {
        SetWindowPos(skinned, nullptr, 0, 0, 800 + (++round & 1) * 10, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
    const double redraw = MedianOf(200, [&] {
        RedrawWindow(skinned, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    });
    printf("skinned activation change %.1f us, resize %.1f us, full redraw %.1f us\n", activate, resize, redraw);

    HDC screen = GetDC(nullptr);
    CKivHDCMemory target(screen, 800, 30);
    CKivHDCMemory source(screen, 800, 30);
    const RECT& caption = CKivSkinStore::Settings().captionBarActiveBmp;
    const double blit = MedianOf(500, [&] { BitBlt(target.GetDC(), 0, 0, 800, 30, source.GetDC(), 0, 0, SRCCOPY); });
    const double skinBlit = MedianOf(500, [&] { CKivGraphics::StretchBltFromSkin(target.GetDC(), 0, 0, 800, 30, &caption); });
    const double keyed = MedianOf(100, [&] { CKivGraphics::StretchBltFromSkinKeyed(target.GetDC(), 0, 0, 800, 30, &caption); });
    ReleaseDC(nullptr, screen);
    printf("800x30: BitBlt %.1f us, StretchBltFromSkin %.1f us (%.2fx), keyed TransparentBlt path %.1f us\n", blit,
           skinBlit, skinBlit / blit, keyed);

    frame.Detach();
    DestroyWindow(skinned);
    printf("ratio: %.2f\n", skin / system);
    return 0;
}
