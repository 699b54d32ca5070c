// A list box filled with 10,000 strings (redraw off) and fully repainted, then scrolled
// 1,000 lines with a repaint after each: skinned against the same thread with
// only a call-window hook installed (under Wine any such hook costs a server
// round trip per sent message), and that hook against no hook at all.
#include "CKivEngine.h"
#include "CKivListBox.h"
#include "KivBench.h"
#include "KivControlTestHost.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

int g_items = 10000;
int g_lines = 1000;
const int kRounds = 3;

// Milliseconds from the performance counter.
double Now()
{
    return kivbench::Now() / 1000.0;
}

HHOOK g_bareHook = nullptr;
LRESULT CALLBACK EmptyHook(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(g_bareHook, code, wParam, lParam);
}

enum Mode
{
    Plain,
    BareHook,
    Skinned
};

struct Times
{
    double fill = 0;    // ms for the strings and the full repaint
    double scroll = 0;  // ms for the line scrolls and their repaints
    bool skinned = false;
};

void Drain()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

Times Round(HWND host, Mode mode)
{
    CKivEngine& engine = CKivEngine::Instance();
    if (mode == BareHook)
        g_bareHook = SetWindowsHookExW(WH_CALLWNDPROC, &EmptyHook, nullptr, GetCurrentThreadId());
    if (mode == Skinned)
        engine.Run();
    Times times;
    const HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOTIFY |
                                      LBS_NOINTEGRALHEIGHT, 10, 10, 220, 300, host, nullptr, GetModuleHandleW(nullptr),
                                      nullptr);
    times.skinned = dynamic_cast<CKivListBox*>(CKivWnd::FromHandle(list)) != nullptr;
    Drain();
    wchar_t text[32] = {};
    double start = Now();
    // A bulk fill as hosts do it: redraw off, then one full repaint.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < g_items; ++i)
    {
        wsprintfW(text, L"list item number %d", i);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    Drain();
    times.fill = Now() - start;
    start = Now();
    for (int i = 0; i < g_lines; ++i)
    {
        SendMessageW(list, WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(list);
    }
    Drain();
    times.scroll = Now() - start;
    DestroyWindow(list);
    Drain();
    if (mode == Skinned)
        engine.Stop();
    if (mode == BareHook)
        UnhookWindowsHookEx(g_bareHook);
    return times;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main()
{
    // KIV_BENCH_ITEMS=n scales the run down for a quick look.
    char scale[16] = {};
    if (GetEnvironmentVariableA("KIV_BENCH_ITEMS", scale, sizeof(scale)) > 0 && atoi(scale) > 0)
    {
        g_items = atoi(scale);
        g_lines = g_items / 10;
    }
    kivtest::InstallControlSkin();
    kivtest::ControlHost host(true, 260, 340);
    Round(host.Window(), Plain);  // warm-up: classes, fonts
    Round(host.Window(), Skinned);
    std::vector<double> fill[3], scroll[3];
    bool allSkinned = true;
    for (int i = 0; i < kRounds; ++i)
        for (int mode = Plain; mode <= Skinned; ++mode)
        {
            const Times t = Round(host.Window(), static_cast<Mode>(mode));
            fprintf(stderr, "round %d mode %d: fill %.1f ms, scroll %.1f ms\n", i, mode, t.fill, t.scroll);
            fflush(stderr);
            fill[mode].push_back(t.fill);
            scroll[mode].push_back(t.scroll);
            if (mode == Skinned)
                allSkinned = allSkinned && t.skinned;
        }
    const char* names[3] = {"no hook", "call-window hook only", "skinned"};
    printf("list box, %d LB_ADDSTRING + full repaint, then %d line scrolls with repaint; median of %d rounds (ms):\n",
           g_items, g_lines, kRounds);
    for (int mode = Plain; mode <= Skinned; ++mode)
        printf("  %-22s fill %8.1f  scroll %8.1f  total %8.1f\n", names[mode], Median(fill[mode]), Median(scroll[mode]),
               Median(fill[mode]) + Median(scroll[mode]));
    const double plain = Median(fill[Plain]) + Median(scroll[Plain]);
    const double bare = Median(fill[BareHook]) + Median(scroll[BareHook]);
    const double skinned = Median(fill[Skinned]) + Median(scroll[Skinned]);
    printf("  hook vs no hook: %.2fx\n", plain > 0 ? bare / plain : 0.0);
    printf("  skin object on every skinned list: %s\n", allSkinned ? "yes" : "NO");
    printf("ratio: %.2f\n", bare > 0 ? skinned / bare : 0.0);
    return allSkinned ? 0 : 1;
}
