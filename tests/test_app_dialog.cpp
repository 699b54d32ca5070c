// Dialogs of the application layer: message dispatch to the typed handlers,
// modal results, and modeless dialogs in the thread's message loop.
#include <doctest.h>
#include "CKivDialog.h"
#include "CKivMessageLoop.h"
#include "KivDialogTemplate.h"
#include "KivTestSupport.h"
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const WORD kFirst = 10;
const WORD kSecond = 11;
const WORD kMapped = 12;

kivtest::DialogTemplate MakeTemplate(DWORD style)
{
    kivtest::DialogTemplate dialog(style, 200, 100, L"app test");
    dialog.Add(0x0080, kFirst, BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 50, 14, L"first");
    dialog.Add(0x0080, kSecond, BS_PUSHBUTTON | WS_TABSTOP, 70, 10, 50, 14, L"second");
    dialog.Add(0x0080, kMapped, BS_PUSHBUTTON | WS_TABSTOP, 130, 10, 50, 14, L"mapped");
    dialog.Build();
    return dialog;
}

// Writes down every handler call as text, with the arguments it received.
class RecordingDialog : public CKivDialog
{
public:
    explicit RecordingDialog(const DLGTEMPLATE* data) : CKivDialog(data) {}

    std::vector<std::string> calls;
    HWND initFocus = reinterpret_cast<HWND>(0xdeadbeef);
    HWND lastControl = reinterpret_cast<HWND>(0xdeadbeef);
    HWND lastBar = reinterpret_cast<HWND>(0xdeadbeef);
    int lastPosition = -1;
    bool throwOnCommand = false;
    INT_PTR endOnInit = -1;

protected:
    BOOL OnInitDialog(HWND focus) override
    {
        initFocus = focus;
        calls.push_back("init");
        if (endOnInit >= 0)
            PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(kMapped, BN_CLICKED), 0);
        return TRUE;
    }
    bool OnCommand(UINT id, UINT code, HWND control) override
    {
        if (throwOnCommand)
            throw std::runtime_error("handler failed");
        calls.push_back("command " + std::to_string(id) + " " + std::to_string(code));
        lastControl = control;
        return CKivDialog::OnCommand(id, code, control);
    }
    bool OnNotify(int id, NMHDR* header) override
    {
        calls.push_back("notify " + std::to_string(id) + " " + std::to_string(static_cast<int>(header->code)));
        SetResult(77);
        return true;
    }
    bool OnSysCommand(UINT command, LPARAM) override
    {
        calls.push_back("syscommand " + std::to_string(command));
        return command == 0x10;
    }
    bool OnHScroll(HWND bar, UINT code, int position) override
    {
        calls.push_back("hscroll " + std::to_string(code));
        lastBar = bar;
        lastPosition = position;
        return true;
    }
    bool OnDestroy() override
    {
        calls.push_back("destroy");
        return false;
    }
};

}  // namespace

TEST_CASE("dialog messages reach the typed handlers with their unpacked arguments")
{
    auto layout = MakeTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE);
    RecordingDialog dialog(layout.Get());
    int mappedRuns = 0;
    dialog.Commands().On(kMapped, [&](UINT id) { mappedRuns += id == kMapped ? 1 : 100; });
    REQUIRE(dialog.Create(nullptr));
    HWND window = dialog.Handle();
    CHECK(CKivDialog::FromHandle(window) == &dialog);
    CHECK(dialog.initFocus == dialog.Item(kFirst));

    SendMessageW(dialog.Item(kSecond), BM_CLICK, 0, 0);
    CHECK(dialog.calls.back() == "command 11 0");
    CHECK(dialog.lastControl == dialog.Item(kSecond));

    SendMessageW(dialog.Item(kMapped), BM_CLICK, 0, 0);
    CHECK(mappedRuns == 1);

    NMHDR header = {dialog.Item(kFirst), kFirst, 1234};
    CHECK(SendMessageW(window, WM_NOTIFY, kFirst, reinterpret_cast<LPARAM>(&header)) == 77);
    CHECK(dialog.calls.back() == "notify 10 1234");

    SendMessageW(window, WM_SYSCOMMAND, 0x10, 0);
    CHECK(dialog.calls.back() == "syscommand 16");

    // Positions above 32767 stay positive: the word is unsigned.
    HWND bar = dialog.Item(kSecond);
    SendMessageW(window, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40000), reinterpret_cast<LPARAM>(bar));
    CHECK(dialog.calls.back() == "hscroll 5");
    CHECK(dialog.lastBar == bar);
    CHECK(dialog.lastPosition == 40000);

    DestroyWindow(window);
    CHECK(dialog.calls.back() == "destroy");
    CHECK(dialog.Handle() == nullptr);
}

TEST_CASE("an exception in a handler stays inside the dialog procedure")
{
    auto layout = MakeTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE);
    RecordingDialog dialog(layout.Get());
    REQUIRE(dialog.Create(nullptr));
    dialog.throwOnCommand = true;
    CHECK(SendMessageW(dialog.Handle(), WM_COMMAND, MAKEWPARAM(kFirst, BN_CLICKED), 0) == 0);
    dialog.throwOnCommand = false;
    // The dialog goes on working after the failed handler.
    SendMessageW(dialog.Item(kFirst), BM_CLICK, 0, 0);
    CHECK(dialog.calls.back() == "command 10 0");
}

TEST_CASE("a modal dialog returns what EndDialog was given")
{
    auto layout = MakeTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE);
    SUBCASE("a command handler ends it")
    {
        RecordingDialog dialog(layout.Get());
        dialog.endOnInit = 42;
        dialog.Commands().On(kMapped, [&](UINT) { dialog.EndDialog(42); });
        CHECK(dialog.DoModal() == 42);
        CHECK(dialog.Handle() == nullptr);
        CHECK_FALSE(dialog.IsModal());
        // Modal dialogs never join the modeless list.
        CHECK(CKivMessageLoop::Current().ModelessCount() == 0);
    }
    SUBCASE("Cancel without a handler ends it with IDCANCEL")
    {
        RecordingDialog dialog(layout.Get());
        dialog.endOnInit = 0;
        dialog.Commands().On(kMapped, [&](UINT) { PostMessageW(dialog.Handle(), WM_COMMAND, IDCANCEL, 0); });
        CHECK(dialog.DoModal() == IDCANCEL);
    }
    SUBCASE("a second DoModal of a running dialog is refused")
    {
        RecordingDialog dialog(layout.Get());
        dialog.endOnInit = 0;
        INT_PTR nested = 0;
        dialog.Commands().On(kMapped, [&](UINT) {
            nested = dialog.DoModal();
            dialog.EndDialog(5);
        });
        CHECK(dialog.DoModal() == 5);
        CHECK(nested == -1);
    }
}

TEST_CASE("modeless dialogs take part in the message loop until they are destroyed")
{
    CKivMessageLoop& loop = CKivMessageLoop::Current();
    auto layout = MakeTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE);
    const size_t before = loop.ModelessCount();

    SUBCASE("Tab moves the focus through the loop's dialog handling")
    {
        RecordingDialog dialog(layout.Get());
        REQUIRE(dialog.Create(nullptr));
        CHECK(loop.IsModeless(dialog.Handle()));
        CHECK(loop.ModelessCount() == before + 1);
        SetForegroundWindow(dialog.Handle());
        SetFocus(dialog.Item(kFirst));
        REQUIRE(GetFocus() == dialog.Item(kFirst));
        MSG tab = {};
        tab.hwnd = dialog.Item(kFirst);
        tab.message = WM_KEYDOWN;
        tab.wParam = VK_TAB;
        CHECK(loop.PreTranslate(tab));
        CHECK(GetFocus() == dialog.Item(kSecond));
        // A key for a window outside every dialog is left alone.
        MSG other = tab;
        other.hwnd = nullptr;
        CHECK_FALSE(loop.PreTranslate(other));
        dialog.EndDialog(0);
        CHECK(dialog.Handle() == nullptr);
        CHECK(loop.ModelessCount() == before);
    }
    SUBCASE("Escape closes it from inside Run, which returns the quit code")
    {
        RecordingDialog dialog(layout.Get());
        REQUIRE(dialog.Create(nullptr));
        HWND window = dialog.Handle();
        PostMessageW(dialog.Item(kFirst), WM_KEYDOWN, VK_ESCAPE, 0);
        PostQuitMessage(3);
        CHECK(loop.Run() == 3);
        CHECK_FALSE(IsWindow(window));
        CHECK(dialog.calls.back() == "destroy");
        CHECK(loop.ModelessCount() == before);
    }
    SUBCASE("an object that dies first takes its window with it")
    {
        HWND window = nullptr;
        {
            RecordingDialog dialog(layout.Get());
            REQUIRE(dialog.Create(nullptr));
            window = dialog.Handle();
        }
        CHECK_FALSE(IsWindow(window));
        CHECK(loop.ModelessCount() == before);
    }
    SUBCASE("child dialogs are left to their parent's dialog manager")
    {
        RecordingDialog parent(layout.Get());
        REQUIRE(parent.Create(nullptr));
        auto childLayout = MakeTemplate(WS_CHILD | WS_VISIBLE | DS_CONTROL);
        RecordingDialog child(childLayout.Get());
        REQUIRE(child.Create(parent.Handle()));
        CHECK_FALSE(loop.IsModeless(child.Handle()));
        CHECK(GetParent(child.Handle()) == parent.Handle());
    }
}
