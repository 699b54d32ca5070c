// Main windows created without a title and titled afterwards, as many programs
// do (Wine's Program Manager among them), get the frame skin with their first
// title, exactly as if they had been titled at creation. Kept in its own
// process because caption filters cannot be removed once added.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivFrameWnd.h"
#include "CKivWnd.h"
#include "CKivWndBox.h"
#include "KivFrameTestHost.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include "CKivCaptionWatch.h"
#include <string>

using kivtest::Canvas;

namespace {

const wchar_t kTitle[] = L"Late title";
const wchar_t kFilteredCaption[] = L"Kept Plain";

CKivWndBox& Registry()
{
    return CKivWndBox::Instance();
}

struct HookOn
{
    HookOn() { ok = CKivEngine::Instance().Run() != FALSE; }
    ~HookOn() { CKivEngine::Instance().Stop(); }
    bool ok;
};

HMENU TwoItemMenu()
{
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_STRING, 101, L"File");
    AppendMenuW(bar, MF_STRING, 102, L"Help");
    return bar;
}

HWND MakeMain(const wchar_t* title, int x, HMENU menu = nullptr)
{
    return frametest::CreateHost(WS_OVERLAPPEDWINDOW, x, 40, 320, 220, title, menu);
}

POINT ClientOrigin(HWND window)
{
    RECT outer = {};
    GetWindowRect(window, &outer);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return POINT{origin.x - outer.left, origin.y - outer.top};
}

SIZE Size(HWND window, bool client)
{
    RECT r = {};
    if (client)
        GetClientRect(window, &r);
    else
        GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT RegionBox(HWND window)
{
    RECT box = {-1, -1, -1, -1};
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, region) != ERROR)
        GetRgnBox(region, &box);
    DeleteObject(region);
    return box;
}

// Pixels of the band above the client area (caption and menu bar) where two
// screen captures differ.
int TopBandDifferences(const Canvas& a, const Canvas& b, int bandHeight)
{
    int differences = 0;
    for (int y = 0; y < bandHeight; ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y))
                ++differences;
    return differences;
}

// Everything the frame skin decides about a window, read back from the system.
void CheckSkinnedLike(HWND late, HWND reference)
{
    CKivFrameWnd* frame = dynamic_cast<CKivFrameWnd*>(Registry().Find(late));
    REQUIRE(frame != nullptr);
    CHECK(GetWindowLongPtrW(late, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CKivWnd::SubclassProc));
    const POINT lateOrigin = ClientOrigin(late);
    const POINT referenceOrigin = ClientOrigin(reference);
    CHECK(lateOrigin.x == referenceOrigin.x);
    CHECK(lateOrigin.y == referenceOrigin.y);
    CHECK(Size(late, true).cx == Size(reference, true).cx);
    CHECK(Size(late, true).cy == Size(reference, true).cy);
    CHECK(Size(late, false).cx == Size(reference, false).cx);
    CHECK(Size(late, false).cy == Size(reference, false).cy);
    const RECT lateRegion = RegionBox(late);
    const RECT referenceRegion = RegionBox(reference);
    CHECK(EqualRect(&lateRegion, &referenceRegion));
    CHECK(lateRegion.right > 0);
    // The system draws no caption buttons of its own once the frame has seen the window shown.
    CHECK((GetWindowLongPtrW(late, GWL_STYLE) & WS_SYSMENU) == (GetWindowLongPtrW(reference, GWL_STYLE) & WS_SYSMENU));
    CHECK(frame->Metrics()->menuBarHeight ==
          dynamic_cast<CKivFrameWnd*>(Registry().Find(reference))->Metrics()->menuBarHeight);
    // Rendered off-screen, both frames are the same picture.
    const SIZE outer = Size(late, false);
    Canvas lateCanvas(outer.cx, outer.cy, RGB(1, 2, 3));
    Canvas referenceCanvas(outer.cx, outer.cy, RGB(1, 2, 3));
    kivtest::PrintWindowTo(late, lateCanvas);
    kivtest::PrintWindowTo(reference, referenceCanvas);
    CHECK(lateCanvas.SameAs(referenceCanvas));
    // And on screen: the caption shows the skin's caption picture, as on the reference.
    Canvas lateScreen(outer.cx, outer.cy, 0);
    Canvas referenceScreen(outer.cx, outer.cy, 0);
    CHECK(kivtest::PumpUntil([&]() {
        kivtest::CaptureScreenTo(late, lateScreen);
        kivtest::CaptureScreenTo(reference, referenceScreen);
        return TopBandDifferences(lateScreen, referenceScreen, referenceOrigin.y) == 0;
    }));
    const COLORREF caption = kivtest::skin::SlotColour(kivtest::skin::CaptionDefault);
    CHECK(lateScreen.Pixel(outer.cx / 2, referenceOrigin.y / 4) == caption);
}

}  // namespace

TEST_CASE("a main window titled after creation gets the frame skin as if titled at creation")
{
    kivtest::skin::Install();
    CKivEngine::Instance().AddCaptionFilter(kFilteredCaption);
    HookOn hook;
    REQUIRE(hook.ok);
    CKivWndBox& registry = Registry();

    HWND reference = MakeMain(kTitle, 20, TwoItemMenu());
    REQUIRE(reference != nullptr);
    REQUIRE(registry.Find(reference) != nullptr);
    CHECK_FALSE(registry.IsAwaitingTitle(reference));

    SUBCASE("titled while still hidden, then shown")
    {
        HWND late = MakeMain(nullptr, 360, TwoItemMenu());
        REQUIRE(late != nullptr);
        CHECK(registry.Find(late) == nullptr);
        CHECK(registry.IsAwaitingTitle(late));
        SetWindowTextW(late, kTitle);
        CHECK_FALSE(registry.IsAwaitingTitle(late));
        REQUIRE(registry.Find(late) != nullptr);
        ShowWindow(reference, SW_SHOWNOACTIVATE);
        ShowWindow(late, SW_SHOWNOACTIVATE);
        kivtest::PumpPending();
        CheckSkinnedLike(late, reference);
        DestroyWindow(late);
    }
    SUBCASE("titled once already shown in the system look")
    {
        HWND late = MakeMain(L"", 360, TwoItemMenu());
        REQUIRE(late != nullptr);
        ShowWindow(reference, SW_SHOWNOACTIVATE);
        ShowWindow(late, SW_SHOWNOACTIVATE);
        kivtest::PumpPending();
        CHECK(registry.Find(late) == nullptr);
        const SIZE systemClient = Size(late, true);
        SetWindowTextW(late, kTitle);
        kivtest::PumpPending();
        // The client area keeps the size it had under the system frame.
        CHECK(Size(late, true).cx == systemClient.cx);
        CHECK(Size(late, true).cy == systemClient.cy);
        // The reference is measured the same way: the skin kept its client size at creation.
        CheckSkinnedLike(late, reference);
        DestroyWindow(late);
    }
    SUBCASE("the first title matches a caption filter: excluded as at creation")
    {
        HWND late = MakeMain(nullptr, 360);
        REQUIRE(late != nullptr);
        SetWindowTextW(late, L"kept plain");  // ASCII case folded, as at creation
        CHECK(registry.Find(late) == nullptr);
        CHECK(registry.IsExcluded(late));
        CHECK_FALSE(registry.IsAwaitingTitle(late));
        // A later, unfiltered title does not bring the skin back.
        SetWindowTextW(late, kTitle);
        CHECK(registry.Find(late) == nullptr);
        // Its new owned windows stay plain, as under any excluded window.
        HWND owned = CreateWindowExW(0, L"#32770", L"Owned", WS_POPUP | WS_CAPTION, 0, 0, 100, 80, late, nullptr,
                                     nullptr, nullptr);
        CHECK(registry.Find(owned) == nullptr);
        DestroyWindow(late);
        CHECK_FALSE(registry.IsExcluded(late));
    }
    SUBCASE("titles set through the ANSI calls are read as the text they are")
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = "KivAnsiMain";
        RegisterClassA(&wc);
        for (bool ansiWindow : {false, true})
        {
            CAPTURE(ansiWindow);
            auto make = [&]() {
                return ansiWindow ? CreateWindowExA(0, "KivAnsiMain", nullptr, WS_OVERLAPPEDWINDOW, 360, 40, 320, 220,
                                                    nullptr, nullptr, wc.hInstance, nullptr)
                                  : MakeMain(nullptr, 360);
            };
            HWND filtered = make();
            REQUIRE(filtered != nullptr);
            REQUIRE(registry.IsAwaitingTitle(filtered));
            SetWindowTextA(filtered, "KEPT PLAIN");
            CHECK(registry.IsExcluded(filtered));
            CHECK(registry.Find(filtered) == nullptr);
            // One character: read as UTF-16 it would run past its end.
            HWND titled = make();
            REQUIRE(titled != nullptr);
            SetWindowTextA(titled, "A");
            CHECK(registry.Find(titled) != nullptr);
            CHECK_FALSE(registry.IsAwaitingTitle(titled));
            char back[8] = {};
            GetWindowTextA(titled, back, 8);
            CHECK(std::string(back) == "A");
            DestroyWindow(filtered);
            DestroyWindow(titled);
        }
        // The return hook is gone once the titles are handled.
        CHECK(CKivCaptionWatch::Instance().PendingCount() == 0);
    }
    SUBCASE("a window excluded at creation is not skinned by a later title")
    {
        HWND excluded = MakeMain(kFilteredCaption, 360);
        REQUIRE(excluded != nullptr);
        CHECK(registry.IsExcluded(excluded));
        CHECK_FALSE(registry.IsAwaitingTitle(excluded));
        SetWindowTextW(excluded, kTitle);
        CHECK(registry.Find(excluded) == nullptr);
        DestroyWindow(excluded);
    }
    SUBCASE("an untitled hidden window that never gets a title stays with the system")
    {
        HWND helper = MakeMain(nullptr, 360);
        REQUIRE(helper != nullptr);
        SetWindowTextW(helper, L"");  // an empty text is no title
        kivtest::PumpPending();
        CHECK(registry.Find(helper) == nullptr);
        CHECK(GetWindowLongPtrW(helper, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&CKivWnd::SubclassProc));
        CHECK(registry.IsAwaitingTitle(helper));
        DestroyWindow(helper);
        CHECK_FALSE(registry.IsAwaitingTitle(helper));
    }
    SUBCASE("only windows that missed the test for their text alone are remembered")
    {
        HWND tool = frametest::CreateHost(WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, nullptr, nullptr, WS_EX_TOOLWINDOW);
        HWND bare = frametest::CreateHost(WS_POPUP, 0, 0, 100, 80, nullptr);
        HWND child = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_CAPTION, 0, 0, 50, 50, reference, nullptr,
                                     nullptr, nullptr);
        HWND button = CreateWindowExW(0, L"BUTTON", nullptr, WS_POPUP | WS_CAPTION | BS_OWNERDRAW, 0, 0, 50, 50,
                                      nullptr, nullptr, nullptr, nullptr);
        for (HWND window : {tool, bare, child, button})
        {
            REQUIRE(window != nullptr);
            CHECK_FALSE(registry.IsAwaitingTitle(window));
            SetWindowTextW(window, kTitle);
            // The child static has its control skin from creation on; none of them gets a frame.
            CHECK(dynamic_cast<CKivFrameWnd*>(registry.Find(window)) == nullptr);
            if (window != child)
                CHECK(registry.Find(window) == nullptr);
        }
        for (HWND window : {child, tool, bare, button})
            DestroyWindow(window);
    }
    DestroyWindow(reference);
    CHECK(registry.AwaitingTitleCount() == 0);
}

TEST_CASE("the remembered untitled windows are forgotten at destruction")
{
    kivtest::skin::Install();
    HookOn hook;
    REQUIRE(hook.ok);
    CKivWndBox& registry = Registry();
    const size_t registered = registry.Count();
    int remembered = 0;
    for (int i = 0; i < 2000; ++i)
    {
        HWND window = MakeMain(nullptr, 0);
        REQUIRE(window != nullptr);
        if (registry.IsAwaitingTitle(window))
            ++remembered;
        DestroyWindow(window);
    }
    CHECK(remembered == 2000);
    CHECK(registry.AwaitingTitleCount() == 0);
    CHECK(registry.Count() == registered);
}

TEST_CASE("windows destroyed while the hook was off are swept out of the remembered set")
{
    kivtest::skin::Install();
    CKivWndBox& registry = Registry();
    std::vector<HWND> windows;
    {
        HookOn hook;
        REQUIRE(hook.ok);
        for (int i = 0; i < 500; ++i)
            windows.push_back(MakeMain(nullptr, 0));
    }
    CHECK(registry.AwaitingTitleCount() == 500);
    for (HWND window : windows)
        DestroyWindow(window);  // unseen: the hook is off
    HookOn hook;
    REQUIRE(hook.ok);
    // Churn alone never lets the set grow past its sweep mark.
    for (int i = 0; i < 300; ++i)
    {
        HWND window = MakeMain(nullptr, 0);
        REQUIRE(window != nullptr);
        DestroyWindow(window);
    }
    CHECK(registry.AwaitingTitleCount() <= 1000);
    // Live untitled windows push it to the mark, and the sweep leaves only them.
    std::vector<HWND> live;
    for (int i = 0; i < 40; ++i)
        live.push_back(MakeMain(nullptr, 0));
    CHECK(registry.AwaitingTitleCount() == live.size());
    for (HWND window : live)
        DestroyWindow(window);
    CHECK(registry.AwaitingTitleCount() == 0);
}
