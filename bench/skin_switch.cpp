// One skin switch with 50 skinned controls open (and the dialog that holds
// them) against loading the same skin alone, with no window to tell. The
// switch is timed from the load call until every window has repainted;
// default.kiv and dark.kiv beside the program take turns, so that each
// measured load really changes the skin.
#include "CKivEngine.h"
#include "CKivSkinStore.h"
#include "KivBench.h"
#include "KivControlGallery.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using kivbench::Now;

const int kControls = 50;
const int kRounds = 41;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main()
{
    // default.kiv beside the program, and dark.kiv beside it.
    const std::wstring light = kivbench::SkinPath(0, nullptr);
    const std::wstring skins[2] = {light.substr(0, light.find_last_of(L"\\/") + 1) + L"dark.kiv", light};
    CKivEngine& engine = CKivEngine::Instance();
    if (!engine.LoadSkin(skins[1].c_str()) || !engine.Run())
    {
        wprintf(L"could not load %ls or start the engine\n", skins[1].c_str());
        return 1;
    }
    kivtest::ControlGallery gallery(0, 0, kControls);
    if (static_cast<int>(gallery.Controls().size()) != kControls || !kivtest::PumpPaints())
    {
        wprintf(L"could not open the controls\n");
        return 1;
    }
    // Warm-up: both skins' pieces and brushes made once.
    for (int i = 0; i < 4; ++i)
    {
        engine.LoadSkin(skins[i % 2].c_str());
        kivtest::PumpPaints();
    }

    std::vector<double> switches;
    std::vector<double> loads;
    bool ok = true;
    for (int i = 0; i < kRounds && ok; ++i)
    {
        // The load alone: the store takes the skin, no window hears of it.
        double start = Now();
        ok = CKivSkinStore::LoadSkin(skins[i % 2].c_str());
        loads.push_back(Now() - start);
        // Back to the other skin unmeasured, so the switch changes the skin.
        ok = ok && CKivSkinStore::LoadSkin(skins[(i + 1) % 2].c_str());
        start = Now();
        ok = ok && engine.LoadSkin(skins[i % 2].c_str()) && kivtest::PumpPaints();
        GdiFlush();
        switches.push_back(Now() - start);
    }
    if (!ok)
    {
        wprintf(L"a load failed\n");
        return 1;
    }
    const double load = Median(loads);
    const double change = Median(switches);
    const double ratio = change / load;
    wprintf(L"switch with %d controls open %10.1f us   baseline (skin load alone) %10.1f us\n", kControls, change,
            load);
    wprintf(L"ratio: %.2f\n", ratio);
    engine.Stop();
    return 0;
}
