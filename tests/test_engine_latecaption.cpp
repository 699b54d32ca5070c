// A dialog created without a caption and titled while still hidden, as Wine's
// message box is, falls under the caption filters after all. Kept in its own
// process because filters cannot be removed once added.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivWnd.h"
#include "CKivWndBox.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <vector>

namespace {

const wchar_t kFiltered[] = L"\x6807\x9898";  // the caption the preview host filters

// A dialog template in memory: WS_CAPTION, no caption text, one push button.
std::vector<WORD> DialogTemplate()
{
    std::vector<WORD> words(64, 0);
    DLGTEMPLATE* dialog = reinterpret_cast<DLGTEMPLATE*>(words.data());
    dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    dialog->cdit = 1;
    dialog->cx = 120;
    dialog->cy = 60;
    size_t at = sizeof(DLGTEMPLATE) / sizeof(WORD);
    words[at++] = 0;  // no menu
    words[at++] = 0;  // default class
    words[at++] = 0;  // empty caption
    if (at % 2)
        ++at;  // items start on a DWORD boundary
    DLGITEMTEMPLATE* item = reinterpret_cast<DLGITEMTEMPLATE*>(words.data() + at);
    item->style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    item->x = 10;
    item->y = 10;
    item->cx = 50;
    item->cy = 14;
    item->id = IDOK;
    at += sizeof(DLGITEMTEMPLATE) / sizeof(WORD);
    words[at++] = 0xFFFF;
    words[at++] = 0x0080;  // BUTTON
    words[at++] = L'O';
    words[at++] = L'K';
    words[at++] = 0;
    words[at++] = 0;  // no creation data
    return words;
}

struct Seen
{
    bool dialogSkinnedAtInit = false;
    HWND button = nullptr;
};

INT_PTR CALLBACK TitleLaterProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    Seen* seen = reinterpret_cast<Seen*>(lParam);
    seen->dialogSkinnedAtInit = CKivWndBox::Instance().Find(dialog) != nullptr;
    seen->button = GetDlgItem(dialog, IDOK);
    SetWindowTextW(dialog, kFiltered);
    return TRUE;
}

HWND FindMessageBox()
{
    return FindWindowW(L"#32770", kFiltered);
}

}  // namespace

TEST_CASE("a filtered caption set before the dialog shows excludes it and its controls")
{
    kivtest::skin::Install();  // the hook skins only with a skin
    CKivEngine& engine = CKivEngine::Instance();
    engine.AddCaptionFilter(kFiltered);
    REQUIRE(engine.Run());
    CKivWndBox& registry = CKivWndBox::Instance();

    SUBCASE("a dialog titled in WM_INITDIALOG")
    {
        std::vector<WORD> words = DialogTemplate();
        Seen seen;
        HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                                 reinterpret_cast<DLGTEMPLATE*>(words.data()), nullptr,
                                                 TitleLaterProc, reinterpret_cast<LPARAM>(&seen));
        REQUIRE(dialog != nullptr);
        CHECK(seen.dialogSkinnedAtInit);  // skinned at creation, caption still empty
        REQUIRE(seen.button != nullptr);
        CHECK(registry.Find(dialog) == nullptr);
        CHECK(registry.Find(seen.button) == nullptr);
        CHECK(registry.IsExcluded(dialog));
        // Both windows answer through their own procedures again.
        CHECK(GetWindowLongPtrW(dialog, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&CKivWnd::SubclassProc));
        CHECK(GetWindowLongPtrW(seen.button, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&CKivWnd::SubclassProc));
        wchar_t text[16] = {};
        GetWindowTextW(dialog, text, 16);
        CHECK(lstrcmpW(text, kFiltered) == 0);
        // A control created afterwards is filtered through its excluded parent.
        HWND late = CreateWindowExW(0, L"BUTTON", L"late", WS_CHILD | BS_PUSHBUTTON, 0, 0, 40, 20, dialog,
                                    reinterpret_cast<HMENU>(77), nullptr, nullptr);
        CHECK(registry.Find(late) == nullptr);
        DestroyWindow(dialog);
        CHECK_FALSE(registry.IsExcluded(dialog));
    }
    SUBCASE("a visible skinned window keeps its skin when renamed")
    {
        HWND frame = CreateWindowExW(0, L"#32770", L"Plain", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 200, 120,
                                     nullptr, nullptr, nullptr, nullptr);
        REQUIRE(frame != nullptr);
        REQUIRE(registry.Find(frame) != nullptr);
        SetWindowTextW(frame, kFiltered);
        CHECK(registry.Find(frame) != nullptr);
        DestroyWindow(frame);
    }
    SUBCASE("the system message box with that caption")
    {
        struct Probe
        {
            static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD)
            {
                HWND box = FindMessageBox();
                if (box == nullptr)
                    return;
                KillTimer(nullptr, id);
                found() = box;
                skinned() = CKivWndBox::Instance().Find(box) != nullptr;
                HWND child = GetWindow(box, GW_CHILD);
                for (; child; child = GetWindow(child, GW_HWNDNEXT))
                    if (CKivWndBox::Instance().Find(child) != nullptr)
                        skinnedChildren()++;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            static HWND& found() { static HWND h = nullptr; return h; }
            static bool& skinned() { static bool s = true; return s; }
            static int& skinnedChildren() { static int n = 0; return n; }
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, &Probe::OnTimer);
        REQUIRE(timer != 0);
        const int answer = MessageBoxW(nullptr, L"text", kFiltered, MB_OK);
        KillTimer(nullptr, timer);
        CHECK(answer == IDOK);
        REQUIRE(Probe::found() != nullptr);
        CHECK_FALSE(Probe::skinned());
        CHECK(Probe::skinnedChildren() == 0);
    }
    engine.Stop();
}
