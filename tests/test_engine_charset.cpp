// Skinned windows keep their character set: an ANSI frame, dialog or control
// answers IsWindowUnicode and every A and W text call exactly as it does
// unskinned, and so does a Unicode one.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivSkinStore.h"
#include "CKivWnd.h"
#include "CKivWndCharset.h"
#include "KivDialogTemplate.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <string>
#include <vector>

namespace {

struct HookOn
{
    HookOn() { ok = CKivEngine::Instance().Run() != FALSE; }
    ~HookOn() { CKivEngine::Instance().Stop(); }
    bool ok;
};

// Everything the text calls of one window answer, after an A and after a W
// caption was set.
struct TextAnswers
{
    BOOL unicode = FALSE;
    bool skinned = false;
    std::vector<std::string> ansi;
    std::vector<std::wstring> wide;
    std::vector<LRESULT> numbers;

    bool operator==(const TextAnswers& other) const
    {
        return unicode == other.unicode && ansi == other.ansi && wide == other.wide && numbers == other.numbers;
    }
};

std::string AnsiOf(const wchar_t* text)
{
    char buffer[64] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof(buffer) - 1, nullptr, nullptr);
    return buffer;
}

const wchar_t* const kWideCaption = L"Stra\x00DF" L"e W";
const wchar_t* const kAnsiSource = L"Caf\x00E9 A";

void ReadBack(HWND window, TextAnswers& out)
{
    char ansi[64];
    memset(ansi, 0x7F, sizeof(ansi));
    out.numbers.push_back(GetWindowTextA(window, ansi, 64));
    out.ansi.push_back(ansi);
    wchar_t wide[64];
    wmemset(wide, 0x7F7F, 64);
    out.numbers.push_back(GetWindowTextW(window, wide, 64));
    out.wide.push_back(wide);
    out.numbers.push_back(GetWindowTextLengthA(window));
    out.numbers.push_back(GetWindowTextLengthW(window));
    out.numbers.push_back(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    out.numbers.push_back(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    memset(ansi, 0x7F, sizeof(ansi));
    out.numbers.push_back(SendMessageA(window, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(ansi)));
    out.ansi.push_back(ansi);
    wmemset(wide, 0x7F7F, 64);
    out.numbers.push_back(SendMessageW(window, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(wide)));
    out.wide.push_back(wide);
    // A buffer too small for the text: the cut differs between A and W.
    memset(ansi, 0x7F, sizeof(ansi));
    out.numbers.push_back(SendMessageA(window, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(ansi)));
    out.ansi.push_back(std::string(ansi, 4));
}

TextAnswers Probe(HWND window)
{
    TextAnswers out;
    out.unicode = IsWindowUnicode(window);
    out.skinned = CKivWnd::FromHandle(window) != nullptr;
    const std::string ansiCaption = AnsiOf(kAnsiSource);
    out.numbers.push_back(SetWindowTextA(window, ansiCaption.c_str()));
    ReadBack(window, out);
    out.numbers.push_back(SetWindowTextW(window, kWideCaption));
    ReadBack(window, out);
    out.numbers.push_back(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ansiCaption.c_str())));
    ReadBack(window, out);
    return out;
}

// The A round trip: what SetWindowTextA stored comes back from GetWindowTextA.
void CheckAnsiRoundTrip(const TextAnswers& answers)
{
    REQUIRE(answers.ansi.size() >= 2);
    CHECK(answers.ansi[0] == AnsiOf(kAnsiSource));
    CHECK(answers.ansi[1] == AnsiOf(kAnsiSource));
}

LRESULT CALLBACK FrameProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeFrame(bool unicode)
{
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSA a = {};
        a.lpfnWndProc = FrameProcA;
        a.hInstance = GetModuleHandleW(nullptr);
        a.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        a.lpszClassName = "KivCharsetFrameA";
        RegisterClassA(&a);
        WNDCLASSW w = {};
        w.lpfnWndProc = FrameProcW;
        w.hInstance = GetModuleHandleW(nullptr);
        w.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        w.lpszClassName = L"KivCharsetFrameW";
        RegisterClassW(&w);
        registered = true;
    }
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    if (unicode)
        return CreateWindowExW(0, L"KivCharsetFrameW", L"frame", style, 50, 50, 300, 200, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    return CreateWindowExA(0, "KivCharsetFrameA", "frame", style, 50, 50, 300, 200, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// Frame and a child button, created with the A or W calls.
std::vector<TextAnswers> ProbeFrameAndButton(bool unicode)
{
    std::vector<TextAnswers> out;
    const HWND frame = MakeFrame(unicode);
    REQUIRE(frame != nullptr);
    const HWND button =
        unicode ? CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 24, frame,
                                  nullptr, GetModuleHandleW(nullptr), nullptr)
                : CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 24, frame,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    REQUIRE(button != nullptr);
    kivtest::PumpPending();
    out.push_back(Probe(frame));
    out.push_back(Probe(button));
    DestroyWindow(frame);
    kivtest::PumpPending();
    return out;
}

const WORD kPushId = 11;
const WORD kCheckId = 12;
const UINT kProbeNow = WM_APP + 3;
std::vector<TextAnswers>* g_dialogAnswers = nullptr;

INT_PTR CALLBACK DialogProcA(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG)
        PostMessageA(dialog, kProbeNow, 0, 0);
    if (message != kProbeNow)
        return FALSE;
    // Shown and painted by now: the skin has run its paint paths on the
    // window before the text calls.
    kivtest::PumpPending();
    g_dialogAnswers->push_back(Probe(dialog));
    g_dialogAnswers->push_back(Probe(GetDlgItem(dialog, kPushId)));
    g_dialogAnswers->push_back(Probe(GetDlgItem(dialog, kCheckId)));
    EndDialog(dialog, 7);
    return TRUE;
}

INT_PTR CALLBACK DialogProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DialogProcA(dialog, message, wParam, lParam);
}

std::vector<TextAnswers> ProbeDialog(bool unicode)
{
    kivtest::DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 200, 100, L"dialog");
    dialog.Add(0x0080, kPushId, BS_PUSHBUTTON, 10, 10, 60, 14, L"push");
    dialog.Add(0x0080, kCheckId, BS_AUTOCHECKBOX, 10, 30, 60, 14, L"check");
    std::vector<TextAnswers> out;
    g_dialogAnswers = &out;
    const INT_PTR result = unicode ? DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Build(), nullptr,
                                                             DialogProcW, 0)
                                   : DialogBoxIndirectParamA(GetModuleHandleW(nullptr), dialog.Build(), nullptr,
                                                             DialogProcA, 0);
    g_dialogAnswers = nullptr;
    CHECK(result == 7);
    return out;
}

}  // namespace

TEST_CASE("skinned windows answer the A and W text calls exactly as unskinned")
{
    kivtest::skin::Install();
    // Push buttons and check boxes are skinned only with their first picture.
    CKivSkinStore::Settings().buttonNormalBmp = kivtest::skin::SlotRect(kivtest::skin::CaptionActive);
    CKivSkinStore::Settings().checkBoxUncheckedNormal = kivtest::skin::SlotRect(kivtest::skin::CaptionDefault);
    for (bool unicode : {false, true})
    {
        CAPTURE(unicode);
        const std::vector<TextAnswers> plainFrame = ProbeFrameAndButton(unicode);
        const std::vector<TextAnswers> plainDialog = ProbeDialog(unicode);
        std::vector<TextAnswers> skinnedFrame;
        std::vector<TextAnswers> skinnedDialog;
        {
            HookOn hook;
            REQUIRE(hook.ok);
            skinnedFrame = ProbeFrameAndButton(unicode);
            skinnedDialog = ProbeDialog(unicode);
        }
        REQUIRE(plainFrame.size() == 2);
        REQUIRE(skinnedFrame.size() == 2);
        REQUIRE(plainDialog.size() == 3);
        REQUIRE(skinnedDialog.size() == 3);
        const char* const names[] = {"frame", "frame's button", "dialog", "dialog's push button",
                                     "dialog's check box"};
        const TextAnswers* plain[] = {&plainFrame[0], &plainFrame[1], &plainDialog[0], &plainDialog[1],
                                      &plainDialog[2]};
        const TextAnswers* skinned[] = {&skinnedFrame[0], &skinnedFrame[1], &skinnedDialog[0], &skinnedDialog[1],
                                        &skinnedDialog[2]};
        for (int i = 0; i < 5; ++i)
        {
            const std::string name = names[i];
            CAPTURE(name);
            CHECK_FALSE(plain[i]->skinned);
            CHECK(skinned[i]->skinned);
            CHECK(plain[i]->unicode == (unicode ? TRUE : FALSE));
            CHECK(skinned[i]->unicode == plain[i]->unicode);
            CHECK(*skinned[i] == *plain[i]);
            CheckAnsiRoundTrip(*skinned[i]);
        }
    }
}

TEST_CASE("attach and detach keep an ANSI window ANSI and restore its exact procedure")
{
    const HWND frame = MakeFrame(false);
    REQUIRE(frame != nullptr);
    const LONG_PTR before = GetWindowLongPtrA(frame, GWLP_WNDPROC);
    {
        CKivWnd object;
        REQUIRE(object.Attach(frame));
        CHECK_FALSE(IsWindowUnicode(frame));
        CHECK_FALSE(object.Charset().IsUnicode());
        CHECK(GetWindowLongPtrA(frame, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CKivWnd::SubclassProc));
        CHECK(reinterpret_cast<LONG_PTR>(object.PreviousProc()) == before);
        CHECK(object.Detach());
    }
    CHECK_FALSE(IsWindowUnicode(frame));
    CHECK(GetWindowLongPtrA(frame, GWLP_WNDPROC) == before);
    DestroyWindow(frame);
}
