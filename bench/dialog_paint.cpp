// Full repaint of the preview host's main dialog with each of its five pages
// shown (every control kind the engine skins), unskinned and skinned in the
// same run. The skin is default.kiv beside the program (or the path given).
// The skinned dialog is created and repainted with the engine's hook
// installed, as a host runs it.
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

// Median microseconds of one full repaint (frame, background, every child)
// of the dialog with each page shown.
std::vector<double> MeasurePages(HWND dialog)
{
    std::vector<double> medians;
    for (int page = 0; page < CKivPreviewDlg::kPageCount; ++page)
    {
        ShowPage(dialog, page);
        auto repaint = [dialog] {
            RedrawWindow(dialog, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            GdiFlush();
        };
        for (int i = 0; i < 3; ++i)
            repaint();
        std::vector<double> times;
        for (int i = 0; i < kRepaints; ++i)
        {
            const double start = Now();
            repaint();
            times.push_back(Now() - start);
        }
        std::sort(times.begin(), times.end());
        medians.push_back(times[times.size() / 2]);
        Pump();
    }
    return medians;
}

std::vector<double> Run(bool skinned)
{
    CKivEngine& engine = CKivEngine::Instance();
    if (skinned)
        engine.Run();
    CKivPreviewDlg dialog;
    std::vector<double> medians;
    if (dialog.Create(nullptr))
    {
        ShowWindow(dialog.Handle(), SW_SHOW);
        SetForegroundWindow(dialog.Handle());
        UpdateWindow(dialog.Handle());
        Pump();
        medians = MeasurePages(dialog.Handle());
        DestroyWindow(dialog.Handle());
        Pump();
    }
    if (skinned)
        engine.Stop();
    return medians;
}

}  // namespace

int main(int argc, char** argv)
{
    InitCommonControls();
    const std::wstring path = SkinPath(argc, argv);
    if (!CKivEngine::Instance().LoadSkin(path.c_str()))
    {
        printf("no skin at the given path or beside the program\nratio: 0.00\n");
        return 1;
    }
    const std::vector<double> system = Run(false);
    const std::vector<double> skin = Run(true);
    if (system.size() != CKivPreviewDlg::kPageCount || skin.size() != system.size())
    {
        printf("the preview dialog could not be created\nratio: 0.00\n");
        return 1;
    }
    double systemTotal = 0;
    double skinTotal = 0;
    for (size_t page = 0; page < system.size(); ++page)
    {
        printf("page %u full repaint, median of %d: unskinned %.0f us, skinned %.0f us (%.2fx)\n",
               static_cast<unsigned>(page + 1), kRepaints, system[page], skin[page], skin[page] / system[page]);
        systemTotal += system[page];
        skinTotal += skin[page];
    }
    printf("five pages: unskinned %.0f us, skinned %.0f us\n", systemTotal, skinTotal);
    printf("ratio: %.2f\n", skinTotal / systemTotal);
    return 0;
}
