// Long runs of skinned frames must not leave GDI objects behind.
#include <doctest.h>
#include "CKivFrameWnd.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "KivFrameTestHost.h"
#include "KivGdiLeakOracle.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <cstdlib>
#include <memory>

using frametest::SkinnedFrame;
namespace skin = kivtest::skin;

namespace {

// Overridable for a quick look: KIV_SOAK_ROUNDS / KIV_SOAK_FRAMES.
int Count(const char* name, int fallback)
{
    char text[16] = {};
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof(text));
    return length > 0 && length < sizeof(text) ? atoi(text) : fallback;
}
const int kRounds = Count("KIV_SOAK_ROUNDS", 10000);
const int kFrames = Count("KIV_SOAK_FRAMES", 1000);

// One step per cycle, in turn: activation change or full repaint; every
// twentieth cycle also resizes (moving a window costs Wine about 5-12 ms
// whoever paints it, which would otherwise dominate the run).
void Cycle(SkinnedFrame& frame, int round)
{
    if (round & 1)
        RedrawWindow(frame.Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    else
        SendMessageW(frame.Window(), WM_ACTIVATE, (round & 2) ? WA_INACTIVE : WA_ACTIVE, 0);
    if (round % 20 == 0)
        SetWindowPos(frame.Window(), nullptr, 0, 0, 300 + (round % 7) * 10, 200 + (round % 5) * 10,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Created, skinned, shown, painted, retitled and destroyed; every other
// window is destroyed while still skinned.
void CreateAndDestroy(int round)
{
    HWND window = frametest::CreateHost((round & 1) ? WS_OVERLAPPEDWINDOW : (WS_POPUP | WS_CAPTION | WS_SYSMENU), 80, 80,
                                        240, 160);
    std::unique_ptr<CKivFrameWnd> frame(new CKivFrameWnd);
    frame->Attach(window);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    SetWindowTextW(window, L"cycle");
    if (round & 2)
    {
        DestroyWindow(window);
        // What the registry does at WM_NCDESTROY: the object leaves the map with its window.
        CKivWnd::SubclassMap().erase(window);
        frame.reset();
    }
    else
    {
        frame.reset();
        DestroyWindow(window);
    }
}

}  // namespace

TEST_CASE("the leak oracle reads the live handle table")
{
    kivtest::GdiLeakOracle oracle;
    REQUIRE(oracle.ReadsHandleTable());
    const long before = oracle.LiveObjects();
    const long brushes = oracle.LiveObjects(0x10);
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    CHECK(oracle.LiveObjects(0x10) == brushes + 1);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
    CHECK(oracle.LiveObjects() == before + 2);
    DeleteObject(brush);
    DeleteObject(pen);
    CHECK(oracle.LiveObjects() == before);
    // Stock objects are not counted.
    GetStockObject(WHITE_BRUSH);
    CHECK(oracle.LiveObjects() == before);
}

TEST_CASE("soak: activation, resizing and repainting leave no objects behind")
{
    skin::Install();
    kivtest::GdiLeakOracle oracle;
    REQUIRE(oracle.ReadsHandleTable());
    SkinnedFrame dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU, 260, 180);
    SkinnedFrame frame(WS_OVERLAPPEDWINDOW, 300, 200);
    // Warm-up: the system and the prepared skin pieces make their objects once.
    for (int round = 0; round < 40; ++round)
    {
        Cycle(frame, round);
        Cycle(dialog, round);
        kivtest::PumpPending();
    }
    const long live = oracle.LiveObjects();
    const long owned = CKivGdiObjectCount::Live();
    for (int round = 0; round < kRounds; ++round)
    {
        Cycle(round & 1 ? dialog : frame, round >> 1);
        if ((round & 63) == 0)
            kivtest::PumpPending();
    }
    kivtest::PumpPending();
    CHECK(oracle.LiveObjects() == live);
    CHECK(CKivGdiObjectCount::Live() == owned);
}

TEST_CASE("soak: a thousand frames created and destroyed leave no objects behind")
{
    skin::Install();
    kivtest::GdiLeakOracle oracle;
    REQUIRE(oracle.ReadsHandleTable());
    for (int round = 0; round < 20; ++round)
        CreateAndDestroy(round);
    const long live = oracle.LiveObjects();
    const long owned = CKivGdiObjectCount::Live();
    for (int round = 0; round < kFrames; ++round)
        CreateAndDestroy(round);
    CHECK(oracle.LiveObjects() == live);
    CHECK(CKivGdiObjectCount::Live() == owned);
}
