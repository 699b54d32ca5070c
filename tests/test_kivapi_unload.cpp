// A host that frees KivAPI.dll while its windows are skinned and another
// subclasser sits on top of our procedure: the windows keep working, the
// process does not crash. Its own process, since the DLL stays for good.
#include <doctest.h>
#include "KivTestSupport.h"
#include <string>

namespace {

WNDPROC g_below = nullptr;
int g_seenOnTop = 0;

// The host's own subclass, installed after ours.
LRESULT CALLBACK OnTop(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++g_seenOnTop;
    return CallWindowProcW(g_below, window, message, wParam, lParam);
}

std::wstring WriteSkin(const kivtest::TempDir& dir)
{
    const std::string xml = kivtest::SchemaDocument([](size_t i, bool isRect) {
        const std::string n = std::to_string(i % 7 + 1);
        return isRect ? "left=\"0\" top=\"0\" right=\"" + n + "\" bottom=\"" + n + "\"" : "value=\"" + n + "\"";
    });
    const auto atlas = kivtest::Bmp32(16, 16, [](size_t i) { return static_cast<unsigned char>(i * 13); });
    const std::wstring path = dir.File(L"unload.kiv");
    REQUIRE(kivtest::WriteFileBytes(path, kivtest::MakeSkinFile({xml.begin(), xml.end()}, atlas)));
    return path;
}

template <typename F>
F Bind(HMODULE module, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

TEST_CASE("FreeLibrary of KivAPI.dll after KivRun, with a subclasser on top of a skinned window")
{
    kivtest::TempDir dir;
    const std::wstring skin = WriteSkin(dir);
    HMODULE module = LoadLibraryW((kivtest::BinaryDir() + L"\\KivAPI.dll").c_str());
    REQUIRE(module != nullptr);
    auto initialize = Bind<int(WINAPI*)()>(module, "KivInitialize");
    auto loadSkin = Bind<BOOL(WINAPI*)(const wchar_t*)>(module, "KivLoadSkin");
    auto run = Bind<BOOL(WINAPI*)()>(module, "KivRun");
    REQUIRE((initialize != nullptr));
    REQUIRE((loadSkin != nullptr));
    REQUIRE((run != nullptr));
    CHECK(initialize() == 1);
    REQUIRE(loadSkin(skin.c_str()));
    REQUIRE(run());

    HWND window = CreateWindowExW(0, L"#32770", L"Kiv unload", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 320, 220,
                                  nullptr, nullptr, nullptr, nullptr);
    REQUIRE(window != nullptr);
    HWND button = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 24,
                                  window, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    REQUIRE(button != nullptr);
    // Our procedure is in the chain: it lives in the DLL.
    MEMORY_BASIC_INFORMATION memory = {};
    const LONG_PTR ours = GetWindowLongPtrW(window, GWLP_WNDPROC);
    REQUIRE(VirtualQuery(reinterpret_cast<void*>(ours), &memory, sizeof(memory)) != 0);
    CHECK(memory.AllocationBase == module);
    g_below = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OnTop)));
    REQUIRE((g_below != nullptr));

    // The host frees the DLL as often as it loaded it.
    FreeLibrary(module);
    kivtest::PumpPending();
    // The engine pinned itself: its code is still there for the windows.
    CHECK(GetModuleHandleW(L"KivAPI.dll") == module);

    // Every kind of traffic still runs through our procedure without harm.
    g_seenOnTop = 0;
    SetWindowTextW(window, L"Kiv unload, renamed");
    SetWindowPos(window, nullptr, 40, 40, 360, 240, SWP_NOZORDER | SWP_FRAMECHANGED);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    kivtest::PumpPending();
    CHECK(g_seenOnTop > 0);
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    CHECK(std::wstring(text) == L"Kiv unload, renamed");
    // A window created now still meets the hook.
    HWND later = CreateWindowExW(0, L"#32770", L"Kiv unload, later", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    CHECK(later != nullptr);
    DestroyWindow(later);
    DestroyWindow(window);
    kivtest::PumpPending();
    CHECK_FALSE(IsWindow(window));
}
