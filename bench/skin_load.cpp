// Skin load against its floor: reading the file and decrypting both sections.
// Everything the load adds on top (XML walk, atlas checks, DIB section, pixel
// copy) shows as the ratio. Two skins: every key with a small atlas, and a
// 1024x1024x32 atlas.
#include "CKivAes.h"
#include "CKivSkinSchema.h"
#include "CKivSkinStore.h"
#include "KivBench.h"
#include "KivSkinFile.h"
#include "KivTestSupport.h"
#include <windows.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes SettingsDocument()
{
    const std::string xml = kivtest::SchemaDocument([](size_t i, bool isRect) {
        const std::string n = std::to_string(i);
        return isRect ? "left=\"" + n + "\" top=\"0\" right=\"" + std::to_string(i + 8) + "\" bottom=\"8\""
                      : "value=\"" + n + "\"";
    });
    return Bytes(xml.begin(), xml.end());
}

Bytes Bmp32(int32_t width, int32_t height)
{
    return kivtest::Bmp32(width, height, [](size_t i) { return static_cast<unsigned char>(i * 7 + (i >> 12)); });
}

bool WriteSkin(const std::wstring& path, const Bytes& xml, const Bytes& bmp)
{
    const Bytes file = kivtest::MakeSkinFile(xml, bmp);
    return file.size() > 32 && kivtest::WriteFileBytes(path, file);
}

// The floor: both sections read from the file and decrypted, as any load must.
size_t ReadAndDecrypt(const wchar_t* path)
{
    KivSkinSection sections[2];
    if (!kiv::ReadSkinSections(path, MAXDWORD, MAXDWORD, &sections[0], &sections[1]))
        return 0;
    const size_t pieces[2] = {64, 4096};
    size_t plain = 0;
    for (int i = 0; i < 2; ++i)
    {
        CKivAes aes;
        CKivAes::InitSkinCipher(aes);
        plain += CKivAes::DecryptInPlace(aes.GetDecryptor(), sections[i].bytes.get(), sections[i].size, pieces[i]);
    }
    return plain;
}

using kivbench::Now;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Alternates the two measurements so drift hits both alike; medians in µs.
bool Measure(const wchar_t* name, const wchar_t* path, int rounds, double* ratio)
{
    std::vector<double> loads;
    std::vector<double> floors;
    for (int i = 0; i < rounds; ++i)
    {
        double start = Now();
        if (ReadAndDecrypt(path) == 0)
            return false;
        floors.push_back(Now() - start);
        start = Now();
        if (!CKivSkinStore::LoadSkin(path) || CKivSkinStore::Atlas() == nullptr)
            return false;
        loads.push_back(Now() - start);
    }
    const double load = Median(loads);
    const double floor = Median(floors);
    *ratio = load / floor;
    wprintf(L"%-6ls skin load %10.1f us   baseline (read + decrypt) %10.1f us   ratio %.2f\n", name, load, floor,
            *ratio);
    return true;
}

}  // namespace

int main()
{
    wchar_t temp[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, temp))
        return 1;
    const std::wstring small = std::wstring(temp) + L"kiv_bench_small.kiv";
    const std::wstring large = std::wstring(temp) + L"kiv_bench_large.kiv";
    if (!WriteSkin(small, SettingsDocument(), Bmp32(64, 48)) || !WriteSkin(large, SettingsDocument(), Bmp32(1024, 1024)))
    {
        wprintf(L"could not write the benchmark skins\n");
        return 1;
    }
    // Warm-up: first use of xmllite, the provider and the DC cache.
    CKivSkinStore::LoadSkin(small.c_str());
    ReadAndDecrypt(small.c_str());

    double smallRatio = 0;
    double largeRatio = 0;
    const bool ok = Measure(L"small", small.c_str(), 301, &smallRatio) &&
                    Measure(L"large", large.c_str(), 31, &largeRatio);
    DeleteFileW(small.c_str());
    DeleteFileW(large.c_str());
    if (!ok)
    {
        wprintf(L"a load failed\n");
        return 1;
    }
    wprintf(L"ratio: %.2f\n", std::max(smallRatio, largeRatio));
    return 0;
}
