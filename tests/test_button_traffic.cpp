// A skinned button of the common controls (version 6, as a program with a
// manifest gets) sends and receives the very same messages as an unskinned
// one: the same WM_PAINT after a state change (none in between), the same
// custom-draw stages from CDDS_PREERASE on with the same item states, the
// same colour messages, and the control's font left in a DC it printed to.
// The traffic of a skinned system button is compared the same way.
#include <doctest.h>
#include "CKivButton.h"
#include "CKivCheckBox.h"
#include "CKivGroupBox.h"
#include "CKivRadioButton.h"
#include "CKivSkinStore.h"
#include "KivCommonControls6.h"
#include "KivMessageLog.h"
#include "KivTestInput.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <memory>
#include <string>
#include <vector>

using kivtest::MessageLog;

namespace {

const int kId = 77;
LRESULT g_customDrawAnswer = CDRF_DODEFAULT;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog::NoteParent(message, wParam, lParam);
    if (message == WM_NOTIFY && lParam && reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(NM_CUSTOMDRAW))
    {
        const NMCUSTOMDRAW* draw = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
        // As a parent that asks for every stage: post-erase only at the erase
        // stage, post-paint only at the paint stage.
        if (draw->dwDrawStage == CDDS_PREERASE)
            return g_customDrawAnswer & ~CDRF_NOTIFYPOSTPAINT;
        if (draw->dwDrawStage == CDDS_PREPAINT)
            return g_customDrawAnswer & ~CDRF_NOTIFYPOSTERASE;
        return CDRF_DODEFAULT;
    }
    if (message == WM_PAINT)
    {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::unique_ptr<CKivWnd> SkinFor(DWORD style)
{
    switch (style & BS_TYPEMASK)
    {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return std::unique_ptr<CKivWnd>(new CKivCheckBox);
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return std::unique_ptr<CKivWnd>(new CKivRadioButton);
    case BS_GROUPBOX: return std::unique_ptr<CKivWnd>(new CKivGroupBox);
    default: return std::unique_ptr<CKivWnd>(new CKivButton);
    }
}

// One step: does something, places a marker, dispatches what it queued.
void Step(const char* name, HWND button, const std::function<void()>& action)
{
    MessageLog::Add(std::string("-- ") + name);
    action();
    SendMessageW(button, WM_APP, 0, 0);
    kivtest::DispatchQueued();
}

// The traffic of one button through the steps a program and a dialog make.
std::vector<std::string> Traffic(DWORD style, bool skinned)
{
    const HWND parent = kivtest::CreateForegroundHost(L"KivButtonTrafficParent", ParentProc, RGB(240, 240, 240),
                                                      L"traffic", 300, 200);
    kivtest::MoveCursorTo(parent, 280, 180);
    const HWND button = CreateWindowExW(0, L"BUTTON", L"Test", WS_CHILD | BS_NOTIFY | style, 10, 10, 80, 24, parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kId)), GetModuleHandleW(nullptr),
                                        nullptr);
    std::unique_ptr<CKivWnd> skin;
    if (skinned)
    {
        skin = SkinFor(style);
        REQUIRE(skin->Attach(button));
    }
    MessageLog::Watch(button);
    ShowWindow(button, SW_SHOW);
    UpdateWindow(button);
    SetFocus(nullptr);
    kivtest::PumpPending();
    MessageLog::Clear();
    g_customDrawAnswer = CDRF_DODEFAULT;

    Step("SetFocus(button)", button, [&] { SetFocus(button); });
    Step("SetFocus(0)", button, [&] { SetFocus(nullptr); });
    Step("BM_SETSTYLE", button, [&] { SendMessageW(button, BM_SETSTYLE, (style & BS_TYPEMASK) | BS_BOTTOM, TRUE); });
    Step("BM_SETSTATE 1", button, [&] { SendMessageW(button, BM_SETSTATE, TRUE, 0); });
    Step("BM_SETSTATE 0", button, [&] { SendMessageW(button, BM_SETSTATE, FALSE, 0); });
    Step("BM_SETCHECK 0", button, [&] { SendMessageW(button, BM_SETCHECK, BST_UNCHECKED, 0); });
    Step("BM_SETCHECK 1", button, [&] { SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0); });
    Step("BM_SETCHECK 2", button, [&] { SendMessageW(button, BM_SETCHECK, BST_INDETERMINATE, 0); });
    Step("WM_SETTEXT", button, [&] { SetWindowTextW(button, L"Other"); });
    // Three clicks take a three-state box once round its cycle.
    Step("BM_CLICK", button, [&] { SendMessageW(button, BM_CLICK, 0, 0); });
    Step("BM_CLICK again", button, [&] { SendMessageW(button, BM_CLICK, 0, 0); });
    Step("BM_CLICK third", button, [&] { SendMessageW(button, BM_CLICK, 0, 0); });
    Step("WM_ENABLE", button, [&] {
        EnableWindow(button, FALSE);
        EnableWindow(button, TRUE);
    });
    const LRESULT answers[] = {CDRF_SKIPDEFAULT, CDRF_NOTIFYPOSTERASE, CDRF_NOTIFYPOSTPAINT,
                               CDRF_NOTIFYPOSTERASE | CDRF_NOTIFYPOSTPAINT, CDRF_DOERASE};
    for (LRESULT answer : answers)
    {
        SetFocus(nullptr);
        kivtest::DispatchQueued();
        g_customDrawAnswer = answer;
        Step(("custom draw answer " + std::to_string(answer)).c_str(), button, [&] { SetFocus(button); });
    }
    g_customDrawAnswer = CDRF_DODEFAULT;

    // The font the control painted with stays selected in a DC it printed to.
    const HFONT own = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);
    const HFONT other = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    const HDC dc = CreateCompatibleDC(nullptr);
    for (UINT message : {UINT(WM_PRINTCLIENT), UINT(WM_PAINT)})
    {
        const HGDIOBJ before = SelectObject(dc, other);
        Step(message == WM_PAINT ? "WM_PAINT with a DC" : "WM_PRINTCLIENT", button,
             [&] { SendMessageW(button, message, reinterpret_cast<WPARAM>(dc), PRF_CLIENT); });
        const HGDIOBJ after = GetCurrentObject(dc, OBJ_FONT);
        MessageLog::Add(after == other ? "font: the DC's own" : after == own ? "font: the control's" : "font: another");
        SelectObject(dc, before);
    }
    DeleteDC(dc);
    DeleteObject(other);

    std::vector<std::string> lines = MessageLog::Lines();
    DestroyWindow(parent);
    kivtest::PumpPending();
    return lines;
}

void InstallButtonSkin()
{
    kivtest::skin::Install();
    KivSkinSettings& s = CKivSkinStore::Settings();
    s.buttonNormalBmp = s.buttonHotBmp = s.buttonPressedBmp = s.buttonDisabledBmp = s.buttonDefaultBmp =
        kivtest::skin::SlotRect(kivtest::skin::CaptionActive);
    s.checkBoxUncheckedNormal = s.checkBoxCheckedNormal = s.checkBoxMixedNormal =
        kivtest::skin::SlotRect(kivtest::skin::CloseDefault);
    s.radioButtonUncheckedNormal = s.radioButtonCheckedNormal = kivtest::skin::SlotRect(kivtest::skin::MaxDefault);
    s.groupBoxSize = 1;
}

void CompareStyles(const std::vector<DWORD>& styles)
{
    InstallButtonSkin();
    for (DWORD style : styles)
    {
        CAPTURE(style);
        const std::vector<std::string> plain = Traffic(style, false);
        const std::vector<std::string> skinned = Traffic(style, true);
        // The unskinned run is the reference; it has to show what is compared.
        CHECK(plain.size() > 20);
        CHECK(kivtest::FirstDifference(plain, skinned) == "");
    }
}

}  // namespace

TEST_CASE("a skinned common-controls button sends and receives what the unskinned one does")
{
    kivtest::CommonControls6 v6;
    REQUIRE(v6.Active());
    CompareStyles({BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE, BS_AUTO3STATE,
                   BS_RADIOBUTTON, BS_AUTORADIOBUTTON, BS_GROUPBOX});
}

TEST_CASE("a skinned system button sends and receives what the unskinned one does")
{
    CompareStyles({BS_PUSHBUTTON, BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE, BS_AUTO3STATE, BS_RADIOBUTTON,
                   BS_AUTORADIOBUTTON, BS_GROUPBOX});
}

