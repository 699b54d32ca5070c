// Switching skins while windows are open: every skinned window of the thread
// takes the new skin at once, with the same pixels a window made under that
// skin has, repainted once; a bad file changes nothing; back-and-forth
// switches leave no GDI objects behind.
#include <doctest.h>
#include "CKivComboBox.h"
#include "CKivEngine.h"
#include "CKivFrameWnd.h"
#include "CKivSkinStore.h"
#include "CKivWndBox.h"
#include "KivControlGallery.h"
#include "KivGdiLeakOracle.h"
#include "KivSkinTestImages.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

using kivtest::Canvas;
using kivtest::ControlGallery;

namespace {

const wchar_t kPartnerTitle[] = L"Kiv switch partner";
const wchar_t kFrameTitle[] = L"Kiv switch frame";

std::wstring ShippedSkin(const wchar_t* name)
{
    return kivtest::BinaryDir() + L"\\" + name;
}

bool Load(const wchar_t* name)
{
    return CKivEngine::Instance().LoadSkin(ShippedSkin(name).c_str()) != FALSE;
}

// The engine runs on this thread with the default skin; an unskinned
// window holds the activation, so no skinned window shows focus or an
// active caption.
class SwitchScene
{
public:
    SwitchScene()
    {
        CKivEngine& engine = CKivEngine::Instance();
        static bool filtered = false;
        if (!filtered)
            engine.AddCaptionFilter(kPartnerTitle);
        filtered = true;
        REQUIRE(Load(L"default.kiv"));
        REQUIRE(engine.Run());
        m_partner = CreateWindowExW(0, kivtest::RegisterTestClass(L"KivSwitchPartner", DefWindowProcW), kPartnerTitle,
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 600, 200, 100, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        REQUIRE(m_partner != nullptr);
        SetForegroundWindow(m_partner);
        SetActiveWindow(m_partner);
        // The pointer rests on the partner: nothing skinned is hot.
        SetCursorPos(800, 650);
    }
    ~SwitchScene()
    {
        DestroyWindow(m_partner);
        CKivEngine::Instance().Stop();
        Load(L"default.kiv");
    }
    SwitchScene(const SwitchScene&) = delete;
    SwitchScene& operator=(const SwitchScene&) = delete;

private:
    HWND m_partner = nullptr;
};

// What the screen shows of a window.
std::unique_ptr<Canvas> Shot(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    auto canvas = std::make_unique<Canvas>(rect.right - rect.left, rect.bottom - rect.top, RGB(1, 2, 3));
    kivtest::CaptureScreenTo(window, *canvas);
    return canvas;
}

// The first pixel where two shots differ, for the failure message.
std::string FirstDifference(const Canvas& a, const Canvas& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return "size " + std::to_string(a.Width()) + "x" + std::to_string(a.Height()) + " against " +
               std::to_string(b.Width()) + "x" + std::to_string(b.Height());
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y))
            {
                char text[96];
                snprintf(text, sizeof(text), "(%d, %d): %06lx against %06lx", x, y,
                         static_cast<unsigned long>(a.Pixel(x, y)), static_cast<unsigned long>(b.Pixel(x, y)));
                return text;
            }
    return "none";
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

void CheckSamePixels(HWND switched, HWND fresh, const std::wstring& what)
{
    const std::unique_ptr<Canvas> a = Shot(switched);
    const std::unique_ptr<Canvas> b = Shot(fresh);
    INFO(Narrow(what), ": first difference at ", FirstDifference(*a, *b));
    CHECK(a->SameAs(*b));
}

// Counts the WM_PAINT messages each window of the thread takes from the queue.
class PaintCounter
{
public:
    PaintCounter()
    {
        Counts().clear();
        m_hook = SetWindowsHookExW(WH_GETMESSAGE, Hook, nullptr, GetCurrentThreadId());
    }
    ~PaintCounter() { UnhookWindowsHookEx(m_hook); }
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;
    int Of(HWND window) const { return Counts()[window]; }

private:
    static std::map<HWND, int>& Counts()
    {
        static std::map<HWND, int> counts;
        return counts;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const MSG* message = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_PAINT)
            ++Counts()[message->hwnd];
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK m_hook = nullptr;
};

// A skin of frame sizes and shadow only, written as a .kiv file.
std::wstring WriteFrameSkin(const kivtest::TempDir& folder, const wchar_t* name, int caption, int left, int top,
                            int right, int bottom, COLORREF shadow, bool sizeControl, bool hideShadow)
{
    auto value = [](const char* leaf, long number) {
        return "<" + std::string(leaf) + " value=\"" + std::to_string(number) + "\"/>";
    };
    const std::string body =
        "<WindowEdge><CaptionBar>" + value("Height", caption) + "</CaptionBar><BorderLeft>" + value("Width", left) +
        "</BorderLeft><BorderTop>" + value("Width", top) + "</BorderTop><BorderRight>" + value("Width", right) +
        "</BorderRight><BorderBottom>" + value("Width", bottom) + "</BorderBottom><Edge>" +
        value("ShadowColor", static_cast<long>(shadow)) + value("EnableSizeCtl", sizeControl ? 1 : 0) +
        value("HideShadow", hideShadow ? 1 : 0) + "</Edge></WindowEdge>";
    const std::wstring path = folder.File(name);
    REQUIRE(kivtest::WriteFileBytes(path, kivtest::MakeSkinFile(kivtest::SettingsXml(body), kivtest::skin::AtlasImage())));
    return path;
}

SIZE WindowSize(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

SIZE ClientSize(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return SIZE{rect.right, rect.bottom};
}

int EnvironmentCount(const char* name, int fallback)
{
    char text[16] = {};
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof(text));
    const int value = length > 0 && length < sizeof(text) ? atoi(text) : 0;
    return value > 0 ? value : fallback;
}

}  // namespace

TEST_CASE("open windows take each new skin and look like windows made under it")
{
    SwitchScene scene;
    ControlGallery switched(8, 8);
    REQUIRE(static_cast<int>(switched.Controls().size()) == ControlGallery::KindCount());
    const HWND frame = kivtest::CreateMenuFrame(kFrameTitle, 8, 340, 300, 120);
    REQUIRE(frame != nullptr);
    REQUIRE(kivtest::PumpPaints());

    CKivWndBox& registry = CKivEngine::Instance().Registry();
    std::map<HWND, CKivWnd*> objects;
    for (const auto& control : switched.Controls())
        objects[control.window] = registry.Find(control.window);
    objects[frame] = registry.Find(frame);
    objects[switched.Dialog()] = registry.Find(switched.Dialog());
    for (const auto& entry : objects)
        REQUIRE(entry.second != nullptr);
    RECT frameClient = {};
    GetClientRect(frame, &frameClient);

    for (const wchar_t* name : {L"dark.kiv", L"default.kiv"})
    {
        CAPTURE(Narrow(name));
        PaintCounter paints;
        REQUIRE(Load(name));
        // Marked for the one repaint, not yet drawn.
        for (const auto& control : switched.Controls())
        {
            INFO(Narrow(control.kind));
            CHECK(GetUpdateRect(control.window, nullptr, FALSE));
        }
        REQUIRE(kivtest::PumpPaints());
        for (const auto& control : switched.Controls())
        {
            INFO(Narrow(control.kind));
            CHECK(paints.Of(control.window) == 1);
        }
        // The same windows and skin objects, the frame's client unchanged.
        for (const auto& entry : objects)
        {
            CHECK(IsWindow(entry.first));
            CHECK(registry.Find(entry.first) == entry.second);
        }
        RECT client = {};
        GetClientRect(frame, &client);
        CHECK(client.right == frameClient.right);
        CHECK(client.bottom == frameClient.bottom);

        // The parts no screenshot shows: the frame's glow and the closed drop-down.
        const KivSkinSettings& settings = CKivSkinStore::Settings();
        auto* frameSkin = dynamic_cast<CKivFrameWnd*>(registry.Find(frame));
        REQUIRE(frameSkin != nullptr);
        CHECK(frameSkin->Glow().ShadowColor() == (static_cast<COLORREF>(settings.edgeShadowColor) & 0xFFFFFF));
        for (const auto& control : switched.Controls())
            if (auto* combo = dynamic_cast<CKivComboBox*>(registry.Find(control.window)))
                CHECK(combo->DropDownList().GetLook().background ==
                      static_cast<COLORREF>(settings.comboBoxListBoxBackgroundColor));

        ControlGallery fresh(520, 8);
        const HWND freshFrame = kivtest::CreateMenuFrame(kFrameTitle, 520, 340, 300, 120);
        REQUIRE(freshFrame != nullptr);
        REQUIRE(kivtest::PumpPaints());
        REQUIRE(fresh.Controls().size() == switched.Controls().size());
        for (size_t i = 0; i < switched.Controls().size(); ++i)
            CheckSamePixels(switched.Controls()[i].window, fresh.Controls()[i].window, switched.Controls()[i].kind);
        CheckSamePixels(switched.Dialog(), fresh.Dialog(), L"dialog");
        CheckSamePixels(frame, freshFrame, L"frame with menu bar");
        DestroyWindow(freshFrame);
    }
    DestroyWindow(frame);
}

TEST_CASE("a skin that fails to load leaves every open window as it was")
{
    SwitchScene scene;
    ControlGallery gallery(8, 8);
    REQUIRE(kivtest::PumpPaints());
    std::vector<std::unique_ptr<Canvas>> before;
    for (const auto& control : gallery.Controls())
        before.push_back(Shot(control.window));

    kivtest::TempDir folder;
    std::vector<unsigned char> damaged = kivtest::ReadFileBytes(ShippedSkin(L"dark.kiv"));
    REQUIRE(damaged.size() > 100);
    damaged.resize(damaged.size() - 100);
    REQUIRE(kivtest::WriteFileBytes(folder.File(L"damaged.kiv"), damaged));
    const unsigned generation = CKivSkinStore::Generation();
    CHECK_FALSE(CKivEngine::Instance().LoadSkin(folder.File(L"damaged.kiv").c_str()));
    CHECK(CKivSkinStore::Generation() == generation);
    for (size_t i = 0; i < gallery.Controls().size(); ++i)
    {
        INFO(Narrow(gallery.Controls()[i].kind));
        CHECK_FALSE(GetUpdateRect(gallery.Controls()[i].window, nullptr, FALSE));
        const std::unique_ptr<Canvas> after = Shot(gallery.Controls()[i].window);
        CHECK(after->SameAs(*before[i]));
    }
}

TEST_CASE("a frame keeps its client area under new borders and its glow follows the skin")
{
    SwitchScene scene;
    kivtest::TempDir folder;
    const std::wstring thin = WriteFrameSkin(folder, L"thin.kiv", 30, 4, 4, 4, 4, RGB(16, 32, 48), true, false);
    const std::wstring thick = WriteFrameSkin(folder, L"thick.kiv", 40, 6, 5, 6, 7, RGB(64, 80, 96), false, false);
    const std::wstring bare = WriteFrameSkin(folder, L"bare.kiv", 30, 4, 4, 4, 4, RGB(16, 32, 48), true, true);
    CKivEngine& engine = CKivEngine::Instance();
    REQUIRE(engine.LoadSkin(thin.c_str()));
    const HWND frame = kivtest::CreateMenuFrame(kFrameTitle, 8, 300, 300, 120);
    REQUIRE(frame != nullptr);
    REQUIRE(kivtest::PumpPaints());
    auto* skin = dynamic_cast<CKivFrameWnd*>(engine.Registry().Find(frame));
    REQUIRE(skin != nullptr);
    const SIZE client = ClientSize(frame);
    const SIZE thinSize = WindowSize(frame);
    REQUIRE(skin->Glow().Window() != nullptr);
    CHECK(skin->Glow().ShadowColor() == RGB(16, 32, 48));

    REQUIRE(engine.LoadSkin(thick.c_str()));
    REQUIRE(kivtest::PumpPaints());
    CHECK(engine.Registry().Find(frame) == skin);
    CHECK(ClientSize(frame).cx == client.cx);
    CHECK(ClientSize(frame).cy == client.cy);
    CHECK(WindowSize(frame).cx > thinSize.cx);
    CHECK(WindowSize(frame).cy > thinSize.cy);
    POINT origin = {0, 0};
    ClientToScreen(frame, &origin);
    RECT bounds = {};
    GetWindowRect(frame, &bounds);
    CHECK(origin.x - bounds.left == 6);
    CHECK(origin.y - bounds.top == 45 + skin->Metrics()->menuBarHeight);
    // The same glow window, in the new colour, letting clicks through.
    CHECK(skin->Glow().ShadowColor() == RGB(64, 80, 96));
    CHECK(skin->Glow().SizeControl() == FALSE);
    CHECK((GetWindowLongPtrW(skin->Glow().Window(), GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0);
    // A frame made under this skin from the same size looks the same.
    const HWND fresh = kivtest::CreateMenuFrame(kFrameTitle, 400, 300, 300, 120);
    REQUIRE(fresh != nullptr);
    CHECK(WindowSize(fresh).cx == WindowSize(frame).cx);
    CHECK(WindowSize(fresh).cy == WindowSize(frame).cy);
    DestroyWindow(fresh);

    REQUIRE(engine.LoadSkin(bare.c_str()));
    REQUIRE(kivtest::PumpPaints());
    CHECK(skin->Glow().Window() == nullptr);
    CHECK(WindowSize(frame).cx == thinSize.cx);
    CHECK(WindowSize(frame).cy == thinSize.cy);

    REQUIRE(engine.LoadSkin(thin.c_str()));
    REQUIRE(kivtest::PumpPaints());
    CHECK(skin->Glow().Window() != nullptr);
    CHECK(skin->Glow().ShadowColor() == RGB(16, 32, 48));
    CHECK(skin->Glow().SizeControl() == TRUE);
    CHECK(ClientSize(frame).cx == client.cx);
    CHECK(ClientSize(frame).cy == client.cy);
    DestroyWindow(frame);
}

// KIV_SWITCH_ROUNDS sets the number of switches (50 by default; 1,000 for
// a long run).
TEST_CASE("switching back and forth with every kind open leaves no GDI objects behind")
{
    SwitchScene scene;
    ControlGallery gallery(8, 8);
    const HWND frame = kivtest::CreateMenuFrame(kFrameTitle, 8, 340, 300, 120);
    REQUIRE(frame != nullptr);
    REQUIRE(kivtest::PumpPaints());
    kivtest::GdiLeakOracle oracle;
    REQUIRE(oracle.ReadsHandleTable());
    const wchar_t* const skins[2] = {L"dark.kiv", L"default.kiv"};
    // Warm-up: both skins' pieces, brushes and shadows have been made once.
    for (int i = 0; i < 4; ++i)
    {
        REQUIRE(Load(skins[i % 2]));
        REQUIRE(kivtest::PumpPaints());
    }
    // Even: the count ends on the skin it started from.
    int rounds = EnvironmentCount("KIV_SWITCH_ROUNDS", 50);
    rounds += rounds % 2;
    const long before = oracle.LiveObjects();
    const long bitmapsBefore = oracle.LiveObjects(0x05);
    const long brushesBefore = oracle.LiveObjects(0x10);
    for (int i = 0; i < rounds; ++i)
    {
        REQUIRE(Load(skins[i % 2]));
        REQUIRE(kivtest::PumpPaints());
    }
    const long after = oracle.LiveObjects();
    printf("skin switches: %d, GDI objects before %ld after %ld (bitmaps %ld -> %ld, brushes %ld -> %ld)\n", rounds,
           before, after, bitmapsBefore, oracle.LiveObjects(0x05), brushesBefore, oracle.LiveObjects(0x10));
    CHECK(after == before);
    CHECK(IsWindow(frame));
    DestroyWindow(frame);
}
