#include "KivTextSample.h"
#include <algorithm>
#include <map>
#include "CKivTextContrast.h"

namespace kivtest {

TextSample SampleText(const Canvas& canvas, const RECT& area)
{
    TextSample sample;
    RECT bounds = {0, 0, canvas.Width(), canvas.Height()};
    RECT inside = {};
    if (!IntersectRect(&inside, &area, &bounds))
        return sample;
    std::map<COLORREF, int> counts;
    for (int y = inside.top; y < inside.bottom; ++y)
        for (int x = inside.left; x < inside.right; ++x)
            ++counts[canvas.Pixel(x, y)];
    int most = 0;
    for (const auto& entry : counts)
        if (entry.second > most)
        {
            most = entry.second;
            sample.background = entry.first;
        }
    const int total = (inside.right - inside.left) * (inside.bottom - inside.top);
    // Anti-aliased text spreads over many shades; its core colour is still
    // among the more frequent ones.
    const int enough = std::max(2, (total - most) / 50);
    for (const auto& entry : counts)
    {
        const double ratio = CKivTextContrast::ContrastRatio(entry.first, sample.background);
        if (ratio >= 1.5)
            sample.inkPixels += entry.second;
        if (entry.second >= enough && ratio > sample.ratio)
        {
            sample.ratio = ratio;
            sample.ink = entry.first;
        }
    }
    return sample;
}

double DarkShare(const Canvas& canvas)
{
    const int total = canvas.Width() * canvas.Height();
    if (total <= 0)
        return 0.0;
    int dark = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
        {
            const COLORREF c = canvas.Pixel(x, y);
            const double luma = 0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c);
            dark += luma < 0.35 * 255.0 ? 1 : 0;
        }
    return static_cast<double>(dark) / total;
}

}  // namespace kivtest
