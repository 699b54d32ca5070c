// Full repaint of the preview host's main dialog with each of its five pages
// shown (every control kind the engine skins), unskinned against skinned in
// the same run. Both dialogs live side by side at the same place and their
// repaints are interleaved, the measured one on top, so that a change of load
// on the machine weighs on both alike. The skinned one is created while the
// engine's hook runs; the ratio is taken with the hook removed again (the
// skin objects' painting alone), and the same is printed with the hook
// installed, which every message of the thread then pays. The skin is
// default.kiv beside the program (or the path given).
#include "CKivEngine.h"
#include "CKivPreviewDlg.h"
#include "KivBench.h"
#include "KivPreviewRes.h"
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using kivbench::Now;
using kivbench::Pump;
using kivbench::SkinPath;

const int kRepaints = 25;

// Shows one page the way a click on its tab does.
void ShowPage(HWND dialog, int index)
{
    const HWND tab = GetDlgItem(dialog, IDC_TAB);
    SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR header = {tab, IDC_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog, WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&header));
    Pump();
}

void Repaint(HWND dialog)
{
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
}

// Puts the dialog on top and active, with everything that exposes painted.
void Raise(HWND dialog)
{
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(dialog);
    Pump();
}

struct Medians
{
    std::vector<double> plain;
    std::vector<double> skinned;
};

// Median microseconds of one full repaint (frame, background, every child)
// of each dialog with each page shown.
Medians MeasurePages(HWND plain, HWND skinned)
{
    Medians medians;
    const HWND dialogs[2] = {plain, skinned};
    for (int page = 0; page < CKivPreviewDlg::kPageCount; ++page)
    {
        std::vector<double> times[2];
        for (int which = 0; which < 2; ++which)
        {
            ShowPage(dialogs[which], page);
            Raise(dialogs[which]);
            for (int i = 0; i < 3; ++i)
                Repaint(dialogs[which]);
        }
        for (int i = 0; i < kRepaints; ++i)
        {
            for (int turn = 0; turn < 2; ++turn)
            {
                const int which = (i + turn) % 2;
                Raise(dialogs[which]);
                const double start = Now();
                Repaint(dialogs[which]);
                times[which].push_back(Now() - start);
            }
        }
        for (auto& each : times)
            std::sort(each.begin(), each.end());
        medians.plain.push_back(times[0][times[0].size() / 2]);
        medians.skinned.push_back(times[1][times[1].size() / 2]);
    }
    return medians;
}

bool Create(CKivPreviewDlg& dialog)
{
    if (!dialog.Create(nullptr))
        return false;
    SetWindowPos(dialog.Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(dialog.Handle(), SW_SHOW);
    UpdateWindow(dialog.Handle());
    Pump();
    return true;
}

double Print(const char* title, const Medians& medians)
{
    double plainTotal = 0;
    double skinTotal = 0;
    printf("%s\n", title);
    for (size_t page = 0; page < medians.plain.size(); ++page)
    {
        printf("  page %u full repaint, median of %d: unskinned %.0f us, skinned %.0f us (%.2fx)\n",
               static_cast<unsigned>(page + 1), kRepaints, medians.plain[page], medians.skinned[page],
               medians.skinned[page] / medians.plain[page]);
        plainTotal += medians.plain[page];
        skinTotal += medians.skinned[page];
    }
    printf("  five pages: unskinned %.0f us, skinned %.0f us (%.2fx)\n", plainTotal, skinTotal, skinTotal / plainTotal);
    return skinTotal / plainTotal;
}

}  // namespace

int main(int argc, char** argv)
{
    InitCommonControls();
    const std::wstring path = SkinPath(argc, argv);
    CKivEngine& engine = CKivEngine::Instance();
    if (!engine.LoadSkin(path.c_str()))
    {
        printf("no skin at the given path or beside the program\nratio: 0.00\n");
        return 1;
    }
    CKivPreviewDlg plain;
    CKivPreviewDlg skinned;
    bool created = Create(plain);
    engine.Run();
    created = Create(skinned) && created;
    engine.Stop();
    if (!created)
    {
        printf("the preview dialog could not be created\nratio: 0.00\n");
        return 1;
    }
    const double ratio =
        Print("hook removed after creation (the skin's painting alone):", MeasurePages(plain.Handle(), skinned.Handle()));
    engine.Run();
    Print("hook installed (every message of the thread pays for it, both dialogs alike):",
          MeasurePages(plain.Handle(), skinned.Handle()));
    engine.Stop();
    DestroyWindow(skinned.Handle());
    DestroyWindow(plain.Handle());
    Pump();
    printf("ratio: %.2f\n", ratio);
    return 0;
}
