// Controls draw their text with the font their dialog gave them (WM_SETFONT),
// not the skin's: the labels of an 8-point dialog and of a message box take
// the very room they take unskinned, so nothing is clipped. Measured on the
// screen with the shipped default skin.
#include <doctest.h>
#include "CKivButton.h"
#include "CKivEngine.h"
#include "CKivSkinStore.h"
#include "KivDialogTemplate.h"
#include "KivModalVisit.h"
#include "KivTestInput.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <string>

namespace {

const wchar_t kLine[] = L"Network error: Connection refused";

bool LoadDefaultSkin()
{
    return CKivEngine::Instance().LoadSkin((kivtest::BinaryDir() + L"\\default.kiv").c_str()) != FALSE;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

int Width(const RECT& r)
{
    return r.right - r.left;
}
int Height(const RECT& r)
{
    return r.bottom - r.top;
}

struct Measured
{
    RECT label = {};
    RECT check = {};
    RECT radio = {};
    RECT labelClient = {};
};

Measured MeasureDialog(bool skinned)
{
    kivtest::DialogTemplate layout(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 220, 90, L"fonts");
    layout.Add(0x0082, 10, SS_LEFT, 8, 8, 200, 10, kLine);
    layout.Add(0x0080, 11, BS_AUTOCHECKBOX | WS_TABSTOP, 8, 24, 200, 12, L"Remember the gateway for Qypj");
    layout.Add(0x0080, 12, BS_AUTORADIOBUTTON | WS_TABSTOP, 8, 40, 200, 12, L"Use the proxy for Qypj");
    CKivEngine& engine = CKivEngine::Instance();
    if (skinned)
        REQUIRE(engine.Run());
    const HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), layout.Build(), nullptr, QuietDialog, 0);
    if (skinned)
        engine.Stop();
    REQUIRE(dialog != nullptr);
    SetForegroundWindow(dialog);
    kivtest::MoveCursorTo(dialog, 0, -200);
    kivtest::PumpPending();
    // The check box and radio button show no focus cue here.
    SetFocus(nullptr);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    kivtest::PumpPending();
    Measured m;
    m.label = kivtest::InkBounds(GetDlgItem(dialog, 10));
    m.check = kivtest::InkBounds(GetDlgItem(dialog, 11), true);
    m.radio = kivtest::InkBounds(GetDlgItem(dialog, 12), true);
    GetClientRect(GetDlgItem(dialog, 10), &m.labelClient);
    DestroyWindow(dialog);
    kivtest::PumpPending();
    return m;
}

}  // namespace

TEST_CASE("labels of an 8-point dialog measure the same skinned and unskinned")
{
    REQUIRE(LoadDefaultSkin());
    const Measured plain = MeasureDialog(false);
    const Measured skinned = MeasureDialog(true);
    // The unskinned dialog shows its texts: the measure sees them.
    REQUIRE(Width(plain.label) > 60);
    REQUIRE(Width(plain.check) > 60);
    REQUIRE(Width(plain.radio) > 60);
    CHECK(Width(skinned.label) == Width(plain.label));
    CHECK(Height(skinned.label) == Height(plain.label));
    CHECK(Width(skinned.check) == Width(plain.check));
    CHECK(Height(skinned.check) == Height(plain.check));
    CHECK(Width(skinned.radio) == Width(plain.radio));
    CHECK(Height(skinned.radio) == Height(plain.radio));
    // All of the line fits in its label.
    CHECK(skinned.label.right < skinned.labelClient.right);
}

TEST_CASE("a message box with a long line shows all of it skinned, in the room it has unskinned")
{
    REQUIRE(LoadDefaultSkin());
    const std::wstring text = std::wstring(kLine) + L"\nThe server at gateway.example did not answer.";
    RECT measured[2] = {};
    RECT client[2] = {};
    for (int skinned = 0; skinned < 2; ++skinned)
    {
        CAPTURE(skinned);
        CKivEngine& engine = CKivEngine::Instance();
        if (skinned)
            REQUIRE(engine.Run());
        const bool visited = kivtest::VisitModal([&] { MessageBoxW(nullptr, text.c_str(), L"kiv message", MB_OK); },
                                                 [&](HWND box) {
                                                     // Wine's message box text static.
                                                     const HWND label = GetDlgItem(box, 0xFFFF);
                                                     REQUIRE(label != nullptr);
                                                     measured[skinned] = kivtest::InkBounds(label);
                                                     GetClientRect(label, &client[skinned]);
                                                 });
        if (skinned)
            engine.Stop();
        CHECK(visited);
    }
    REQUIRE(Width(measured[0]) > 100);
    CHECK(Width(measured[1]) == Width(measured[0]));
    CHECK(Height(measured[1]) == Height(measured[0]));
    CHECK(measured[1].right <= client[1].right);
    CHECK(measured[1].bottom <= client[1].bottom);
}
