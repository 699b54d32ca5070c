// The subclassing base: attach and detach, the routing table, message order
// across subclass chains, and what happens when the window goes away.
#include <doctest.h>
#include "CKivWnd.h"
#include "CKivWndBox.h"
#include "CKivWndImpl.h"
#include "CKivWndNoCaptionBar.h"
#include "CKivSkinStore.h"
#include "KivEngineTestWindows.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <memory>

using namespace kivengine;

namespace {

// Procedures as plain addresses, so that checks can print them.
const void* ProcOf(HWND window)
{
    return reinterpret_cast<const void*>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

template <typename Proc>
const void* Address(Proc proc)
{
    return reinterpret_cast<const void*>(proc);
}

const void* const kShared = Address(&CKivWnd::SubclassProc);

// Records the unpacked arguments of a few slots and counts its own deletion.
class ProbeWnd : public CKivWnd
{
public:
    explicit ProbeWnd(int* deleted = nullptr) : m_deleted(deleted) {}
    ~ProbeWnd() override
    {
        Log().push_back({"probe-deleted", 0, 0, 0});
        if (m_deleted)
            ++*m_deleted;
    }
    void OnSize(UINT type, int width, int height) override
    {
        sizeType = type;
        sizeWidth = width;
        sizeHeight = height;
        CKivWnd::OnSize(type, width, height);
    }
    void OnActivate(UINT state, HWND other, BOOL minimized) override
    {
        activateState = state;
        activateOther = other;
        activateMinimized = minimized;
        CKivWnd::OnActivate(state, other, minimized);
    }
    LRESULT OnNcHitTest(LPARAM lParam) override
    {
        hitTestPoint = lParam;
        return HTCAPTION;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER + 9 && duringMessage)
            duringMessage(*this);
        const LRESULT result = CKivWnd::WindowProc(message, wParam, lParam);
        if (message == WM_USER + 9)
            Log().push_back({"probe-after", message, 0, 0});
        return result;
    }

    UINT sizeType = 0;
    int sizeWidth = 0, sizeHeight = 0;
    UINT activateState = 0;
    HWND activateOther = nullptr;
    BOOL activateMinimized = 0;
    LPARAM hitTestPoint = 0;
    void (*duringMessage)(ProbeWnd&) = nullptr;

private:
    int* m_deleted;
};

// A child whose class procedure answers the private messages its parent's
// skin sends (1254, 25, 1255) and WM_NOTIFY with configurable values.
LRESULT g_childAnswer = 0;
LRESULT CALLBACK AnsweringChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == KIV_WM_CTLCOLOREDIT || message == KIV_WM_CTLCOLOR || message == KIV_WM_EDITCHANGE ||
        message == WM_NOTIFY)
    {
        Log().push_back({"child", message, wParam, lParam});
        return g_childAnswer;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeAnsweringChild(HWND parent)
{
    return MakeChild(parent, kivtest::RegisterTestClass(L"KivTestAnsweringChild", &AnsweringChildProc, nullptr), 0, 5);
}

// A child skin that takes the three private messages a parent's skin sends,
// passing them on to the child's procedure like any other message.
class PrivateMessageSkin : public CKivWnd
{
public:
    PrivateMessageSkin()
    {
        AnswerPrivateMessage(KIV_WM_CTLCOLOREDIT);
        AnswerPrivateMessage(KIV_WM_EDITCHANGE);
        AnswerPrivateMessage(KIV_WM_CTLCOLOR);
    }
};

struct Fresh
{
    Fresh()
    {
        Log().clear();
        Answers().clear();
        g_childAnswer = 0;
    }
};

}  // namespace

TEST_CASE("attach subclasses once, a second attach is refused, detach restores")
{
    Fresh fresh;
    HWND window = MakeTopLevel();
    REQUIRE(window);
    const void* original = ProcOf(window);

    CKivWnd first;
    CHECK(first.Attach(nullptr) == FALSE);
    REQUIRE(first.Attach(window) == TRUE);
    CHECK(ProcOf(window) == kShared);
    CHECK(Address(first.PreviousProc()) == original);
    CHECK(CKivWnd::FromHandle(window) == &first);

    SUBCASE("the same object cannot attach twice")
    {
        HWND other = MakeTopLevel();
        CHECK(first.Attach(window) == FALSE);
        CHECK(first.Attach(other) == FALSE);
        CHECK(ProcOf(other) != kShared);
        DestroyWindow(other);
    }
    SUBCASE("a second object leaves the first in charge")
    {
        CKivWnd second;
        CHECK(second.Attach(window) == FALSE);
        CHECK(second.Window() == nullptr);
        CHECK(Address(second.PreviousProc()) == nullptr);
        CHECK(CKivWnd::FromHandle(window) == &first);
        CHECK(ProcOf(window) == kShared);
    }
    SUBCASE("detach puts the procedure read at attach time back")
    {
        CHECK(first.Detach() == TRUE);
        CHECK(ProcOf(window) == original);
        CHECK(CKivWnd::FromHandle(window) == nullptr);
        CHECK(first.Window() == nullptr);
        CHECK(first.Detach() == FALSE);
        // Detached, the object can serve again.
        CHECK(first.Attach(window) == TRUE);
    }
    SUBCASE("the destructor restores as well")
    {
        {
            CKivWnd scoped;
            CHECK(first.Detach() == TRUE);
            REQUIRE(scoped.Attach(window) == TRUE);
        }
        CHECK(ProcOf(window) == original);
        CHECK(CKivWnd::FromHandle(window) == nullptr);
    }
    first.Detach();
    DestroyWindow(window);
}

TEST_CASE("attach on a window another subclasser already holds")
{
    Fresh fresh;
    HWND window = MakeTopLevel();
    TestSubclass under(window, "under");
    CKivWnd object;
    REQUIRE(object.Attach(window) == TRUE);
    CHECK(Address(object.PreviousProc()) != Address(&RecordingProc));

    Log().clear();
    CHECK(SendMessageW(window, WM_USER + 3, 11, 22) == 0);
    REQUIRE(SeenOf(WM_USER + 3).size() == 2);
    CHECK(SeenOf(WM_USER + 3)[0].who == "under");
    CHECK(SeenOf(WM_USER + 3)[1].who == "class");
    CHECK(SeenOf(WM_USER + 3)[1].wParam == 11);
    CHECK(SeenOf(WM_USER + 3)[1].lParam == 22);

    CHECK(object.Detach() == TRUE);
    CHECK(ProcOf(window) != kShared);  // under is on top again, nothing of ours is left
    CHECK(CKivWnd::ForwardMap().count(window) == 0);
    under.Remove();
    CHECK(ProcOf(window) == Address(&RecordingProc));
    DestroyWindow(window);
}

TEST_CASE("routing table answers")
{
    Fresh fresh;
    HWND parent = MakeTopLevel();
    ProbeWnd object;
    REQUIRE(object.Attach(parent) == TRUE);

    SUBCASE("WM_SIZING answers 1 even when the previous procedure says 0")
    {
        Answers()[WM_SIZING] = 0;
        RECT rect = {1, 2, 3, 4};
        CHECK(SendMessageW(parent, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&rect)) == 1);
        REQUIRE(SeenOf(WM_SIZING).size() == 1);
        CHECK(SeenOf(WM_SIZING)[0].wParam == WMSZ_RIGHT);
        CHECK(SeenOf(WM_SIZING)[0].lParam == reinterpret_cast<LPARAM>(&rect));
    }
    SUBCASE("WM_NCPAINT reaches the previous procedure as (1, 0) and answers 0")
    {
        Answers()[WM_NCPAINT] = 77;
        CHECK(SendMessageW(parent, WM_NCPAINT, 0x1234, 0x5678) == 0);
        REQUIRE(SeenOf(WM_NCPAINT).size() == 1);
        CHECK(SeenOf(WM_NCPAINT)[0].wParam == 1);
        CHECK(SeenOf(WM_NCPAINT)[0].lParam == 0);
    }
    SUBCASE("handlers get unpacked arguments and their answers count")
    {
        SendMessageW(parent, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480));
        CHECK(object.sizeType == SIZE_MAXIMIZED);
        CHECK(object.sizeWidth == 640);
        CHECK(object.sizeHeight == 480);
        REQUIRE(SeenOf(WM_SIZE).size() == 1);
        CHECK(SeenOf(WM_SIZE)[0].lParam == MAKELPARAM(640, 480));

        HWND other = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4321));
        Answers()[WM_ACTIVATE] = 0;  // no real activation, which would send more
        SendMessageW(parent, WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), reinterpret_cast<LPARAM>(other));
        CHECK(object.activateState == WA_CLICKACTIVE);
        CHECK(object.activateOther == other);
        CHECK(object.activateMinimized == 1);
        REQUIRE(SeenOf(WM_ACTIVATE).size() == 1);
        CHECK(SeenOf(WM_ACTIVATE)[0].wParam == MAKEWPARAM(WA_CLICKACTIVE, 1));

        CHECK(SendMessageW(parent, WM_NCHITTEST, 0, MAKELPARAM(5, 6)) == HTCAPTION);
        CHECK(object.hitTestPoint == MAKELPARAM(5, 6));
        CHECK(SeenOf(WM_NCHITTEST).empty());

        Answers()[WM_PAINT] = 99;
        CHECK(SendMessageW(parent, WM_PAINT, 0, 0) == 0);
        Answers()[WM_USER + 4] = 0x1357;
        CHECK(SendMessageW(parent, WM_USER + 4, 3, 4) == 0x1357);
    }
    SUBCASE("WM_CTLCOLOREDIT asks the host first and hands its brush to a skinned control; WM_CTLCOLORLISTBOX asks the control first")
    {
        HWND child = MakeAnsweringChild(parent);
        // Only a child that has a skin object is asked: others may give the
        // private numbers a meaning of their own.
        HWND unskinned = MakeAnsweringChild(parent);
        PrivateMessageSkin childSkin;
        REQUIRE(childSkin.Attach(child));
        HDC dc = reinterpret_cast<HDC>(static_cast<INT_PTR>(0xD0C));
        Answers()[WM_CTLCOLOREDIT] = 0xBEEF;
        Answers()[WM_CTLCOLORLISTBOX] = 0xFEED;

        g_childAnswer = 0;
        CHECK(SendMessageW(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)) ==
              0xBEEF);
        REQUIRE(SeenOf(KIV_WM_CTLCOLOREDIT).size() == 1);
        CHECK(SeenOf(KIV_WM_CTLCOLOREDIT)[0].wParam == reinterpret_cast<WPARAM>(dc));
        // The host's own brush goes to the control, which may let it stand.
        CHECK(SeenOf(KIV_WM_CTLCOLOREDIT)[0].lParam == 0xBEEF);
        CHECK(SendMessageW(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(child)) == 0xFEED);
        CHECK(SeenOf(KIV_WM_CTLCOLOR).size() == 1);

        Log().clear();
        g_childAnswer = 0x5150;
        CHECK(SendMessageW(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)) ==
              0x5150);
        CHECK(SendMessageW(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(child)) == 0x5150);
        // The host hears the edit's colour message as unskinned; the control's answer wins.
        CHECK(SeenOf(WM_CTLCOLOREDIT).size() == 1);
        CHECK(SeenOf(WM_CTLCOLORLISTBOX).empty());

        Log().clear();
        CHECK(SendMessageW(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(unskinned)) == 0xBEEF);
        CHECK(SendMessageW(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(unskinned)) == 0xFEED);
        CHECK(SeenOf(KIV_WM_CTLCOLOREDIT).empty());
        CHECK(SeenOf(KIV_WM_CTLCOLOR).empty());
        childSkin.Detach();

        // A skinned child whose skin does not take the private messages is not
        // asked either: passed on to the control, 25 would be answered with the
        // default procedure's brush.
        CKivWnd silentSkin;
        REQUIRE(silentSkin.Attach(child));
        g_childAnswer = 0x5150;
        Log().clear();
        CHECK(SendMessageW(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)) ==
              0xBEEF);
        CHECK(SendMessageW(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(child)) == 0xFEED);
        CHECK(SeenOf(KIV_WM_CTLCOLOREDIT).empty());
        CHECK(SeenOf(KIV_WM_CTLCOLOR).empty());
        silentSkin.Detach();

        // A real edit control knows nothing of 1254: the parent's own answer stands.
        HWND edit = MakeChild(parent, L"Edit", 0, 6);
        CHECK(SendMessageW(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)) ==
              0xBEEF);
    }
    SUBCASE("EN_CHANGE is consumed only when a skinned control answers 1255")
    {
        HWND child = MakeAnsweringChild(parent);
        PrivateMessageSkin childSkin;
        REQUIRE(childSkin.Attach(child));
        Answers()[WM_COMMAND] = 0x22;
        g_childAnswer = 0;
        CHECK(SendMessageW(parent, WM_COMMAND, MAKEWPARAM(5, EN_CHANGE), reinterpret_cast<LPARAM>(child)) == 0x22);
        CHECK(SeenOf(WM_COMMAND).size() == 1);
        g_childAnswer = 1;
        CHECK(SendMessageW(parent, WM_COMMAND, MAKEWPARAM(5, EN_CHANGE), reinterpret_cast<LPARAM>(child)) == 0);
        CHECK(SeenOf(WM_COMMAND).size() == 1);
        // Other notifications never ask.
        Log().clear();
        CHECK(SendMessageW(parent, WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), reinterpret_cast<LPARAM>(child)) == 0x22);
        CHECK(SeenOf(KIV_WM_EDITCHANGE).empty());
        // A control without a skin object (a rich edit, to which 1255 is
        // EM_SETHYPHENATEINFO) is never asked, whatever it would answer.
        HWND unskinned = MakeAnsweringChild(parent);
        CHECK(SendMessageW(parent, WM_COMMAND, MAKEWPARAM(5, EN_CHANGE), reinterpret_cast<LPARAM>(unskinned)) == 0x22);
        CHECK(SeenOf(KIV_WM_EDITCHANGE).empty());
        childSkin.Detach();
    }
    SUBCASE("WM_NOTIFY goes back to a skinned sender first")
    {
        HWND child = MakeAnsweringChild(parent);
        Answers()[WM_NOTIFY] = 0x33;
        NMHDR header = {child, 5, NM_CLICK};

        // Not skinned: straight to the previous procedure, the sender hears nothing.
        g_childAnswer = 0x44;
        CHECK(SendMessageW(parent, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)) == 0x33);
        CHECK(SeenOf(WM_NOTIFY).size() == 1);
        CHECK(SeenOf(WM_NOTIFY)[0].who == "class");

        CKivWnd childSkin;
        REQUIRE(childSkin.Attach(child) == TRUE);
        Log().clear();
        CHECK(SendMessageW(parent, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)) == 0x44);
        REQUIRE(SeenOf(WM_NOTIFY).size() == 1);
        CHECK(SeenOf(WM_NOTIFY)[0].who == "child");
        CHECK(SeenOf(WM_NOTIFY)[0].lParam == reinterpret_cast<LPARAM>(&header));

        g_childAnswer = 0;
        Log().clear();
        CHECK(SendMessageW(parent, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)) == 0x33);
        CHECK(SeenOf(WM_NOTIFY).size() == 2);

        // A subclass the host put over the skinned control never sees the
        // notification come back: the skin object is handed it directly.
        {
            TestSubclass over(child, "over");
            g_childAnswer = 0x44;
            Log().clear();
            CHECK(SendMessageW(parent, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)) == 0x44);
            REQUIRE(SeenOf(WM_NOTIFY).size() == 1);
            CHECK(SeenOf(WM_NOTIFY)[0].who == "child");
        }

        // No sender, or a window telling itself: no reflection, no endless loop.
        NMHDR self = {parent, 0, NM_CLICK};
        CHECK(SendMessageW(parent, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&self)) == 0x33);
        CHECK(SendMessageW(parent, WM_NOTIFY, 0, 0) == 0x33);
        childSkin.Detach();
    }
    object.Detach();
    DestroyWindow(parent);
}

TEST_CASE("message order with subclasses over and under ours")
{
    Fresh fresh;
    HWND window = MakeTopLevel();
    TestSubclass under(window, "under");
    ProbeWnd object;
    REQUIRE(object.Attach(window) == TRUE);
    TestSubclass over(window, "over");
    Log().clear();

    DWORD out = 0xdeadbeef;
    CHECK(SendMessageW(window, kWriteOut, 0, reinterpret_cast<LPARAM>(&out)) == 0);
    CHECK(out == 42);
    std::vector<Seen> order = SeenOf(kWriteOut);
    REQUIRE(order.size() == 3);
    CHECK(order[0].who == "over");
    CHECK(order[1].who == "under");
    CHECK(order[2].who == "class");

    Log().clear();
    CHECK(SendMessageW(window, WM_NCPAINT, 0xAB, 0) == 0);
    order = SeenOf(WM_NCPAINT);
    REQUIRE(order.size() == 3);
    CHECK(order[0].wParam == 0xAB);  // above us the region is untouched
    CHECK(order[1].wParam == 1);
    CHECK(order[2].wParam == 1);

    Log().clear();
    Answers()[WM_SIZING] = 0;
    RECT rect = {0, 0, 0, 0};
    CHECK(SendMessageW(window, WM_SIZING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&rect)) == 1);
    CHECK(SeenOf(WM_SIZING).size() == 3);

    over.Remove();
    object.Detach();
    under.Remove();
    DestroyWindow(window);
}

TEST_CASE("a subclasser above ours is never cut out")
{
    Fresh fresh;
    HWND window = MakeTopLevel();
    const void* original = ProcOf(window);

    SUBCASE("plain SetWindowLongPtr chain, detach in the middle")
    {
        auto object = std::make_unique<ProbeWnd>();
        REQUIRE(object->Attach(window) == TRUE);
        TestSubclass over(window, "over");
        const void* overProc = ProcOf(window);

        CHECK(object->Detach() == TRUE);
        CHECK(ProcOf(window) == overProc);
        CHECK(CKivWnd::FromHandle(window) == nullptr);
        object.reset();

        Log().clear();
        Answers()[WM_SIZING] = 0;
        CHECK(SendMessageW(window, WM_USER + 3, 1, 2) == 0);
        REQUIRE(SeenOf(WM_USER + 3).size() == 2);
        CHECK(SeenOf(WM_USER + 3)[1].who == "class");
        // Our routing is gone: the class's own answer to WM_SIZING comes back.
        CHECK(SendMessageW(window, WM_SIZING, 0, 0) == 0);

        // Attaching a new skin under the remaining subclasser would loop.
        CKivWnd again;
        CHECK(again.Attach(window) == FALSE);

        // Once the subclasser leaves, our forwarder is on top and can be taken over.
        over.Remove();
        CHECK(ProcOf(window) == kShared);
        CHECK(SendMessageW(window, WM_USER + 3, 1, 2) == 0);
        CHECK(SeenOf(WM_USER + 3).back().who == "class");
        REQUIRE(again.Attach(window) == TRUE);
        CHECK(Address(again.PreviousProc()) == original);
        CHECK(SendMessageW(window, WM_SIZING, 0, 0) == 1);
        CHECK(again.Detach() == TRUE);
        CHECK(ProcOf(window) == original);
    }
    SUBCASE("comctl32 subclass, object deleted while it sits on top")
    {
        struct Counter
        {
            static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data)
            {
                if (message == WM_USER + 3)
                    ++*reinterpret_cast<int*>(data);
                return DefSubclassProc(hwnd, message, wParam, lParam);
            }
        };
        int calls = 0;
        int deleted = 0;
        auto object = std::make_unique<ProbeWnd>(&deleted);
        REQUIRE(object->Attach(window) == TRUE);
        REQUIRE(SetWindowSubclass(window, &Counter::Proc, 1, reinterpret_cast<DWORD_PTR>(&calls)));
        object.reset();
        CHECK(deleted == 1);

        Log().clear();
        SendMessageW(window, WM_USER + 3, 0, 0);
        CHECK(calls == 1);
        CHECK(SeenOf(WM_USER + 3).size() == 1);
        RemoveWindowSubclass(window, &Counter::Proc, 1);
        SendMessageW(window, WM_USER + 3, 0, 0);
        CHECK(calls == 1);
        CHECK(SeenOf(WM_USER + 3).size() == 2);
    }
    DestroyWindow(window);
    CHECK(CKivWnd::ForwardMap().count(window) == 0);
}

TEST_CASE("detach and destruction in the middle of a message")
{
    Fresh fresh;
    HWND window = MakeTopLevel();
    const void* original = ProcOf(window);

    SUBCASE("the object detaches itself while handling a message")
    {
        ProbeWnd object;
        REQUIRE(object.Attach(window) == TRUE);
        object.duringMessage = [](ProbeWnd& self) { self.Detach(); };
        Answers()[WM_USER + 9] = 0x99;
        // Detached before routing: the base answers nothing, the message ends here.
        CHECK(SendMessageW(window, WM_USER + 9, 0, 0) == 0);
        CHECK(ProcOf(window) == original);
        CHECK(SendMessageW(window, WM_USER + 9, 0, 0) == 0x99);
    }
    SUBCASE("a registry-owned object whose window dies inside its own handler")
    {
        int deleted = 0;
        auto owned = std::make_unique<ProbeWnd>(&deleted);
        ProbeWnd* probe = owned.get();
        probe->duringMessage = [](ProbeWnd& self) { DestroyWindow(self.Window()); };
        REQUIRE(CKivWndBox::Instance().Adopt(window, std::move(owned)) == 1);
        Log().clear();
        SendMessageW(window, WM_USER + 9, 0, 0);
        CHECK(deleted == 1);
        CHECK_FALSE(IsWindow(window));
        CHECK(CKivWndBox::Instance().Find(window) == nullptr);
        CHECK(CKivWnd::FromHandle(window) == nullptr);
        // The handler finished on a live object; deletion came after it.
        std::vector<std::string> order;
        for (const Seen& seen : Log())
            if (seen.who != "class" || seen.message == WM_NCDESTROY)
                order.push_back(seen.who);
        REQUIRE(order.size() == 3);
        CHECK(order[0] == "class");  // WM_NCDESTROY reached the window's own procedure
        CHECK(order[1] == "probe-after");
        CHECK(order[2] == "probe-deleted");
        return;
    }
    DestroyWindow(window);
}

TEST_CASE("WM_NCDESTROY: previous procedure first, then the object lets go")
{
    Fresh fresh;
    CKivWndBox& registry = CKivWndBox::Instance();
    const size_t registered = registry.Count();
    const size_t subclassed = CKivWnd::SubclassMap().size();

    SUBCASE("registry-owned objects are released")
    {
        HWND window = MakeTopLevel();
        int deleted = 0;
        REQUIRE(registry.Adopt(window, std::make_unique<ProbeWnd>(&deleted)) == 1);
        CHECK(registry.Count() == registered + 1);
        CHECK(registry.Adopt(window, std::make_unique<ProbeWnd>(&deleted)) == 0);
        CHECK(deleted == 1);  // the refused one
        Log().clear();
        DestroyWindow(window);
        CHECK(deleted == 2);
        CHECK(registry.Count() == registered);
        CHECK(CKivWnd::SubclassMap().size() == subclassed);
        REQUIRE(Log().size() >= 2);
        CHECK(Log()[Log().size() - 2].message == WM_NCDESTROY);
        CHECK(Log().back().who == "probe-deleted");
    }
    SUBCASE("an object nobody owns is only unbound")
    {
        HWND window = MakeTopLevel();
        int deleted = 0;
        ProbeWnd object(&deleted);
        REQUIRE(object.Attach(window) == TRUE);
        DestroyWindow(window);
        CHECK(deleted == 0);
        CHECK(object.Window() == nullptr);
        CHECK(Address(object.PreviousProc()) == nullptr);
        CHECK(CKivWnd::SubclassMap().size() == subclassed);
    }
}

TEST_CASE("dialog background skin: the strategy paints when the skin has a background, else the window erases")
{
    Fresh fresh;
    HWND window = MakeTopLevel();
    CKivWndNoCaptionBar skin;
    REQUIRE(skin.Attach(window) == TRUE);
    CHECK(skin.WindowPaint() != nullptr);
    CHECK(skin.Attach(window) == FALSE);
    Answers()[WM_ERASEBKGND] = 0x77;

    KivSkinSettings& settings = CKivSkinStore::Settings();
    const KivSkinSettings saved = settings;
    settings.edgeEnableBackground = 0;
    settings.edgeEnableBackColor = 0;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 300, 300);
    HGDIOBJ old = SelectObject(memory, bitmap);
    CHECK(SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0) == 0x77);
    REQUIRE(SeenOf(WM_ERASEBKGND).size() == 1);
    CHECK(SeenOf(WM_ERASEBKGND)[0].wParam == reinterpret_cast<WPARAM>(memory));

    settings.edgeEnableBackColor = 1;
    settings.edgeBackgroundColor = RGB(10, 200, 30);
    CHECK(SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0) == 1);
    CHECK(SeenOf(WM_ERASEBKGND).size() == 1);
    CHECK(GetPixel(memory, 3, 4) == RGB(10, 200, 30));
    settings = saved;

    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    skin.Detach();
    DestroyWindow(window);
}

namespace {

class ProbeImpl : public CKivWndImpl
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER + 1)
            return 0x600D;
        return CKivWndImpl::WindowProc(message, wParam, lParam);
    }
    void UseClass(const wchar_t* name) { m_className = name; }
};

}  // namespace

TEST_CASE("own windows: class, map, geometry, destruction")
{
    Fresh fresh;
    SUBCASE("library class")
    {
        ProbeImpl own;
        CHECK(std::wstring(own.ClassName()) == L"KIV.{6FE6C45C-06F9-4F46-ADF7-05E896B33D5D}");
        REQUIRE(own.CreateEx(L"own", WS_POPUP, WS_EX_TOOLWINDOW, 30, 40, 120, 80, nullptr, nullptr, nullptr, FALSE));
        HWND window = own.Window();
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        CHECK(std::wstring(name) == own.ClassName());
        CHECK(CKivWndImpl::FromHandle(window) == &own);
        CHECK(SendMessageW(window, WM_USER + 1, 0, 0) == 0x600D);
        CHECK(own.Width() == 120);
        SetWindowPos(window, nullptr, 50, 60, 200, 90, SWP_NOZORDER | SWP_NOACTIVATE);
        CHECK(own.Width() == 200);
        CHECK(own.Height() == 90);
        CHECK(own.WindowRect().left == 50);
        // Closing destroys the window once, without recursion, and forgets it.
        SendMessageW(window, WM_CLOSE, 0, 0);
        CHECK_FALSE(IsWindow(window));
        CHECK(own.Window() == nullptr);
        CHECK(CKivWndImpl::FromHandle(window) == nullptr);
    }
    SUBCASE("existing class, subclassed; the class keeps its own behaviour")
    {
        HWND window = nullptr;
        {
            ProbeImpl own;
            own.UseClass(L"Edit");
            REQUIRE(own.Create(L"text", WS_POPUP, 0, 0, 100, 30, nullptr, nullptr, nullptr, TRUE));
            window = own.Window();
            CHECK(ProcOf(window) == Address(&CKivWndImpl::OwnWindowProc));
            CHECK(SendMessageW(window, WM_USER + 1, 0, 0) == 0x600D);
            wchar_t text[16] = {};
            CHECK(SendMessageW(window, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)) == 4);
            CHECK(std::wstring(text) == L"text");
        }
        CHECK_FALSE(IsWindow(window));
        CHECK(CKivWndImpl::FromHandle(window) == nullptr);
    }
    SUBCASE("a window destroyed from outside is forgotten")
    {
        ProbeImpl own;
        REQUIRE(own.Create(L"own", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, FALSE));
        HWND window = own.Window();
        DestroyWindow(window);
        CHECK(own.Window() == nullptr);
        CHECK(CKivWndImpl::FromHandle(window) == nullptr);
    }
}
