// The engine's lifetime rules on real windows: one UI thread, stale registry
// entries and exclusions, and a frame let go late giving back what it took.
// Kept in its own process because caption filters cannot be removed.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivWnd.h"
#include "CKivWndBox.h"
#include "CKivWindowsHook.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"

namespace {

const wchar_t kExcludedCaption[] = L"Kiv lifetime excluded";
const wchar_t kLateCaption[] = L"Kiv lifetime late";

HWND CreateFrame(const wchar_t* caption, DWORD style = WS_OVERLAPPEDWINDOW)
{
    return CreateWindowExW(0, L"#32770", caption, style, 40, 40, 300, 200, nullptr, nullptr, nullptr, nullptr);
}

DWORD WINAPI RunFromOtherThread(void* result)
{
    CKivEngine& engine = CKivEngine::Instance();
    *static_cast<BOOL*>(result) = engine.Run();
    if (*static_cast<BOOL*>(result))
        engine.Stop();
    return 0;
}

BOOL RunOnAnotherThread()
{
    BOOL result = 0x5A5A;
    HANDLE thread = CreateThread(nullptr, 0, RunFromOtherThread, &result, 0, nullptr);
    REQUIRE(thread != nullptr);
    CHECK(WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0);
    CloseHandle(thread);
    return result;
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TEST_CASE("the registry belongs to the thread that ran the engine")
{
    kivtest::skin::Install();
    CKivEngine& engine = CKivEngine::Instance();
    REQUIRE(engine.Run());
    HWND frame = CreateFrame(L"Kiv lifetime thread");
    REQUIRE(frame != nullptr);
    REQUIRE(CKivWndBox::Instance().Find(frame) != nullptr);
    REQUIRE(engine.Stop());

    // Windows of this thread are still skinned: no other thread may take over.
    CHECK(RunOnAnotherThread() == FALSE);
    CHECK_FALSE(engine.Hook().IsInstalled());
    // Once they are gone, any thread may run the engine.
    DestroyWindow(frame);
    REQUIRE(CKivWndBox::Instance().Count() == 0);
    CHECK(RunOnAnotherThread() == TRUE);
    CHECK(engine.Run());
    CHECK(engine.Stop());
}

TEST_CASE("entries a dead window left behind do not outlive it")
{
    kivtest::skin::Install();
    CKivEngine& engine = CKivEngine::Instance();
    CKivWndBox& registry = CKivWndBox::Instance();
    engine.AddCaptionFilter(kExcludedCaption);

    SUBCASE("a WM_CREATE for a held handle drops the old entry and skins the window")
    {
        REQUIRE(engine.Run());
        HWND window = CreateFrame(L"Kiv lifetime stale");
        REQUIRE(window != nullptr);
        CKivWnd* old = registry.Find(window);
        REQUIRE(old != nullptr);
        // Another subclasser cuts us out of the chain, as a window whose
        // handle comes back for a new window would look.
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PlainProc));
        CHECK(registry.OnWindowCreated(window) == 1);
        CKivWnd* fresh = registry.Find(window);
        REQUIRE(fresh != nullptr);
        CHECK((fresh->PreviousProc() == &PlainProc));
        CHECK(GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CKivWnd::SubclassProc));
        CHECK(CKivWnd::FromHandle(window) == fresh);
        // The new object answers the window's messages to the end.
        SendMessageW(window, WM_NCPAINT, 1, 0);
        DestroyWindow(window);
        CHECK(registry.Find(window) == nullptr);
        CHECK(CKivWnd::FromHandle(window) == nullptr);
        engine.Stop();
    }
    SUBCASE("KivStop then KivRun forgets the exclusions of windows destroyed meanwhile")
    {
        REQUIRE(engine.Run());
        HWND excluded = CreateFrame(kExcludedCaption);
        REQUIRE(excluded != nullptr);
        CHECK(registry.IsExcluded(excluded));
        HWND kept = CreateFrame(kExcludedCaption);
        REQUIRE(kept != nullptr);
        REQUIRE(engine.Stop());
        DestroyWindow(excluded);  // unseen: the hook is off
        CHECK(registry.IsExcluded(excluded));
        REQUIRE(engine.Run());
        CHECK_FALSE(registry.IsExcluded(excluded));
        CHECK(registry.IsExcluded(kept));
        DestroyWindow(kept);
        CHECK_FALSE(registry.IsExcluded(kept));
        engine.Stop();
    }
}

TEST_CASE("a frame let go by a late caption filter gives back its region and its size")
{
    kivtest::skin::Install();
    CKivEngine& engine = CKivEngine::Instance();
    engine.AddCaptionFilter(kLateCaption);
    REQUIRE(engine.Run());
    // The same window without the skin, for the size the system gives it.
    REQUIRE(engine.Stop());
    HWND plain = CreateFrame(L"Kiv lifetime plain", WS_POPUP | WS_CAPTION | WS_SYSMENU);
    REQUIRE(plain != nullptr);
    RECT plainRect = {};
    GetWindowRect(plain, &plainRect);
    DestroyWindow(plain);

    REQUIRE(engine.Run());
    HWND window = CreateFrame(L"Kiv lifetime skinned", WS_POPUP | WS_CAPTION | WS_SYSMENU);
    REQUIRE(window != nullptr);
    REQUIRE(CKivWndBox::Instance().Find(window) != nullptr);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    CHECK(GetWindowRgn(window, probe) != ERROR);  // the skin cut the window to its shape

    SetWindowTextW(window, kLateCaption);
    CHECK(CKivWndBox::Instance().Find(window) == nullptr);
    CHECK(GetWindowRgn(window, probe) == ERROR);
    RECT rect = {};
    GetWindowRect(window, &rect);
    CHECK(rect.right - rect.left == plainRect.right - plainRect.left);
    CHECK(rect.bottom - rect.top == plainRect.bottom - plainRect.top);
    CHECK(rect.left == plainRect.left);
    CHECK(rect.top == plainRect.top);
    DeleteObject(probe);
    DestroyWindow(window);
    engine.Stop();
}
