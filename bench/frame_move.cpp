// Moving a skinned 800x600 frame with its glow against the same skinned frame
// without a glow: 1,000 moves each, median per move. The glow only moves on a
// move; its picture is painted again only when the size changes.
#include "CKivFrameWnd.h"
#include "CKivSkinStore.h"
#include "KivBench.h"
#include "KivTestSkin.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int kMoves = 1000;

using kivbench::Now;
using kivbench::Pump;

// Median microseconds of one move of a shown skinned frame, with or without its glow.
double MeasureMoves(bool glow, bool* hadGlow)
{
    CKivSkinStore::Settings().edgeHideShadow = glow ? 0 : 1;
    HWND window = kivbench::CreateFrameWindow(L"Kiv frame move", 40, 40, 800, 600);
    CKivFrameWnd frame;
    frame.Attach(window);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    Pump();
    *hadGlow = frame.Glow().Window() != nullptr && IsWindowVisible(frame.Glow().Window());
    std::vector<double> times;
    times.reserve(kMoves);
    for (int i = 0; i < kMoves + 50; ++i)
    {
        // Each move with what it leaves to do (paint messages), as a user would wait for it.
        const double start = Now();
        SetWindowPos(window, nullptr, 40 + (i % 40), 40 + (i % 25), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
        GdiFlush();
        const double spent = Now() - start;
        if (i >= 50)  // the first moves warm up
            times.push_back(spent);
    }
    frame.Detach();
    DestroyWindow(window);
    Pump();
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main()
{
    kivtest::skin::Install();
    CKivSkinStore::Settings().edgeShadowColor = static_cast<int>(RGB(0x28, 0x30, 0x3C));
    bool withGlow = false, withoutGlow = true;
    // Alternating rounds, best of three each, so drift in the machine's load hits both alike.
    double glow = 1e30, plain = 1e30;
    for (int round = 0; round < 3; ++round)
    {
        plain = std::min(plain, MeasureMoves(false, &withoutGlow));
        glow = std::min(glow, MeasureMoves(true, &withGlow));
    }
    printf("frame 800x600, median of %d moves: without glow %.1f us (glow shown: %s), with glow %.1f us (glow shown: %s)\n",
           kMoves, plain, withoutGlow ? "yes" : "no", glow, withGlow ? "yes" : "no");
    printf("ratio: %.2f\n", glow / plain);
    return withGlow && !withoutGlow ? 0 : 1;
}
