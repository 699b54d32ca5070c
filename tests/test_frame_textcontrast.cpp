// The title and menu bar item texts take black or white, whichever reads on
// the picture under them; the shipped skins keep both at 4.5:1 or better on
// screen, active and inactive. With KIV_SCREENSHOT_DIR set the screen captures
// are saved there as BMP files.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivFrameWnd.h"
#include "CKivWndBox.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"
#include "KivFrameTestHost.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

using kivtest::Canvas;
namespace skin = kivtest::skin;

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

// The most common colour in a box: the background the text sits on.
COLORREF Background(const Canvas& canvas, const RECT& box)
{
    std::map<COLORREF, int> counts;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            ++counts[canvas.Pixel(x, y)];
    COLORREF best = CLR_INVALID;
    int most = 0;
    for (const auto& entry : counts)
        if (entry.second > most)
        {
            most = entry.second;
            best = entry.first;
        }
    return best;
}

// The pixel of the box that contrasts most with the background: the text
// colour where the glyphs cover a whole pixel.
COLORREF Ink(const Canvas& canvas, const RECT& box, COLORREF background)
{
    COLORREF ink = background;
    double best = 1.0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
        {
            const double ratio = CKivTextContrast::ContrastRatio(canvas.Pixel(x, y), background);
            if (ratio > best)
            {
                best = ratio;
                ink = canvas.Pixel(x, y);
            }
        }
    return ink;
}

// Equal but for the rounding of blended glyph edges.
bool Near(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 2 && std::abs(GetGValue(a) - GetGValue(b)) <= 2 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 2;
}

std::string Hex(COLORREF colour)
{
    char text[8] = {};
    snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

struct Measured
{
    COLORREF background;
    COLORREF ink;
    double ratio;
};

Measured Measure(const Canvas& canvas, const RECT& box)
{
    Measured m;
    m.background = Background(canvas, box);
    m.ink = Ink(canvas, box, m.background);
    m.ratio = CKivTextContrast::ContrastRatio(m.ink, m.background);
    return m;
}

// Where the title is drawn: after the icon, before the caption buttons.
RECT TitleBox(const KivFrameMetrics& m)
{
    return RECT{m.captionRect.left + 26, m.captionRect.top + 2, m.minButton.x - 4, m.captionRect.bottom - 2};
}

// The menu bar, inset from its top and bottom lines.
RECT BarBox(const KivFrameMetrics& m, int windowWidth)
{
    const int top = m.borderTop + m.captionHeight;
    return RECT{m.borderLeft + 2, top + 2, windowWidth - m.borderRight - 2, top + m.menuBarHeight - 2};
}

HMENU Bar(UINT flags)
{
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_STRING | flags, 101, L"File");
    AppendMenuW(bar, MF_STRING | flags, 102, L"Edit");
    AppendMenuW(bar, MF_STRING | flags, 103, L"Window");
    return bar;
}

void Render(frametest::SkinnedFrame& frame, Canvas& canvas)
{
    canvas.Fill(RGB(1, 2, 3));
    kivtest::PrintWindowTo(frame.Window(), canvas);
}

int SlotWithLuminance(bool darkest)
{
    int chosen = -1;
    double extreme = darkest ? 2.0 : -1.0;
    for (int slot = 0; slot < skin::SlotCount; ++slot)
    {
        const COLORREF colour = skin::SlotColour(slot);
        if (colour == kBlack)
            continue;  // transparent when drawn
        const double l = CKivTextContrast::RelativeLuminance(colour);
        if (darkest ? l < extreme : l > extreme)
        {
            extreme = l;
            chosen = slot;
        }
    }
    return chosen;
}

}  // namespace

TEST_CASE("luminance, contrast ratio and the readable colour")
{
    CHECK(CKivTextContrast::RelativeLuminance(kWhite) == doctest::Approx(1.0));
    CHECK(CKivTextContrast::RelativeLuminance(kBlack) == doctest::Approx(0.0));
    CHECK(CKivTextContrast::RelativeLuminance(RGB(255, 0, 0)) == doctest::Approx(0.2126));
    CHECK(CKivTextContrast::RelativeLuminance(RGB(0, 255, 0)) == doctest::Approx(0.7152));
    CHECK(CKivTextContrast::ContrastRatio(kBlack, kWhite) == doctest::Approx(21.0));
    CHECK(CKivTextContrast::ContrastRatio(kWhite, kBlack) == doctest::Approx(21.0));
    CHECK(CKivTextContrast::ContrastRatio(RGB(0x77, 0x77, 0x77), kWhite) == doctest::Approx(4.48).epsilon(0.01));
    // Black wins from a luminance of about 0.18 up.
    CHECK(CKivTextContrast::ReadableOn(0.0) == kWhite);
    CHECK(CKivTextContrast::ReadableOn(0.17) == kWhite);
    CHECK(CKivTextContrast::ReadableOn(0.19) == kBlack);
    CHECK(CKivTextContrast::ReadableOn(1.0) == kBlack);
    for (double background : {0.0, 0.02, 0.1, 0.5, 0.9, 1.0})
    {
        const COLORREF grey = CKivTextContrast::GrayOn(background);
        const double l = CKivTextContrast::RelativeLuminance(grey);
        INFO("background " << background);
        CHECK(CKivTextContrast::ContrastRatio(l, background) >= 4.5);
        // Dimmer than the normal text colour, so a disabled item still looks disabled.
        CHECK(CKivTextContrast::ContrastRatio(l, background) <
              CKivTextContrast::ContrastRatio(CKivTextContrast::RelativeLuminance(
                                                  CKivTextContrast::ReadableOn(background)),
                                              background));
    }
}

TEST_CASE("a dark caption or bar picture gets white text, a light one black")
{
    skin::Install();
    const int dark = SlotWithLuminance(true);
    const int light = SlotWithLuminance(false);
    REQUIRE(dark >= 0);
    REQUIRE(light >= 0);
    REQUIRE(CKivTextContrast::RelativeLuminance(skin::SlotColour(dark)) < 0.15);
    REQUIRE(CKivTextContrast::RelativeLuminance(skin::SlotColour(light)) > 0.3);
    KivSkinSettings& s = CKivSkinStore::Settings();
    s.menuBarHeight = 22;
    s.menuBarEnableCustom = 1;  // the bar drawn from its picture

    struct Case
    {
        const char* name;
        int caption;
        int bar;
        COLORREF text;
    };
    const Case cases[] = {{"dark", dark, dark, kWhite}, {"light", light, light, kBlack}};
    for (const Case& c : cases)
    {
        INFO(std::string(c.name));
        s.captionBarActiveBmp = skin::SlotRect(c.caption);
        s.captionBarDefaultBmp = skin::SlotRect(c.caption);
        s.menuBarBackground = skin::SlotRect(c.bar);
        // The measurement follows the settings without a reload.
        CHECK(CKivTextContrast::Current().titleActive == c.text);
        CHECK(CKivTextContrast::Current().barText == c.text);

        frametest::SkinnedFrame frame(WS_OVERLAPPEDWINDOW, 360, 200, true, Bar(0));
        const KivFrameMetrics& m = *frame.Frame().Metrics();
        REQUIRE(m.menuBarHeight > 0);
        Canvas canvas(frame.Width(), frame.Height(), 0);
        Render(frame, canvas);
        const Measured title = Measure(canvas, TitleBox(m));
        CHECK(title.background == skin::SlotColour(c.caption));
        CHECK(title.ink == c.text);
        const Measured items = Measure(canvas, BarBox(m, frame.Width()));
        CHECK(items.background == skin::SlotColour(c.bar));
        CHECK(items.ink == c.text);

        // Greyed items: a grey that still reads, and is not the normal colour.
        frametest::SkinnedFrame greyed(WS_OVERLAPPEDWINDOW, 360, 200, true, Bar(MF_GRAYED));
        Canvas greyCanvas(greyed.Width(), greyed.Height(), 0);
        Render(greyed, greyCanvas);
        const Measured grey = Measure(greyCanvas, BarBox(*greyed.Frame().Metrics(), greyed.Width()));
        CHECK(grey.ink != c.text);
        if (c.text == kWhite)
            CHECK(grey.ratio >= 4.5);
        else
            CHECK(Near(grey.ink, GetSysColor(COLOR_GRAYTEXT)));  // as it always was
    }
    // A light caption with a dark bar: each text follows its own picture.
    s.captionBarActiveBmp = skin::SlotRect(light);
    s.captionBarDefaultBmp = skin::SlotRect(dark);
    s.menuBarBackground = skin::SlotRect(dark);
    CHECK(CKivTextContrast::Current().titleActive == kBlack);
    CHECK(CKivTextContrast::Current().titleInactive == kWhite);
    CHECK(CKivTextContrast::Current().barText == kWhite);
}

TEST_CASE("the shipped skins keep titles and bar items at 4.5:1 on screen")
{
    for (const wchar_t* name : {L"default", L"dark"})
    {
        const std::wstring path = kivtest::BinaryDir() + L"\\" + name + L".kiv";
        const std::string label(name, name + wcslen(name));
        INFO(label);
        REQUIRE(CKivSkinStore::LoadSkin(path.c_str()));
        REQUIRE(CKivSkinStore::Atlas() != nullptr);
        frametest::SkinnedFrame frame(WS_OVERLAPPEDWINDOW, 420, 240, true, Bar(0));
        HWND window = frame.Window();
        HWND other = frametest::CreateHost(WS_OVERLAPPEDWINDOW, 600, 400, 200, 120, L"other");
        REQUIRE(other != nullptr);
        const KivFrameMetrics& m = *frame.Frame().Metrics();
        REQUIRE(m.menuBarHeight > 0);
        for (bool active : {true, false})
        {
            const std::string state = active ? "active" : "inactive";
            INFO(state);
            SetForegroundWindow(active ? window : other);
            REQUIRE(kivtest::PumpUntil([&]() { return (frame.Frame().ActiveState() != 0) == active; }));
            // Wait until the screen shows what the frame renders off-screen.
            Canvas printed(frame.Width(), frame.Height(), 0);
            Canvas screen(frame.Width(), frame.Height(), 0);
            const RECT title = TitleBox(m);
            const RECT bar = BarBox(m, frame.Width());
            CHECK(kivtest::PumpUntil([&]() {
                Render(frame, printed);
                kivtest::CaptureScreenTo(window, screen);
                for (const RECT* box : {&title, &bar})
                    for (int y = box->top; y < box->bottom; ++y)
                        for (int x = box->left; x < box->right; ++x)
                            if (screen.Pixel(x, y) != printed.Pixel(x, y))
                                return false;
                return true;
            }));
            wchar_t folder[MAX_PATH] = {};
            if (GetEnvironmentVariableW(L"KIV_SCREENSHOT_DIR", folder, MAX_PATH))
                screen.Save((std::wstring(folder) + L"\\contrast_" + name + (active ? L"_active" : L"_inactive") +
                             L".bmp").c_str());
            const Measured t = Measure(screen, title);
            const Measured b = Measure(screen, bar);
            MESSAGE(label << " " << state << ": title " << t.ratio << ":1 (" << Hex(t.ink) << " on "
                          << Hex(t.background) << "), bar items " << b.ratio << ":1 (" << Hex(b.ink) << " on "
                          << Hex(b.background) << ")");
            CHECK(t.ratio >= 4.5);
            CHECK(b.ratio >= 4.5);
            // The default skin keeps the black it always had.
            if (label == "default")
            {
                CHECK(t.ink == kBlack);
                CHECK(b.ink == kBlack);
            }
            else
            {
                CHECK(t.ink == kWhite);
                CHECK(b.ink == kWhite);
            }
        }
        DestroyWindow(other);
    }
}

namespace {

LRESULT CALLBACK LabelHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

// A button as the engine skins it, printed off-screen.
void PrintControl(HWND control, Canvas& canvas)
{
    canvas.Fill(RGB(1, 2, 3));
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT | PRF_ERASEBKGND);
}

}  // namespace

TEST_CASE("button and check box labels read on the shipped skins, enabled and disabled")
{
    const wchar_t* hostClass = kivtest::RegisterTestClass(L"KivLabelContrastHost", LabelHostProc, nullptr);
    for (const wchar_t* name : {L"default", L"dark"})
    {
        const std::wstring path = kivtest::BinaryDir() + L"\\" + name + L".kiv";
        const std::string label(name, name + wcslen(name));
        INFO(label);
        REQUIRE(CKivSkinStore::LoadSkin(path.c_str()));
        REQUIRE(CKivEngine::Instance().Run());
        HWND host = CreateWindowExW(0, hostClass, L"labels", WS_POPUP | WS_VISIBLE, 50, 50, 300, 200, nullptr,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
        HWND push = CreateWindowExW(0, L"BUTTON", L"Button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 120, 30,
                                    host, nullptr, GetModuleHandleW(nullptr), nullptr);
        HWND check = CreateWindowExW(0, L"BUTTON", L"Check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 60, 120, 24,
                                     host, nullptr, GetModuleHandleW(nullptr), nullptr);
        CKivEngine::Instance().Stop();
        REQUIRE(CKivEngine::Instance().Registry().Find(push) != nullptr);
        REQUIRE(CKivEngine::Instance().Registry().Find(check) != nullptr);
        for (bool enabled : {true, false})
        {
            const std::string state = enabled ? "enabled" : "disabled";
            INFO(state);
            EnableWindow(push, enabled);
            EnableWindow(check, enabled);
            kivtest::PumpPending();
            Canvas pushCanvas(120, 30, 0);
            PrintControl(push, pushCanvas);
            const Measured p = Measure(pushCanvas, RECT{30, 8, 90, 22});
            Canvas checkCanvas(120, 24, 0);
            PrintControl(check, checkCanvas);
            const Measured c = Measure(checkCanvas, RECT{24, 4, 80, 20});
            MESSAGE(label << " " << state << ": push button " << p.ratio << ":1 ("
                          << Hex(p.ink) << " on " << Hex(p.background) << "), check box " << c.ratio << ":1 ("
                          << Hex(c.ink) << " on " << Hex(c.background) << ")");
            CHECK(p.ratio >= 4.5);
            CHECK(c.ratio >= 4.5);
            if (label == "default")
            {
                // Black, as these labels have always been; disabled ones a
                // grey that still reads, so they look disabled.
                CHECK((p.ink == kBlack) == enabled);
                CHECK((c.ink == kBlack) == enabled);
            }
        }
        DestroyWindow(host);
        kivtest::PumpPending();
    }
}
