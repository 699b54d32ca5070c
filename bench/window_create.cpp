// Creating and destroying a dialog with 40 standard controls, unhooked against
// the same with the call-window hook installed and a skin loaded, so that
// every window passes the registry and most get a skin object.
#include "CKivAes.h"
#include "KivTestSupport.h"
#include "../tests/KivDialogTemplate.h"
#include "CKivEngine.h"
#include "CKivSkinSchema.h"
#include "CKivSkinStore.h"
#include "CKivWndBox.h"
#include "KivSkinFile.h"
#include "KivBenchSupport.h"
#include <windows.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

const int kRounds = 150;  // of each kind, interleaved

using kivbench::Now;

// Every key of the schema: pictures are 8x8 cells of the atlas, numbers small,
// the shadow window off.
Bytes SettingsDocument()
{
    const std::string xml = kivtest::SchemaDocument([](size_t i, bool isRect) {
        const int cell = static_cast<int>(i % 32) * 8;
        const std::wstring key(CKivSkinSchema::Entries()[i].key);
        if (isRect)
            return "left=\"" + std::to_string(cell) + "\" top=\"0\" right=\"" + std::to_string(cell + 8) +
                   "\" bottom=\"8\"";
        if (key.size() >= 10 && key.compare(key.size() - 10, 10, L"HideShadow") == 0)
            return std::string("value=\"1\"");
        return "value=\"" + std::to_string(4 + i % 20) + "\"";
    });
    return Bytes(xml.begin(), xml.end());
}

bool WriteSkin(const std::wstring& path)
{
    const Bytes atlas =
        kivtest::Bmp32(256, 8, [](size_t i) { return static_cast<unsigned char>(0x40 + (i * 5) % 0x80); });
    const Bytes file = kivtest::MakeSkinFile(SettingsDocument(), atlas);
    return file.size() > 32 && kivtest::WriteFileBytes(path, file);
}

using kivtest::DialogTemplate;

DialogTemplate MakeTemplate()
{
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 400, 300, L"Kiv benchmark dialog");
    const WORD kButton = 0x0080, kEdit = 0x0081, kListBox = 0x0083, kComboBox = 0x0085;
    const DWORD buttonStyles[] = {BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_AUTOCHECKBOX, BS_AUTORADIOBUTTON, BS_GROUPBOX};
    WORD id = 100;
    for (short i = 0; i < 10; ++i, ++id)
        dialog.Add(kButton, id, buttonStyles[i % 5], 5, static_cast<short>(5 + i * 20), 60, 14, L"Button");
    for (short i = 0; i < 10; ++i, ++id)
        dialog.Add(kEdit, id, WS_BORDER | ES_AUTOHSCROLL, 75, static_cast<short>(5 + i * 20), 60, 14, L"text");
    for (short i = 0; i < 10; ++i, ++id)
        dialog.Add(kListBox, id, WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 145, static_cast<short>(5 + i * 20), 60, 18);
    for (short i = 0; i < 10; ++i, ++id)
        dialog.Add(kComboBox, id, CBS_DROPDOWN | WS_VSCROLL, 215, static_cast<short>(5 + i * 20), 60, 80);
    dialog.Build();
    return dialog;
}

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// Microseconds of one create-and-destroy round.
double Round(const DialogTemplate& dialog, int* failures)
{
    const double start = Now();
    HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), nullptr, &DialogProc, 0);
    if (window == nullptr)
        ++*failures;
    DestroyWindow(window);
    return Now() - start;
}

// A hook that does nothing: what any call-window hook costs under this platform.
HHOOK g_bareHook = nullptr;
LRESULT CALLBACK BareHook(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(g_bareHook, code, wParam, lParam);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main()
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"kiv_bench_window_create.kiv";
    const bool loaded = WriteSkin(path) && CKivSkinStore::LoadSkin(path.c_str());
    DeleteFileW(path.c_str());
    printf("skin: %s\n", loaded ? "generated file, loaded" : "NOT loaded");
    const DialogTemplate dialog = MakeTemplate();
    CKivEngine& engine = CKivEngine::Instance();
    CKivWndBox& registry = engine.Registry();
    int failures = 0;

    // Warm-up of both paths: classes, fonts, first skin objects.
    for (int i = 0; i < 10; ++i)
    {
        Round(dialog, &failures);
        engine.Run();
        Round(dialog, &failures);
        engine.Stop();
    }

    // One skinned round to report how many windows got a skin object.
    engine.Run();
    HWND probe = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), nullptr, &DialogProc, 0);
    const size_t skinned = registry.Count();
    DestroyWindow(probe);
    engine.Stop();

    // Interleaved, so that load from elsewhere on the machine hits all three alike.
    std::vector<double> plain, bare, hooked;
    for (int i = 0; i < kRounds; ++i)
    {
        plain.push_back(Round(dialog, &failures));
        g_bareHook = SetWindowsHookExW(WH_CALLWNDPROC, &BareHook, nullptr, GetCurrentThreadId());
        bare.push_back(Round(dialog, &failures));
        UnhookWindowsHookEx(g_bareHook);
        engine.Run();
        hooked.push_back(Round(dialog, &failures));
        engine.Stop();
    }
    const double plainMedian = Median(plain);
    const double hookedMedian = Median(hooked);
    printf("dialog with 40 controls, create + destroy, median of %d rounds each:\n", kRounds);
    printf("  unhooked %.0f us\n", plainMedian);
    printf("  empty call-window hook %.0f us (%.2fx)\n", Median(bare), Median(bare) / plainMedian);
    printf("  hooked with skin %.0f us (%u windows registered per dialog, registry afterwards %u)\n", hookedMedian,
           static_cast<unsigned>(skinned), static_cast<unsigned>(registry.Count()));
    if (failures)
        printf("  %d dialogs could not be created\n", failures);
    printf("ratio: %.2f\n", plainMedian > 0 ? hookedMedian / plainMedian : 0.0);
    return failures ? 1 : 0;
}
