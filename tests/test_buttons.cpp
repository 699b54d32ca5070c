// Push buttons, check boxes, radio buttons and group boxes drawn from a skin
// built in memory. Every picture has its own flat colour with a white strip
// on its right, so the state that was drawn (and its orientation) can be read
// back from the pixels of the real window.
#include <doctest.h>
#include "CKivButton.h"
#include "CKivCheckBox.h"
#include "CKivEngine.h"
#include "CKivWndBox.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivGroupBox.h"
#include "CKivRadioButton.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"
#include "KivDialogTemplate.h"
#include "KivDpiRun.h"
#include "KivCommonControls6.h"
#include "KivGdiLeakOracle.h"
#include "KivTestInput.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

enum Picture
{
    PushNormal, PushHot, PushPressed, PushDisabled, PushDefault,
    CheckUncheckedNormal, CheckUncheckedHot, CheckUncheckedPressed, CheckUncheckedDisabled,
    CheckCheckedNormal, CheckCheckedHot, CheckCheckedPressed, CheckCheckedDisabled,
    CheckMixedNormal, CheckMixedHot, CheckMixedPressed, CheckMixedDisabled,
    CheckImplicitNormal, CheckImplicitHot, CheckImplicitPressed, CheckImplicitDisabled,
    CheckExcludedNormal, CheckExcludedHot, CheckExcludedPressed, CheckExcludedDisabled,
    RadioUncheckedNormal, RadioUncheckedHot, RadioUncheckedPressed, RadioUncheckedDisabled,
    RadioCheckedNormal, RadioCheckedHot, RadioCheckedPressed, RadioCheckedDisabled,
    PictureCount
};

const int kPictureWidth = 16;
const int kPictureHeight = 12;
const int kMarkerStart = 12;  // columns 12..15 of every picture are white
const int kAtlasWidth = 128;
const int kAtlasHeight = 64;
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kDialog = RGB(250, 230, 210);
const COLORREF kFrameLine = RGB(20, 40, 230);
const COLORREF kCaption = RGB(10, 150, 20);

COLORREF PictureColour(int picture)
{
    return RGB(30 + 6 * picture, 220 - 5 * picture, picture % 2 ? 60 : 180);
}

RECT PictureRect(int picture)
{
    const int perRow = kAtlasWidth / kPictureWidth;
    const int x = (picture % perRow) * kPictureWidth;
    const int y = (picture / perRow) * kPictureHeight;
    return RECT{x, y, x + kPictureWidth, y + kPictureHeight};
}

std::vector<unsigned char> AtlasImage()
{
    std::vector<DWORD> pixels(static_cast<size_t>(kAtlasWidth) * kAtlasHeight, 0x00FF00FF);
    auto toPixel = [](COLORREF c) { return static_cast<DWORD>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c); };
    for (int picture = 0; picture < PictureCount; ++picture)
    {
        const RECT r = PictureRect(picture);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                pixels[static_cast<size_t>(y) * kAtlasWidth + x] =
                    toPixel(x - r.left >= kMarkerStart ? kWhite : PictureColour(picture));
    }
    return kivtest::Bmp32FromRows(kAtlasWidth, kAtlasHeight, pixels);
}

void InstallSkin(int round = 10, int lineWidth = 3)
{
    KivSkinSettings& s = CKivSkinStore::Settings();
    memset(&s, 0, sizeof(s));
    RECT* const targets[PictureCount] = {
        &s.buttonNormalBmp, &s.buttonHotBmp, &s.buttonPressedBmp, &s.buttonDisabledBmp, &s.buttonDefaultBmp,
        &s.checkBoxUncheckedNormal, &s.checkBoxUncheckedHot, &s.checkBoxUncheckedPressed, &s.checkBoxUncheckedDisabled,
        &s.checkBoxCheckedNormal, &s.checkBoxCheckedHot, &s.checkBoxCheckedPressed, &s.checkBoxCheckedDisabled,
        &s.checkBoxMixedNormal, &s.checkBoxMixedHot, &s.checkBoxMixedPressed, &s.checkBoxMixedDisabled,
        &s.checkBoxImplicitNormal, &s.checkBoxImplicitHot, &s.checkBoxImplicitPressed, &s.checkBoxImplicitDisabled,
        &s.checkBoxExcludedNormal, &s.checkBoxExcludedHot, &s.checkBoxExcludedPressed, &s.checkBoxExcludedDisabled,
        &s.radioButtonUncheckedNormal, &s.radioButtonUncheckedHot, &s.radioButtonUncheckedPressed,
        &s.radioButtonUncheckedDisabled, &s.radioButtonCheckedNormal, &s.radioButtonCheckedHot,
        &s.radioButtonCheckedPressed, &s.radioButtonCheckedDisabled};
    for (int picture = 0; picture < PictureCount; ++picture)
        *targets[picture] = PictureRect(picture);
    s.buttonRound = round;
    s.groupBoxColor = static_cast<int>(kFrameLine);
    s.groupBoxSize = lineWidth;
    s.groupBoxRound = 0;
    s.groupBoxTextColor = static_cast<int>(kCaption);
    s.edgeEnableBackColor = 1;
    s.edgeBackgroundColor = static_cast<int>(kDialog);
    CKivSkinStore::DeleteAtlas();
    const std::vector<unsigned char> image = AtlasImage();
    CKivSkinStore::CreateAtlas(image.data(), image.size());
}

using Surface = kivtest::Canvas;

int g_clicks = 0;
// When set, the host answers BN_CLICKED of a check box or radio button as a
// program with non-automatic buttons does: it toggles the check itself.
bool g_answerClicks = false;

// What the host saw of its controls' NM_CUSTOMDRAW, and how it answers:
// preAnswer to CDDS_PREPAINT; with a fill colour set, the host paints the
// notified rectangle (pre-paint) or its top-left 4x4 (post-paint) itself.
struct CustomDrawRecord
{
    int pre = 0;
    int post = 0;
    HWND from = nullptr;
    UINT_PTR id = 0;
    UINT code = 0;
    bool hadDC = false;
    RECT rc = {};
    UINT itemState = 0;
    LRESULT preAnswer = CDRF_DODEFAULT;
    COLORREF preFill = CLR_INVALID;
    COLORREF postFill = CLR_INVALID;
};
CustomDrawRecord g_customDraw;

void FillWith(HDC dc, const RECT& area, COLORREF colour)
{
    CKivBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &area, brush);
}

LRESULT OnHostCustomDraw(const NMCUSTOMDRAW& draw)
{
    CustomDrawRecord& log = g_customDraw;
    log.from = draw.hdr.hwndFrom;
    log.id = draw.hdr.idFrom;
    log.code = draw.hdr.code;
    log.hadDC = draw.hdc != nullptr;
    log.rc = draw.rc;
    log.itemState = draw.uItemState;
    if (draw.dwDrawStage == CDDS_PREPAINT)
    {
        ++log.pre;
        if (log.preFill != CLR_INVALID)
            FillWith(draw.hdc, draw.rc, log.preFill);
        return log.preAnswer;
    }
    if (draw.dwDrawStage == CDDS_POSTPAINT)
    {
        ++log.post;
        if (log.postFill != CLR_INVALID)
            FillWith(draw.hdc, RECT{0, 0, 4, 4}, log.postFill);
    }
    return CDRF_DODEFAULT;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
    {
        ++g_clicks;
        const HWND sender = reinterpret_cast<HWND>(lParam);
        if (g_answerClicks && sender != nullptr)
            SendMessageW(sender, BM_SETCHECK, SendMessageW(sender, BM_GETCHECK, 0, 0) == BST_CHECKED ? 0 : 1, 0);
    }
    if (message == WM_NOTIFY && lParam && reinterpret_cast<const NMHDR*>(lParam)->code == NM_CUSTOMDRAW)
        return OnHostCustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(lParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

// A top-level window in the foreground with skinned buttons on it; the skin
// objects are released before the windows go.
class Host
{
public:
    Host()
    {
        m_window = kivtest::CreateForegroundHost(L"KivButtonTestHost", HostProc, kDialog, L"buttons", 420, 320);
        ParkCursor();
        kivtest::PumpPending();
        g_clicks = 0;
        g_answerClicks = false;
        g_customDraw = CustomDrawRecord();
    }
    ~Host()
    {
        m_skins.clear();
        DestroyWindow(m_window);
        kivtest::PumpPending();
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    HWND Window() const { return m_window; }

    HWND Control(DWORD style, const wchar_t* text, int x, int y, int width, int height, const wchar_t* cls = L"BUTTON")
    {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, m_window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(++m_nextId)), GetModuleHandleW(nullptr),
                               nullptr);
    }
    template <typename T>
    T* Skin(HWND control)
    {
        auto object = std::make_unique<T>();
        T* raw = object.get();
        if (!object->Attach(control))
            return nullptr;
        m_skins.push_back(std::move(object));
        InvalidateRect(control, nullptr, TRUE);
        kivtest::PumpPending();
        return raw;
    }

    // The skin object the registry would give a button of that style.
    CKivButton* SkinFor(HWND control, DWORD style)
    {
        switch (style & 0xF)
        {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return Skin<CKivCheckBox>(control);
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return Skin<CKivRadioButton>(control);
        default: return Skin<CKivButton>(control);
        }
    }

    // The pixel the window shows at a client point of the control.
    COLORREF Pixel(HWND control, int x, int y) const { return kivtest::PixelUnder(m_window, control, x, y); }
    // What the screen shows of the control's client area.
    void Snapshot(HWND control, Surface& into) const { kivtest::SnapshotUnder(m_window, control, POINT{0, 0}, into); }
    bool PumpUntilPixel(HWND control, int x, int y, COLORREF expected) const
    {
        return kivtest::PumpUntil([&] { return Pixel(control, x, y) == expected; }, 3000);
    }

    // Cursor over a client point of the control, through the real input path.
    static void MoveCursor(HWND control, int x, int y) { kivtest::MoveCursorTo(control, x, y); }
    void ParkCursor() const { kivtest::MoveCursorTo(m_window, 400, 300); }
    static void LeftButton(bool down) { kivtest::SendLeftButton(down); }

private:
    HWND m_window = nullptr;
    int m_nextId = 100;
    std::vector<std::unique_ptr<CKivWnd>> m_skins;
};

// Face colours are sampled left of the white strip and inside it.
const int kFaceX = 20;
const int kFaceY = 15;
const int kStripX = 72;

}  // namespace

TEST_CASE("push button faces follow the mouse, focus and enabled state")
{
    InstallSkin();
    Host host;
    const HWND button = host.Control(BS_PUSHBUTTON, L"", 20, 20, 80, 30);
    const HWND other = host.Control(BS_PUSHBUTTON, L"", 20, 200, 80, 30);
    CKivButton* skin = host.Skin<CKivButton>(button);
    REQUIRE(skin != nullptr);
    REQUIRE(host.Skin<CKivButton>(other) != nullptr);
    CHECK(skin->ButtonKind() == CKivButton::KindPushButton);
    SetFocus(other);
    kivtest::PumpPending();

    SUBCASE("idle: normal face, stretched, white strip on the right, dialog colour in the rounded corners")
    {
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushNormal));
        CHECK(host.Pixel(button, kStripX, kFaceY) == kWhite);
        CHECK(host.Pixel(button, 0, 0) == kDialog);
        CHECK(host.Pixel(button, 79, 29) == kDialog);
        CHECK(host.Pixel(button, 40, 0) == PictureColour(PushNormal));
        // The control's own procedure never paints over the skin.
        InvalidateRect(button, nullptr, TRUE);
        UpdateWindow(button);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushNormal));
    }
    SUBCASE("hot, pressed, dragged out and back in, released outside without a click")
    {
        Host::MoveCursor(button, 40, 15);
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushHot)));
        CHECK(skin->Hot() == 1);
        Host::LeftButton(true);
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushPressed)));
        CHECK(skin->Pressed() == 1);
        // The press moved the focus here, so outside shows the default face.
        Host::MoveCursor(button, 120, 15);
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushDefault)));
        CHECK(skin->Hot() == 0);
        Host::MoveCursor(button, 79, 29);  // the corner pixel counts as inside
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushPressed)));
        // The bounds are inclusive on all four sides, right and bottom too.
        SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(81, 15));
        CHECK(skin->Hot() == 0);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushDefault));
        SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 30));
        CHECK(skin->Hot() == 1);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushPressed));
        SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 31));
        CHECK(skin->Hot() == 0);
        SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(0, 0));
        CHECK(skin->Hot() == 1);
        Host::MoveCursor(button, 40, 60);
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushDefault)));
        Host::LeftButton(false);
        CHECK(kivtest::PumpUntil([&] { return skin->Pressed() == 0; }, 3000));
        kivtest::PumpPending();
        CHECK(g_clicks == 0);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushDefault));
    }
    SUBCASE("a click inside reaches the parent and leaves the hot face; leaving clears hot")
    {
        Host::MoveCursor(button, 40, 15);
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushHot)));
        Host::LeftButton(true);
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushPressed)));
        Host::LeftButton(false);
        CHECK(kivtest::PumpUntil([] { return g_clicks == 1; }, 3000));
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushHot));
        host.ParkCursor();
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushDefault)));
        CHECK(skin->Hot() == 0);
    }
    SUBCASE("a press ends when another window takes the mouse")
    {
        Host::MoveCursor(button, 40, 15);
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushHot)));
        Host::LeftButton(true);
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushPressed)));
        SetCapture(host.Window());
        CHECK(skin->Pressed() == 0);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushHot));
        ReleaseCapture();
        Host::LeftButton(false);
        kivtest::PumpPending();
        CHECK(g_clicks == 0);
        host.ParkCursor();
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushDefault)));
        Host::MoveCursor(button, 40, 15);
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushHot)));
    }
    SUBCASE("focus shows the default face and losing it gives the normal face back")
    {
        SetFocus(button);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushDefault));
        Host::MoveCursor(button, 40, 15);
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushHot)));
        host.ParkCursor();
        CHECK(host.PumpUntilPixel(button, kFaceX, kFaceY, PictureColour(PushDefault)));
        SetFocus(other);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushNormal));
        CHECK(host.Pixel(other, kFaceX, kFaceY) == PictureColour(PushDefault));
        // Where the platform still names the old window as focus during
        // WM_KILLFOCUS, the repaint must not pick the default face.
        SetFocus(button);
        SendMessageW(button, WM_KILLFOCUS, reinterpret_cast<WPARAM>(other), 0);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushNormal));
    }
    SUBCASE("the space bar presses and clicks with the skin's faces")
    {
        SetFocus(button);
        SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushPressed));
        CHECK((SendMessageW(button, BM_GETSTATE, 0, 0) & (BST_PUSHED | BST_FOCUS)) == (BST_PUSHED | BST_FOCUS));
        SendMessageW(button, WM_KEYUP, VK_SPACE, 0);
        kivtest::PumpPending();
        CHECK(g_clicks == 1);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushDefault));
    }
    SUBCASE("disabling repaints at once with the disabled face, also under the cursor")
    {
        EnableWindow(button, FALSE);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushDisabled));
        CHECK(host.Pixel(button, kStripX, kFaceY) == kWhite);
        InvalidateRect(button, nullptr, TRUE);
        UpdateWindow(button);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushDisabled));
        EnableWindow(button, TRUE);
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushNormal));
    }
    SUBCASE("a new caption keeps the skin and is drawn in the middle")
    {
        SetWindowTextW(button, L"OK");
        CHECK(host.Pixel(button, kFaceX, kFaceY) == PictureColour(PushNormal));
        int dark = 0;
        for (int y = 8; y < 22; ++y)
            for (int x = 30; x < 50; ++x)
                dark += host.Pixel(button, x, y) != PictureColour(PushNormal) ? 1 : 0;
        CHECK(dark > 5);
    }
}

TEST_CASE("push button renders off-screen through WM_PRINTCLIENT")
{
    InstallSkin(0);
    Host host;
    const HWND button = host.Control(BS_DEFPUSHBUTTON, L"", 20, 20, 60, 24);
    REQUIRE(host.Skin<CKivButton>(button) != nullptr);
    Surface surface(70, 30, RGB(1, 2, 3));
    SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.DC()), PRF_CLIENT);
    // Without rounding the face reaches every corner.
    CHECK(surface.Pixel(0, 0) == PictureColour(PushNormal));
    CHECK(surface.Pixel(59, 23) == kWhite);
    CHECK(surface.Pixel(10, 12) == PictureColour(PushNormal));
    // Exactly the client area is written.
    CHECK(surface.Pixel(60, 10) == RGB(1, 2, 3));
    CHECK(surface.Pixel(10, 24) == RGB(1, 2, 3));
}

TEST_CASE("check box glyph sets")
{
    InstallSkin();
    Host host;
    const HWND box = host.Control(BS_AUTOCHECKBOX, L"Check me", 20, 20, 140, 24);
    CKivCheckBox* skin = host.Skin<CKivCheckBox>(box);
    REQUIRE(skin != nullptr);
    CHECK(skin->ButtonKind() == CKivButton::KindCheckBox);
    CHECK(skin->CheckState() == 0);
    // The 16x12 glyph sits at x 0, centred: rows 6 to 17.
    auto glyph = [&] { return host.Pixel(box, 4, 12); };
    auto printed = [&] {
        Surface surface(140, 24, RGB(1, 2, 3));
        SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.DC()), PRF_CLIENT);
        return surface.Pixel(4, 12);
    };

    CHECK(glyph() == PictureColour(CheckUncheckedNormal));
    CHECK(host.Pixel(box, 13, 12) == kWhite);
    CHECK(host.Pixel(box, 4, 5) == kDialog);
    CHECK(host.Pixel(box, 4, 18) == kDialog);

    SUBCASE("checked and indeterminate show the Checked set, implicit needs BM_SETSTATE 2")
    {
        SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
        CHECK(glyph() == PictureColour(CheckCheckedNormal));
        // A two-state box keeps BST_CHECKED for BST_INDETERMINATE, as the control does.
        SendMessageW(box, BM_SETCHECK, BST_INDETERMINATE, 0);
        CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
        CHECK(glyph() == PictureColour(CheckCheckedNormal));
        CHECK(printed() == PictureColour(CheckCheckedNormal));
        SendMessageW(box, BM_SETSTATE, 1, 0);
        CHECK(glyph() == PictureColour(CheckCheckedPressed));
        CHECK(printed() == PictureColour(CheckCheckedNormal));
        // The host still reads the pushed bit from the control.
        CHECK((SendMessageW(box, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0);
        SendMessageW(box, BM_SETSTATE, 2, 0);
        CHECK(skin->HighlightState() == 2);
        CHECK((SendMessageW(box, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0);
        CHECK(printed() == PictureColour(CheckImplicitNormal));
        SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
        CHECK(printed() == PictureColour(CheckImplicitNormal));
        SendMessageW(box, BM_SETSTATE, 0, 0);
        CHECK((SendMessageW(box, BM_GETSTATE, 0, 0) & BST_PUSHED) == 0);
        CHECK(glyph() == PictureColour(CheckUncheckedNormal));
        CHECK(printed() == PictureColour(CheckUncheckedNormal));
    }
    SUBCASE("a check value the control does not know is kept and drawn as the control keeps it")
    {
        SendMessageW(box, BM_SETCHECK, 7, 0);
        CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
        CHECK(glyph() == PictureColour(CheckCheckedNormal));
        CHECK(printed() == PictureColour(CheckCheckedNormal));
    }
    SUBCASE("a click toggles through the hot and pressed glyphs")
    {
        Host::MoveCursor(box, 60, 12);
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckUncheckedHot)));
        Host::LeftButton(true);
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckUncheckedPressed)));
        Host::LeftButton(false);
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckCheckedHot)));
        CHECK(g_clicks == 1);
        CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
        host.ParkCursor();
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckCheckedNormal)));
    }
    SUBCASE("disabled uses the Disabled glyph of the current set")
    {
        SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
        EnableWindow(box, FALSE);
        CHECK(glyph() == PictureColour(CheckCheckedDisabled));
        EnableWindow(box, TRUE);
        CHECK(glyph() == PictureColour(CheckCheckedNormal));
    }
    SUBCASE("the text starts four pixels after the glyph")
    {
        int inked = 0;
        for (int y = 0; y < 24; ++y)
        {
            for (int x = 16; x < 20; ++x)
                CHECK(host.Pixel(box, x, y) == kDialog);
            for (int x = 20; x < 80; ++x)
                inked += host.Pixel(box, x, y) != kDialog ? 1 : 0;
        }
        CHECK(inked > 20);
    }
}

TEST_CASE("radio buttons: a click checks, the group follows, a release outside checks nothing")
{
    InstallSkin();
    Host host;
    const HWND first = host.Control(BS_AUTORADIOBUTTON | WS_GROUP, L"One", 20, 20, 120, 24);
    const HWND second = host.Control(BS_AUTORADIOBUTTON, L"Two", 20, 60, 120, 24);
    CKivRadioButton* one = host.Skin<CKivRadioButton>(first);
    CKivRadioButton* two = host.Skin<CKivRadioButton>(second);
    REQUIRE(one != nullptr);
    REQUIRE(two != nullptr);
    CHECK(one->ButtonKind() == CKivButton::KindRadioButton);
    CHECK(host.Pixel(first, 4, 12) == PictureColour(RadioUncheckedNormal));

    SUBCASE("clicking checks one and unchecks the other")
    {
        Host::MoveCursor(first, 60, 12);
        CHECK(host.PumpUntilPixel(first, 4, 12, PictureColour(RadioUncheckedHot)));
        Host::LeftButton(true);
        CHECK(host.PumpUntilPixel(first, 4, 12, PictureColour(RadioUncheckedPressed)));
        Host::LeftButton(false);
        CHECK(host.PumpUntilPixel(first, 4, 12, PictureColour(RadioCheckedHot)));
        CHECK(SendMessageW(first, BM_GETCHECK, 0, 0) == BST_CHECKED);

        Host::MoveCursor(second, 60, 12);
        CHECK(host.PumpUntilPixel(first, 4, 12, PictureColour(RadioCheckedNormal)));
        Host::LeftButton(true);
        Host::LeftButton(false);
        CHECK(host.PumpUntilPixel(second, 4, 12, PictureColour(RadioCheckedHot)));
        CHECK(SendMessageW(second, BM_GETCHECK, 0, 0) == BST_CHECKED);
        CHECK(SendMessageW(first, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
        CHECK(host.Pixel(first, 4, 12) == PictureColour(RadioUncheckedNormal));
        CHECK(g_clicks == 2);
    }
    SUBCASE("held with the cursor outside: release gives no check and no click")
    {
        Host::MoveCursor(first, 60, 12);
        CHECK(host.PumpUntilPixel(first, 4, 12, PictureColour(RadioUncheckedHot)));
        Host::LeftButton(true);
        CHECK(kivtest::PumpUntil([&] { return one->Pressed() == 1; }, 3000));
        Host::MoveCursor(first, 60, 100);
        // The control itself lets go of the press once it sees the cursor outside.
        CHECK(kivtest::PumpUntil(
            [&] { return one->Hot() == 0 && (SendMessageW(first, BM_GETSTATE, 0, 0) & BST_PUSHED) == 0; }, 3000));
        CHECK(one->CheckState() == 0);
        Host::LeftButton(false);
        CHECK(kivtest::PumpUntil([&] { return one->Pressed() == 0; }, 3000));
        kivtest::PumpPending();
        CHECK(SendMessageW(first, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
        CHECK(host.Pixel(first, 4, 12) == PictureColour(RadioUncheckedNormal));
        CHECK(g_clicks == 0);
    }
    SUBCASE("BM_SETCHECK from the program repaints, disabled shows the disabled glyph")
    {
        SendMessageW(second, BM_SETCHECK, BST_CHECKED, 0);
        CHECK(host.Pixel(second, 4, 12) == PictureColour(RadioCheckedNormal));
        EnableWindow(second, FALSE);
        CHECK(host.Pixel(second, 4, 12) == PictureColour(RadioCheckedDisabled));
        SendMessageW(second, BM_SETCHECK, BST_UNCHECKED, 0);
        CHECK(host.Pixel(second, 4, 12) == PictureColour(RadioUncheckedDisabled));
    }
}

TEST_CASE("three-state and non-automatic buttons: the Mixed set, the control's own state cycle and clicks")
{
    InstallSkin();
    Host host;
    auto glyph = [&](HWND control) { return host.Pixel(control, 4, 12); };
    auto check = [](HWND control) { return SendMessageW(control, BM_GETCHECK, 0, 0); };

    SUBCASE("BST_INDETERMINATE shows the Mixed glyph for normal, hot, pressed and disabled")
    {
        const HWND box = host.Control(BS_3STATE, L"Maybe", 20, 20, 140, 24);
        REQUIRE(host.Skin<CKivCheckBox>(box) != nullptr);
        SendMessageW(box, BM_SETCHECK, BST_INDETERMINATE, 0);
        CHECK(check(box) == BST_INDETERMINATE);
        CHECK(glyph(box) == PictureColour(CheckMixedNormal));
        Host::MoveCursor(box, 60, 12);
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckMixedHot)));
        Host::LeftButton(true);
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckMixedPressed)));
        Host::LeftButton(false);
        // A non-automatic box tells its parent and keeps its state.
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckMixedHot)));
        CHECK(kivtest::PumpUntil([] { return g_clicks == 1; }, 3000));
        CHECK(check(box) == BST_INDETERMINATE);
        host.ParkCursor();
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckMixedNormal)));
        EnableWindow(box, FALSE);
        CHECK(glyph(box) == PictureColour(CheckMixedDisabled));
        EnableWindow(box, TRUE);
        SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
        CHECK(glyph(box) == PictureColour(CheckCheckedNormal));
        // A three-state box keeps BST_INDETERMINATE for any value above BST_CHECKED.
        SendMessageW(box, BM_SETCHECK, 5, 0);
        CHECK(check(box) == BST_INDETERMINATE);
        CHECK(glyph(box) == PictureColour(CheckMixedNormal));
        SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
        CHECK(glyph(box) == PictureColour(CheckUncheckedNormal));
    }
    SUBCASE("an automatic three-state box goes checked, indeterminate, unchecked, one step a click")
    {
        const HWND box = host.Control(BS_AUTO3STATE, L"Cycle", 20, 20, 140, 24);
        REQUIRE(host.Skin<CKivCheckBox>(box) != nullptr);
        Host::MoveCursor(box, 60, 12);
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckUncheckedHot)));
        const struct
        {
            LRESULT check;
            int hot;
        } cycle[] = {{BST_CHECKED, CheckCheckedHot}, {BST_INDETERMINATE, CheckMixedHot},
                     {BST_UNCHECKED, CheckUncheckedHot}, {BST_CHECKED, CheckCheckedHot}};
        int clicks = 0;
        for (const auto& step : cycle)
        {
            CAPTURE(clicks);
            Host::LeftButton(true);
            Host::LeftButton(false);
            ++clicks;
            CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(step.hot)));
            CHECK(kivtest::PumpUntil([&] { return g_clicks == clicks; }, 3000));
            CHECK(check(box) == step.check);
        }
        // The keyboard and BM_CLICK take the same steps.
        SetFocus(box);
        SendMessageW(box, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageW(box, WM_KEYUP, VK_SPACE, 0);
        CHECK(check(box) == BST_INDETERMINATE);
        host.ParkCursor();
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckMixedNormal)));
        SendMessageW(box, BM_CLICK, 0, 0);
        CHECK(check(box) == BST_UNCHECKED);
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckUncheckedNormal)));
    }
    SUBCASE("a plain check box and radio button change when the program answers the click")
    {
        const HWND box = host.Control(BS_CHECKBOX, L"Plain", 20, 20, 140, 24);
        const HWND radio = host.Control(BS_RADIOBUTTON | WS_GROUP, L"Radio", 20, 60, 140, 24);
        REQUIRE(host.Skin<CKivCheckBox>(box) != nullptr);
        REQUIRE(host.Skin<CKivRadioButton>(radio) != nullptr);
        for (HWND control : {box, radio})
        {
            const bool isBox = control == box;
            CAPTURE(isBox);
            const int uncheckedHot = isBox ? CheckUncheckedHot : RadioUncheckedHot;
            const int checkedHot = isBox ? CheckCheckedHot : RadioCheckedHot;
            g_clicks = 0;
            g_answerClicks = false;
            Host::MoveCursor(control, 60, 12);
            CHECK(host.PumpUntilPixel(control, 4, 12, PictureColour(uncheckedHot)));
            Host::LeftButton(true);
            Host::LeftButton(false);
            CHECK(kivtest::PumpUntil([] { return g_clicks == 1; }, 3000));
            CHECK(check(control) == BST_UNCHECKED);
            CHECK(host.PumpUntilPixel(control, 4, 12, PictureColour(uncheckedHot)));
            // The program's BM_SETCHECK arrives while the control handles the
            // release. The second click lands elsewhere: a radio button
            // reports a double click as BN_DOUBLECLICKED alone.
            g_answerClicks = true;
            kivtest::SendMouseTo(control, 100, 12);
            POINT moved = {100, 12};
            ClientToScreen(control, &moved);
            CHECK(kivtest::PumpUntil(
                [&] {
                    POINT at = {};
                    return GetCursorPos(&at) && at.x == moved.x && at.y == moved.y;
                },
                3000));
            Host::LeftButton(true);
            Host::LeftButton(false);
            CHECK(kivtest::PumpUntil([] { return g_clicks == 2; }, 3000));
            CHECK(host.PumpUntilPixel(control, 4, 12, PictureColour(checkedHot)));
            CHECK(check(control) == BST_CHECKED);
        }
        g_answerClicks = false;
        // A radio button keeps BST_CHECKED for any value above it.
        SendMessageW(radio, BM_SETCHECK, BST_UNCHECKED, 0);
        host.ParkCursor();
        SendMessageW(radio, BM_SETCHECK, BST_INDETERMINATE, 0);
        CHECK(check(radio) == BST_CHECKED);
        CHECK(host.PumpUntilPixel(radio, 4, 12, PictureColour(RadioCheckedNormal)));
    }
    SUBCASE("a skin without Mixed pictures shows an indeterminate box with the Checked ones")
    {
        KivSkinSettings& s = CKivSkinStore::Settings();
        s.checkBoxMixedNormal = s.checkBoxMixedDisabled = RECT{0, 0, 0, 0};
        const HWND box = host.Control(BS_AUTO3STATE, L"Older skin", 20, 20, 140, 24);
        REQUIRE(host.Skin<CKivCheckBox>(box) != nullptr);
        SendMessageW(box, BM_SETCHECK, BST_INDETERMINATE, 0);
        CHECK(glyph(box) == PictureColour(CheckCheckedNormal));
        EnableWindow(box, FALSE);
        CHECK(glyph(box) == PictureColour(CheckCheckedDisabled));
        // Pictures the skin has are used.
        Host::MoveCursor(box, 60, 12);
        EnableWindow(box, TRUE);
        CHECK(host.PumpUntilPixel(box, 4, 12, PictureColour(CheckMixedHot)));
    }
}

TEST_CASE("after BM_SETCHECK with any value a skinned button answers and shows what the unskinned one holds")
{
    for (bool common : {false, true})
    {
        CAPTURE(common);
        std::unique_ptr<kivtest::CommonControls6> v6(common ? new kivtest::CommonControls6 : nullptr);
        InstallSkin();
        Host host;
        for (DWORD type : {BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE, BS_AUTO3STATE, BS_RADIOBUTTON, BS_AUTORADIOBUTTON})
        {
            CAPTURE(type);
            // Each in a group of its own: checking an automatic radio button
            // clears the others of its group.
            const HWND plain = host.Control(type | WS_GROUP, L"Plain", 200, 20, 140, 24);
            const HWND skinned = host.Control(type | WS_GROUP, L"Skinned", 20, 20, 140, 24);
            REQUIRE(host.SkinFor(skinned, type) != nullptr);
            const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
            for (WPARAM value : {WPARAM(2), WPARAM(0), WPARAM(1), WPARAM(3), WPARAM(0), WPARAM(7), WPARAM(-1)})
            {
                CAPTURE(value);
                SendMessageW(plain, BM_SETCHECK, value, 0);
                const LRESULT held = SendMessageW(plain, BM_GETCHECK, 0, 0);
                SendMessageW(skinned, BM_SETCHECK, value, 0);
                CHECK(SendMessageW(skinned, BM_GETCHECK, 0, 0) == held);
                CHECK((SendMessageW(skinned, BM_GETSTATE, 0, 0) & 3) == (SendMessageW(plain, BM_GETSTATE, 0, 0) & 3));
                const int shown = radio ? (held ? RadioCheckedNormal : RadioUncheckedNormal)
                                        : held == BST_INDETERMINATE ? CheckMixedNormal
                                        : held == BST_CHECKED       ? CheckCheckedNormal
                                                                    : CheckUncheckedNormal;
                CHECK(host.PumpUntilPixel(skinned, 4, 12, PictureColour(shown)));
            }
            DestroyWindow(plain);
            DestroyWindow(skinned);
        }
    }
}

namespace {

// Width of a caption in the control font.
int CaptionWidth(const wchar_t* text)
{
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, CKivGraphics::GetSkinFont(0));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size.cx;
}

// True when no pixel of the rectangle has the frame colour.
bool FreeOfFrame(const Surface& surface, int left, int top, int right, int bottom)
{
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (surface.Pixel(x, y) == kFrameLine)
                return false;
    return true;
}

}  // namespace

TEST_CASE("group box frame leaves a gap for the caption")
{
    const wchar_t* caption = L"Options";
    const int textWidth = CaptionWidth(caption);
    REQUIRE(textWidth > 10);
    for (int lineWidth : {0, 1, 3})
    {
        CAPTURE(lineWidth);
        InstallSkin(10, lineWidth);
        Host host;
        const HWND group = host.Control(BS_GROUPBOX, caption, 20, 20, 200, 120);
        CKivGroupBox* skin = host.Skin<CKivGroupBox>(group);
        REQUIRE(skin != nullptr);
        Surface surface(200, 120, kDialog);
        SendMessageW(group, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.DC()), PRF_CLIENT);
        const int gapBottom = lineWidth > 0 ? 7 + lineWidth : 8;
        CHECK(FreeOfFrame(surface, 13, 0, 13 + textWidth, gapBottom));
        // The line runs up to the caption on both sides.
        CHECK(surface.Pixel(10, 7) == kFrameLine);
        CHECK(surface.Pixel(13 + textWidth + 2, 7) == kFrameLine);
        // Left, right and bottom lines, inset 5.
        CHECK(surface.Pixel(5, 60) == kFrameLine);
        CHECK(surface.Pixel(194 - (lineWidth > 1 ? 1 : 0), 60) == kFrameLine);
        CHECK(surface.Pixel(100, 114 - (lineWidth > 1 ? 1 : 0)) == kFrameLine);
        // The inside is left alone.
        CHECK(surface.Pixel(100, 60) == kDialog);
        bool captionInk = false;
        for (int x = 13; x < 13 + textWidth && !captionInk; ++x)
            for (int y = 0; y < 16 && !captionInk; ++y)
                captionInk = surface.Pixel(x, y) != kDialog;
        CHECK(captionInk);

        // Painting again over the same picture changes nothing: the caption
        // does not smear darker, the line does not grow.
        for (int i = 0; i < 5; ++i)
            SendMessageW(group, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.DC()), PRF_CLIENT);
        Surface once(200, 120, kDialog);
        SendMessageW(group, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(once.DC()), PRF_CLIENT);
        CHECK(surface.SameAs(once));
    }
}

TEST_CASE("group box with no caption draws an unbroken top line and leaves the controls inside alone")
{
    InstallSkin(10, 1);
    Host host;
    const HWND group = host.Control(BS_GROUPBOX, L"", 20, 20, 200, 120);
    const HWND inside = host.Control(BS_PUSHBUTTON, L"", 60, 60, 80, 30);
    REQUIRE(host.Skin<CKivButton>(inside) != nullptr);
    REQUIRE(host.Skin<CKivGroupBox>(group) != nullptr);
    Surface surface(200, 120, kDialog);
    SendMessageW(group, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.DC()), PRF_CLIENT);
    for (int x = 20; x < 100; ++x)
        CHECK(surface.Pixel(x, 7) == kFrameLine);

    // On screen: the frame is drawn and the button inside keeps its face.
    InvalidateRect(group, nullptr, TRUE);
    UpdateWindow(group);
    CHECK(host.Pixel(group, 5, 60) == kFrameLine);
    CHECK(host.Pixel(group, 50, 7) == kFrameLine);
    CHECK(host.Pixel(inside, kFaceX, kFaceY) == PictureColour(PushNormal));
    // The control's own answer to a key it ignores.
    CHECK(SendMessageW(group, WM_KEYDOWN, VK_SPACE, 0) == 0);
    EnableWindow(group, FALSE);
    CHECK(host.Pixel(group, 5, 60) == kFrameLine);
}

TEST_CASE("styles outside the family, and skins without the first picture, keep the system look")
{
    InstallSkin();
    Host host;
    CHECK(host.Skin<CKivButton>(host.Control(BS_COMMANDLINK, L"", 0, 0, 80, 20)) == nullptr);
    CHECK(host.Skin<CKivButton>(host.Control(BS_PUSHBOX, L"", 0, 30, 80, 20)) == nullptr);
    CHECK(host.Skin<CKivButton>(host.Control(BS_OWNERDRAW, L"", 0, 60, 80, 20)) == nullptr);
    CHECK(host.Skin<CKivButton>(host.Control(BS_SPLITBUTTON, L"", 0, 90, 80, 20)) == nullptr);
    const HWND group = host.Control(BS_GROUPBOX, L"", 0, 120, 80, 20);
    CKivButton wrongClass;
    CHECK(wrongClass.Attach(group) == FALSE);
    CHECK(wrongClass.ButtonKind() == CKivButton::KindGroupBox);
    CHECK(CKivWnd::FromHandle(group) == nullptr);

    CKivSkinStore::Settings().buttonNormalBmp = RECT{0, 0, 0, 0};
    CKivSkinStore::Settings().radioButtonUncheckedNormal = RECT{0, 0, 0, 0};
    const HWND push = host.Control(BS_PUSHBUTTON, L"", 100, 0, 80, 20);
    const HWND radio = host.Control(BS_AUTORADIOBUTTON, L"", 100, 30, 80, 20);
    CHECK(host.Skin<CKivButton>(push) == nullptr);
    CHECK(host.Skin<CKivRadioButton>(radio) == nullptr);
    CHECK(CKivWnd::FromHandle(push) == nullptr);
    CHECK(host.Skin<CKivCheckBox>(host.Control(BS_AUTOCHECKBOX, L"", 100, 60, 80, 20)) != nullptr);
    // Every check box kind needs the unchecked picture, every radio kind the radio one.
    CHECK(host.Skin<CKivRadioButton>(host.Control(BS_RADIOBUTTON, L"", 100, 90, 80, 20)) == nullptr);
    CKivSkinStore::Settings().checkBoxUncheckedNormal = RECT{0, 0, 0, 0};
    for (DWORD type : {BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE, BS_AUTO3STATE})
        CHECK(host.Skin<CKivCheckBox>(host.Control(type, L"", 200, 0, 80, 20)) == nullptr);
}

namespace {

// Sits below the skin as the control's previous procedure and counts what
// the skin lets through.
WNDPROC g_controlProc = nullptr;
int g_seenBelow = 0;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY || message == WM_UPDATEUISTATE || message == WM_KEYDOWN || message == WM_SYSKEYDOWN ||
        message == WM_PAINT || message == WM_ENABLE)
        ++g_seenBelow;
    return CallWindowProcW(g_controlProc, window, message, wParam, lParam);
}

}  // namespace

TEST_CASE("notifications, UI-state, paint and enable never reach the control's own procedure; keys do")
{
    InstallSkin();
    Host host;
    const HWND button = host.Control(BS_PUSHBUTTON, L"", 20, 20, 80, 30);
    const HWND check = host.Control(BS_AUTOCHECKBOX, L"", 20, 60, 80, 20);
    const HWND group = host.Control(BS_GROUPBOX, L"G", 20, 80, 200, 100);
    for (HWND control : {button, check, group})
        g_controlProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc)));
    REQUIRE(host.Skin<CKivButton>(button) != nullptr);
    REQUIRE(host.Skin<CKivCheckBox>(check) != nullptr);
    REQUIRE(host.Skin<CKivGroupBox>(group) != nullptr);
    CKivWnd parent;
    REQUIRE(parent.Attach(host.Window()));
    g_seenBelow = 0;
    for (HWND sender : {button, check, group})
    {
        NMHDR header = {};
        header.hwndFrom = sender;
        header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(sender));
        header.code = static_cast<UINT>(-2);  // NM_CLICK
        CHECK(SendMessageW(host.Window(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)) == 0);
        CHECK(SendMessageW(sender, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)) == 0);
        CHECK(SendMessageW(sender, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0) == 0);
    }
    for (HWND control : {button, check, group})
    {
        InvalidateRect(control, nullptr, TRUE);
        UpdateWindow(control);
        EnableWindow(control, FALSE);
        EnableWindow(control, TRUE);
    }
    CHECK(g_seenBelow == 0);
    // Keys are the control's own business, the group box's too.
    SendMessageW(button, WM_KEYDOWN, VK_TAB, 0);
    CHECK(g_seenBelow == 1);
    SendMessageW(group, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(group, WM_SYSKEYDOWN, 'G', 0);
    CHECK(g_seenBelow == 3);
    parent.Detach();
}

namespace {

// Sits below the skin and looks at the screen right after the control's own
// procedure handled a message, before the skin repaints: whatever shows then
// is what the user would see flash.
WNDPROC g_probedProc = nullptr;
const Host* g_probeHost = nullptr;
POINT g_probePoint = {};
int g_probes = 0;
std::vector<COLORREF> g_flashes;

bool IsSkinColour(COLORREF colour)
{
    for (int picture = 0; picture < PictureCount; ++picture)
        if (colour == PictureColour(picture))
            return true;
    return false;
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallWindowProcW(g_probedProc, window, message, wParam, lParam);
    if (message == BM_SETCHECK || message == BM_SETSTATE || message == WM_SETFOCUS || message == WM_KILLFOCUS ||
        message == WM_SETTEXT || message == BM_SETSTYLE)
    {
        ++g_probes;
        const COLORREF shown = g_probeHost->Pixel(window, g_probePoint.x, g_probePoint.y);
        if (!IsSkinColour(shown))
            g_flashes.push_back(shown);
    }
    return result;
}

}  // namespace

TEST_CASE("the control's own system look never flashes between skin repaints")
{
    InstallSkin();
    Host host;
    const HWND other = host.Control(BS_PUSHBUTTON, L"", 200, 200, 80, 30);
    struct Case
    {
        DWORD style;
        POINT probe;
    };
    for (const Case& c : {Case{BS_PUSHBUTTON, {kFaceX, kFaceY}}, Case{BS_AUTOCHECKBOX, {4, 12}},
                          Case{BS_AUTORADIOBUTTON, {4, 12}}})
    {
        CAPTURE(c.style);
        const HWND control = host.Control(c.style, L"", 20, 20, 120, 24);
        g_probedProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProbeProc)));
        CKivButton* skin = host.SkinFor(control, c.style);
        REQUIRE(skin != nullptr);
        g_probeHost = &host;
        g_probePoint = c.probe;
        g_probes = 0;
        g_flashes.clear();
        SetFocus(control);
        SendMessageW(control, BM_SETSTATE, TRUE, 0);
        SendMessageW(control, BM_SETSTATE, FALSE, 0);
        SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(control, BM_SETCHECK, BST_UNCHECKED, 0);
        SetWindowTextW(control, L"Text");
        // What the dialog manager sends as the default button moves.
        SendMessageW(control, BM_SETSTYLE, c.style == BS_PUSHBUTTON ? BS_DEFPUSHBUTTON : c.style, TRUE);
        SetFocus(other);
        CHECK(g_probes >= 8);
        CHECK(g_flashes.empty());
        CHECK(IsWindowVisible(control));
        CHECK(IsSkinColour(host.Pixel(control, c.probe.x, c.probe.y)));
        DestroyWindow(control);
    }
}

TEST_CASE("repeated repaints of every kind hold no GDI objects")
{
    InstallSkin();
    Host host;
    const HWND push = host.Control(BS_PUSHBUTTON, L"Push", 20, 20, 80, 30);
    const HWND check = host.Control(BS_AUTOCHECKBOX, L"Check", 20, 60, 120, 24);
    const HWND radio = host.Control(BS_AUTORADIOBUTTON, L"Radio", 20, 100, 120, 24);
    const HWND group = host.Control(BS_GROUPBOX, L"Group", 200, 20, 180, 120);
    CKivButton* pushSkin = host.Skin<CKivButton>(push);
    CKivCheckBox* checkSkin = host.Skin<CKivCheckBox>(check);
    CKivRadioButton* radioSkin = host.Skin<CKivRadioButton>(radio);
    REQUIRE(pushSkin != nullptr);
    REQUIRE(checkSkin != nullptr);
    REQUIRE(radioSkin != nullptr);
    REQUIRE(host.Skin<CKivGroupBox>(group) != nullptr);
    auto round = [&] {
        for (int state = 1; state <= 5; ++state)
        {
            pushSkin->DrawState(state);
            checkSkin->DrawState(state);
            radioSkin->DrawState(state);
        }
        InvalidateRect(group, nullptr, TRUE);
        UpdateWindow(group);
        EnableWindow(push, FALSE);
        EnableWindow(push, TRUE);
    };
    round();  // fonts and caches settle in the first round
    kivtest::GdiLeakOracle oracle;
    const long ours = CKivGdiObjectCount::Live();
    const long process = oracle.LiveObjects();
    REQUIRE(process > 0);
    for (int i = 0; i < 200; ++i)
        round();
    CHECK(CKivGdiObjectCount::Live() == ours);
    CHECK(oracle.LiveObjects() == process);
    CHECK(host.Pixel(push, kFaceX, kFaceY) == PictureColour(PushNormal));
}

TEST_CASE("the hook gives each button type its skin object while the window is created")
{
    InstallSkin();
    Host host;  // created before the hook: the test window itself stays unskinned
    CKivEngine& engine = CKivEngine::Instance();
    REQUIRE(engine.Run());
    struct Row
    {
        DWORD type;
        int kind;  // the CKivButton kind, 0 for no skin object, 4 for the group box skin
    };
    const Row rows[] = {{BS_PUSHBUTTON, 1}, {BS_DEFPUSHBUTTON, 1}, {BS_AUTOCHECKBOX, 2}, {BS_AUTORADIOBUTTON, 3},
                        {BS_GROUPBOX, 4},    {BS_CHECKBOX, 2},      {BS_3STATE, 2},       {BS_AUTO3STATE, 2},
                        {BS_RADIOBUTTON, 3}, {BS_USERBUTTON, 0},    {BS_OWNERDRAW, 0}};
    std::vector<HWND> controls;
    int y = 0;
    for (const Row& row : rows)
    {
        CAPTURE(row.type);
        const HWND control = host.Control(row.type, L"", 10, y, 80, 18);
        y += 20;
        controls.push_back(control);
        CKivWnd* object = engine.Registry().Find(control);
        if (row.kind == 0)
        {
            CHECK(object == nullptr);
            CHECK(CKivWnd::FromHandle(control) == nullptr);
            continue;
        }
        REQUIRE(object != nullptr);
        CHECK(CKivWnd::FromHandle(control) == object);
        if (row.kind == 4)
        {
            CHECK(dynamic_cast<CKivGroupBox*>(object) != nullptr);
            continue;
        }
        CKivButton* button = dynamic_cast<CKivButton*>(object);
        REQUIRE(button != nullptr);
        CHECK(button->ButtonKind() == row.kind);
        CHECK((dynamic_cast<CKivCheckBox*>(object) != nullptr) == (row.kind == 2));
        CHECK((dynamic_cast<CKivRadioButton*>(object) != nullptr) == (row.kind == 3));
        if (row.kind >= 2)
            CHECK(button->CheckState() == 0);
    }
    kivtest::PumpPending();
    // Skinned from creation on: the first paint already shows the skin.
    CHECK(host.Pixel(controls[0], 4, 9) == PictureColour(PushNormal));
    CHECK(host.Pixel(controls[2], 4, 9) == PictureColour(CheckUncheckedNormal));
    CHECK(host.Pixel(controls[3], 4, 9) == PictureColour(RadioUncheckedNormal));
    for (size_t plainKind = 5; plainKind <= 7; ++plainKind)
        CHECK(host.Pixel(controls[plainKind], 4, 9) == PictureColour(CheckUncheckedNormal));
    CHECK(host.Pixel(controls[8], 4, 9) == PictureColour(RadioUncheckedNormal));
    CHECK(engine.Stop());
    for (HWND control : controls)
        DestroyWindow(control);
    kivtest::PumpPending();
}

namespace {

// Resets what the host records of custom draw and how it answers.
void AnswerCustomDraw(LRESULT preAnswer, COLORREF preFill = CLR_INVALID, COLORREF postFill = CLR_INVALID)
{
    g_customDraw = CustomDrawRecord();
    g_customDraw.preAnswer = preAnswer;
    g_customDraw.preFill = preFill;
    g_customDraw.postFill = postFill;
}

const COLORREF kHostInk = RGB(200, 10, 190);

}  // namespace

TEST_CASE("a common-controls button tells its parent NM_CUSTOMDRAW around every skinned paint, which can take it over")
{
    // Only the common controls' button sends custom draw; the system's never does.
    kivtest::CommonControls6 v6;
    REQUIRE(v6.Active());
    InstallSkin(0);
    Host host;
    struct Case
    {
        DWORD style;
        POINT probe;
        COLORREF normal;
        COLORREF pressed;
    };
    for (const Case& c : {Case{BS_PUSHBUTTON, {kFaceX, kFaceY}, PictureColour(PushNormal), PictureColour(PushPressed)},
                          Case{BS_AUTOCHECKBOX, {4, 12}, PictureColour(CheckUncheckedNormal),
                               PictureColour(CheckUncheckedPressed)},
                          Case{BS_AUTORADIOBUTTON, {4, 12}, PictureColour(RadioUncheckedNormal),
                               PictureColour(RadioUncheckedPressed)}})
    {
        CAPTURE(c.style);
        const HWND control = host.Control(c.style, L"", 20, 20, 100, 24);
        CKivButton* skin = host.SkinFor(control, c.style);
        REQUIRE(skin != nullptr);

        // Default answer: the skin draws, no post-paint is sent.
        AnswerCustomDraw(CDRF_DODEFAULT);
        SendMessageW(control, BM_SETSTATE, TRUE, 0);
        kivtest::PumpPending();
        CHECK(g_customDraw.pre >= 1);
        CHECK(g_customDraw.post == 0);
        CHECK(g_customDraw.from == control);
        CHECK(g_customDraw.id == static_cast<UINT_PTR>(GetDlgCtrlID(control)));
        CHECK(g_customDraw.hadDC);
        CHECK(g_customDraw.rc.right == 100);
        CHECK(g_customDraw.rc.bottom == 24);
        CHECK((g_customDraw.itemState & CDIS_SELECTED) != 0);
        CHECK(host.Pixel(control, c.probe.x, c.probe.y) == c.pressed);

        // Post-paint asked for: it comes after the skin, on top of it.
        AnswerCustomDraw(CDRF_NOTIFYPOSTPAINT, CLR_INVALID, kHostInk);
        SendMessageW(control, BM_SETSTATE, FALSE, 0);
        kivtest::PumpPending();
        CHECK(g_customDraw.pre >= 1);
        CHECK(g_customDraw.post == g_customDraw.pre);
        CHECK((g_customDraw.itemState & CDIS_SELECTED) == 0);
        CHECK(host.Pixel(control, 1, 1) == kHostInk);
        CHECK(host.Pixel(control, c.probe.x, c.probe.y) == c.normal);

        // Skip-default: the host's own drawing stays, and nothing follows it.
        AnswerCustomDraw(CDRF_SKIPDEFAULT | CDRF_NOTIFYPOSTPAINT, kHostInk);
        EnableWindow(control, FALSE);
        kivtest::PumpPending();
        CHECK(g_customDraw.pre >= 1);
        CHECK(g_customDraw.post == 0);
        CHECK((g_customDraw.itemState & CDIS_DISABLED) != 0);
        CHECK(host.Pixel(control, c.probe.x, c.probe.y) == kHostInk);
        CHECK(host.Pixel(control, 90, 20) == kHostInk);

        // Printing goes through the same notifications.
        AnswerCustomDraw(CDRF_SKIPDEFAULT, kHostInk);
        Surface surface(100, 24, RGB(1, 2, 3));
        SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.DC()), PRF_CLIENT);
        CHECK(g_customDraw.pre == 1);
        CHECK(surface.Pixel(c.probe.x, c.probe.y) == kHostInk);
        AnswerCustomDraw(CDRF_DODEFAULT);
        EnableWindow(control, TRUE);
        DestroyWindow(control);
    }
}

TEST_CASE("WM_PAINT with a DC in wParam draws into that DC, not onto the screen")
{
    InstallSkin(0, 1);
    Host host;
    const HWND push = host.Control(BS_PUSHBUTTON, L"", 20, 20, 60, 24);
    const HWND check = host.Control(BS_AUTOCHECKBOX, L"", 20, 60, 100, 24);
    const HWND group = host.Control(BS_GROUPBOX, L"", 200, 20, 100, 80);
    REQUIRE(host.Skin<CKivButton>(push) != nullptr);
    REQUIRE(host.Skin<CKivCheckBox>(check) != nullptr);
    REQUIRE(host.Skin<CKivGroupBox>(group) != nullptr);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);

    Surface pushSurface(60, 24, RGB(1, 2, 3));
    CHECK(SendMessageW(push, WM_PAINT, reinterpret_cast<WPARAM>(pushSurface.DC()), 0) == 0);
    CHECK(pushSurface.Pixel(10, 12) == PictureColour(PushNormal));
    Surface checkSurface(100, 24, RGB(1, 2, 3));
    SendMessageW(check, WM_PAINT, reinterpret_cast<WPARAM>(checkSurface.DC()), 0);
    CHECK(checkSurface.Pixel(4, 12) == PictureColour(CheckCheckedNormal));
    Surface groupSurface(100, 80, kDialog);
    SendMessageW(group, WM_PAINT, reinterpret_cast<WPARAM>(groupSurface.DC()), 0);
    CHECK(groupSurface.Pixel(5, 40) == kFrameLine);
    CHECK(groupSurface.Pixel(50, 7) == kFrameLine);
    CHECK(groupSurface.Pixel(50, 40) == kDialog);

    // Such a call leaves the window's pending update alone.
    InvalidateRect(push, nullptr, FALSE);
    SendMessageW(push, WM_PAINT, reinterpret_cast<WPARAM>(pushSurface.DC()), 0);
    CHECK(GetUpdateRect(push, nullptr, FALSE) != FALSE);
    kivtest::PumpPending();
    CHECK(host.Pixel(push, 10, 12) == PictureColour(PushNormal));
}

namespace {

// Watches the controls from both sides: a thread hook sees every message
// sent to them (style changes, redraw switches, BM_GETCHECK), and a subclass
// below the skin sees what the skin passes to the control's own procedure,
// with the style the control has at that moment.
std::vector<HWND> g_watched;
WNDPROC g_watchedProcs[4] = {};
int g_hiddenBelow = 0;
int g_redrawOff = 0;
int g_visibleCleared = 0;
int g_getCheck = 0;
int g_passedBelow = 0;

bool Watched(HWND window)
{
    for (HWND w : g_watched)
        if (w == window)
            return true;
    return false;
}

LRESULT CALLBACK WatchHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message && Watched(message->hwnd))
    {
        if (message->message == WM_SETREDRAW && message->wParam == FALSE)
            ++g_redrawOff;
        if (message->message == WM_STYLECHANGING && message->wParam == static_cast<WPARAM>(GWL_STYLE))
        {
            const STYLESTRUCT* change = reinterpret_cast<const STYLESTRUCT*>(message->lParam);
            if ((change->styleOld & WS_VISIBLE) && !(change->styleNew & WS_VISIBLE))
                ++g_visibleCleared;
        }
        if (message->message == BM_GETCHECK)
            ++g_getCheck;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK WatchBelow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    size_t index = 0;
    while (index < g_watched.size() && g_watched[index] != window)
        ++index;
    ++g_passedBelow;
    if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE))
        ++g_hiddenBelow;
    if (message == WM_SETREDRAW)
        ++g_redrawOff;
    return CallWindowProcW(g_watchedProcs[index], window, message, wParam, lParam);
}

}  // namespace

TEST_CASE("state changes keep the control visible and never ask it for its check state")
{
    InstallSkin();
    Host host;
    const HWND other = host.Control(BS_PUSHBUTTON, L"", 300, 200, 60, 24);
    const HWND push = host.Control(BS_PUSHBUTTON, L"Push", 20, 20, 80, 30);
    const HWND check = host.Control(BS_AUTOCHECKBOX, L"Check", 20, 60, 120, 24);
    const HWND radio = host.Control(BS_AUTORADIOBUTTON, L"Radio", 20, 100, 120, 24);
    const HWND group = host.Control(BS_GROUPBOX, L"Group", 200, 20, 180, 120);
    g_watched = {push, check, radio, group};
    for (size_t i = 0; i < g_watched.size(); ++i)
        g_watchedProcs[i] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(g_watched[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchBelow)));
    REQUIRE(host.Skin<CKivButton>(push) != nullptr);
    REQUIRE(host.Skin<CKivCheckBox>(check) != nullptr);
    REQUIRE(host.Skin<CKivRadioButton>(radio) != nullptr);
    REQUIRE(host.Skin<CKivGroupBox>(group) != nullptr);
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchHook, nullptr, GetCurrentThreadId());
    REQUIRE(hook != nullptr);
    g_hiddenBelow = g_redrawOff = g_visibleCleared = g_getCheck = g_passedBelow = 0;

    for (HWND control : {push, check, radio})
    {
        SetFocus(control);
        SendMessageW(control, BM_SETSTATE, TRUE, 0);
        SendMessageW(control, BM_SETSTATE, FALSE, 0);
        SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(control, BM_SETCHECK, BST_UNCHECKED, 0);
        SendMessageW(control, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageW(control, WM_KEYUP, VK_SPACE, 0);
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        SetWindowTextW(control, L"Again");
        SendMessageW(control, BM_SETSTYLE, GetWindowLongPtrW(control, GWL_STYLE) & 0xF, TRUE);
        EnableWindow(control, FALSE);
        EnableWindow(control, TRUE);
        InvalidateRect(control, nullptr, TRUE);
        UpdateWindow(control);
        Surface surface(120, 30, RGB(1, 2, 3));
        SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.DC()), PRF_CLIENT);
        SetFocus(other);
    }
    SetWindowTextW(group, L"Other");
    EnableWindow(group, FALSE);
    EnableWindow(group, TRUE);
    kivtest::PumpPending();
    UnhookWindowsHookEx(hook);

    CHECK(g_passedBelow > 40);
    CHECK(g_hiddenBelow == 0);
    CHECK(g_redrawOff == 0);
    CHECK(g_visibleCleared == 0);
    CHECK(g_getCheck == 0);
    // The skin's own record of the check state followed the clicks and keys.
    const LRESULT own = CallWindowProcW(g_watchedProcs[1], check, BM_GETCHECK, 0, 0);
    CHECK(SendMessageW(check, BM_GETCHECK, 0, 0) == own);
    CHECK(SendMessageW(radio, BM_GETCHECK, 0, 0) == CallWindowProcW(g_watchedProcs[2], radio, BM_GETCHECK, 0, 0));
    for (HWND control : g_watched)
        CHECK(IsWindowVisible(control));
    g_watched.clear();
}

namespace {

// Below a group box's skin: snapshots the screen right after the control's
// own procedure took a new caption, before any repaint.
WNDPROC g_groupProc = nullptr;
const Host* g_groupHost = nullptr;
Surface* g_duringSetText = nullptr;
int g_groupKeys = 0;

LRESULT CALLBACK GroupBelow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        ++g_groupKeys;
    const LRESULT result = CallWindowProcW(g_groupProc, window, message, wParam, lParam);
    if (message == WM_SETTEXT && g_duringSetText)
        g_groupHost->Snapshot(window, *g_duringSetText);
    return result;
}

}  // namespace

TEST_CASE("group box: keys reach the control; the same caption again changes no pixel")
{
    for (int variant = 0; variant < 4; ++variant)
    {
        // The system's group box and the common controls' one, enabled and disabled.
        const bool disabled = (variant & 1) != 0;
        const bool common = (variant & 2) != 0;
        CAPTURE(disabled);
        CAPTURE(common);
        std::unique_ptr<kivtest::CommonControls6> v6(common ? new kivtest::CommonControls6 : nullptr);
        InstallSkin(10, 1);
        Host host;
        const HWND group = host.Control(BS_GROUPBOX, L"Options", 20, 20, 200, 100);
        g_groupProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(group, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GroupBelow)));
        REQUIRE(host.Skin<CKivGroupBox>(group) != nullptr);

        g_groupKeys = 0;
        SendMessageW(group, WM_KEYDOWN, VK_DOWN, 0);
        SendMessageW(group, WM_SYSKEYDOWN, 'O', 0);
        CHECK(g_groupKeys == 2);

        if (disabled)
            EnableWindow(group, FALSE);
        kivtest::PumpPending();
        Surface before(200, 100, RGB(1, 2, 3));
        host.Snapshot(group, before);
        CHECK(before.Pixel(5, 50) == kFrameLine);

        Surface during(200, 100, RGB(1, 2, 3));
        g_groupHost = &host;
        g_duringSetText = &during;
        SetWindowTextW(group, L"Options");
        g_duringSetText = nullptr;
        kivtest::PumpPending();
        Surface after(200, 100, RGB(1, 2, 3));
        host.Snapshot(group, after);
        CHECK(during.SameAs(before));
        CHECK(after.SameAs(before));
    }
}

namespace {

// Wine's handle table type of a region.
const BYTE kRegionType = 0x04;

}  // namespace

TEST_CASE("check and click state changes on visible buttons leave no region or other GDI object behind")
{
    for (bool common : {false, true})
    {
        CAPTURE(common);
        // The system's buttons paint at once, the common controls' in WM_PAINT.
        std::unique_ptr<kivtest::CommonControls6> v6(common ? new kivtest::CommonControls6 : nullptr);
        InstallSkin();
        Host host;
        kivtest::GdiLeakOracle oracle;
        REQUIRE(oracle.ReadsHandleTable());
        struct Case
        {
            DWORD style;
            const char* name;
        };
        for (const Case& c : {Case{BS_AUTOCHECKBOX, "check box"}, Case{BS_AUTORADIOBUTTON, "radio button"},
                              Case{BS_PUSHBUTTON, "push button"}})
        {
            CAPTURE(c.name);
            const HWND control = host.Control(c.style, L"Leak", 20, 20, 120, 24);
            CKivButton* skin = host.SkinFor(control, c.style);
            REQUIRE(skin != nullptr);
            REQUIRE(IsWindowVisible(control));
            auto setCheck = [&](int round) {
                SendMessageW(control, BM_SETCHECK, round % 2 ? BST_CHECKED : BST_UNCHECKED, 0);
                kivtest::PumpPending();
            };
            auto click = [&](int) {
                SendMessageW(control, BM_CLICK, 0, 0);
                kivtest::PumpPending();
            };
            for (auto& step : {std::function<void(int)>(setCheck), std::function<void(int)>(click)})
            {
                for (int round = 0; round < 4; ++round)  // caches settle first
                    step(round);
                const long regions = oracle.LiveObjects(kRegionType);
                const long all = oracle.LiveObjects();
                for (int round = 0; round < 300; ++round)
                    step(round);
                CHECK(oracle.LiveObjects(kRegionType) == regions);
                CHECK(oracle.LiveObjects() == all);
            }
            DestroyWindow(control);
        }
    }
}

namespace {

// A modeless dialog with one group of three radio buttons and a push button
// after the group, driven through the dialog manager as a user drives it.
int g_radioClicks[4] = {};

INT_PTR CALLBACK RadioDialogProc(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) >= 1 && LOWORD(wParam) <= 3)
        ++g_radioClicks[LOWORD(wParam)];
    return FALSE;
}

bool PumpDialogUntil(HWND dialog, const std::function<bool()>& condition)
{
    const DWORD start = GetTickCount();
    while (!condition())
    {
        if (GetTickCount() - start > 3000)
            return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageW(dialog, &message))
            {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void SendKey(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

// Which radio button is checked after each way of choosing, and the clicks
// the dialog heard, for one run.
struct RadioRun
{
    std::vector<int> checked;  // the checked button (1-3) after each step, 0 for none or several
    int clicks[4] = {};
};

RadioRun ChooseRadios(bool skinned)
{
    RadioRun run;
    kivtest::DialogTemplate layout(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 160, 90, L"radios");
    layout.Add(0x0080, 1, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 10, 80, 12, L"&Alpha");
    layout.Add(0x0080, 2, BS_AUTORADIOBUTTON, 10, 25, 80, 12, L"&Beta");
    layout.Add(0x0080, 3, BS_AUTORADIOBUTTON, 10, 40, 80, 12, L"&Gamma");
    layout.Add(0x0080, IDOK, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 100, 60, 50, 14, L"OK");
    const HWND dialog =
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr), layout.Build(), nullptr, RadioDialogProc, 0);
    REQUIRE(dialog != nullptr);
    std::vector<std::unique_ptr<CKivRadioButton>> skins;
    if (skinned)
        for (int id = 1; id <= 3; ++id)
        {
            skins.push_back(std::make_unique<CKivRadioButton>());
            REQUIRE(skins.back()->Attach(GetDlgItem(dialog, id)));
        }
    SetForegroundWindow(dialog);
    // The cursor is nowhere near: under Wine a key or BM_CLICK arrives as a
    // button-down and -up without any mouse move over the control.
    SetCursorPos(5, 5);
    kivtest::PumpPending();
    for (int& clicks : g_radioClicks)
        clicks = 0;
    auto checked = [&] {
        int found = 0;
        for (int id = 1; id <= 3; ++id)
            if (SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED)
                found = found == 0 ? id : -1;
        return found < 0 ? 0 : found;
    };

    SendDlgItemMessageW(dialog, 2, BM_CLICK, 0, 0);
    run.checked.push_back(checked());

    SetFocus(GetDlgItem(dialog, 2));
    SendKey(VK_DOWN, false);
    SendKey(VK_DOWN, true);
    PumpDialogUntil(dialog, [&] { return checked() == 3; });
    run.checked.push_back(checked());

    SendKey(VK_MENU, false);
    SendKey('A', false);
    SendKey('A', true);
    SendKey(VK_MENU, true);
    PumpDialogUntil(dialog, [&] { return checked() == 1; });
    run.checked.push_back(checked());

    for (int id = 1; id <= 3; ++id)
        run.clicks[id] = g_radioClicks[id];
    skins.clear();
    DestroyWindow(dialog);
    kivtest::PumpPending();
    return run;
}

}  // namespace

TEST_CASE("radio buttons are chosen by BM_CLICK, arrow keys and Alt+mnemonic as unskinned, the cursor outside")
{
    InstallSkin();
    const RadioRun plain = ChooseRadios(false);
    const RadioRun skinned = ChooseRadios(true);
    // BM_CLICK checks Beta, Down moves to Gamma, Alt+A comes back to Alpha.
    CHECK(skinned.checked == std::vector<int>{2, 3, 1});
    CHECK(skinned.checked == plain.checked);
    for (int id = 1; id <= 3; ++id)
    {
        CAPTURE(id);
        CHECK(skinned.clicks[id] >= 1);
        CHECK(skinned.clicks[id] == plain.clicks[id]);
    }
}

namespace {

int CountColour(const Surface& surface, COLORREF colour)
{
    int count = 0;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            count += surface.Pixel(x, y) == colour ? 1 : 0;
    return count;
}

int CountDifferent(const Surface& a, const Surface& b)
{
    int count = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            count += a.Pixel(x, y) != b.Pixel(x, y) ? 1 : 0;
    return count;
}

}  // namespace

TEST_CASE("disabled buttons, check boxes and radio buttons show a grey label that still reads")
{
    InstallSkin();
    Host host;
    const CKivTextContrast::Colours& colours = CKivTextContrast::Current();
    // What the disabled label lies on: the disabled face as a whole, the dialog.
    double face = 0.0;
    REQUIRE(CKivTextContrast::AverageLuminance(CKivSkinStore::Atlas(), PictureRect(PushDisabled), &face));
    const double dialog = CKivTextContrast::RelativeLuminance(kDialog);
    struct Case
    {
        DWORD style;
        COLORREF normal;
        COLORREF grey;
        double under;
    };
    for (const Case& c : {Case{BS_PUSHBUTTON, colours.buttonText, colours.buttonGrayText, face},
                          Case{BS_AUTOCHECKBOX, colours.dialogText, colours.dialogGrayText, dialog},
                          Case{BS_AUTORADIOBUTTON, colours.dialogText, colours.dialogGrayText, dialog}})
    {
        CAPTURE(c.style);
        const HWND control = host.Control(c.style, L"MMMMMM", 20, 20, 160, 30);
        CKivButton* skin = host.SkinFor(control, c.style);
        REQUIRE(skin != nullptr);
        CHECK(c.grey != c.normal);
        CHECK(CKivTextContrast::ContrastRatio(CKivTextContrast::RelativeLuminance(c.grey), c.under) >= 4.5);
        Surface enabled(160, 30, 0);
        host.Snapshot(control, enabled);
        CHECK(CountColour(enabled, c.normal) > 10);
        EnableWindow(control, FALSE);
        kivtest::PumpPending();
        Surface disabled(160, 30, 0);
        host.Snapshot(control, disabled);
        CHECK(CountColour(disabled, c.normal) == 0);
        CHECK(CountColour(disabled, c.grey) > 10);
        DestroyWindow(control);
    }
}

TEST_CASE("check boxes and radio buttons show a focus cue, hidden while the UI state hides focus")
{
    InstallSkin();
    Host host;
    const HWND other = host.Control(BS_PUSHBUTTON, L"", 300, 250, 60, 24);
    for (DWORD style : {DWORD(BS_AUTOCHECKBOX), DWORD(BS_AUTORADIOBUTTON)})
    {
        CAPTURE(style);
        const HWND control = host.Control(style, L"Focus", 20, 20, 160, 24);
        CKivButton* skin = host.SkinFor(control, style);
        REQUIRE(skin != nullptr);
        SetFocus(other);
        kivtest::PumpPending();
        auto shot = [&](Surface& into) {
            kivtest::PumpPending();
            host.Snapshot(control, into);
        };
        Surface plain(160, 24, 0);
        shot(plain);
        SetFocus(control);
        Surface focused(160, 24, 0);
        shot(focused);
        // A dotted frame around the text, right of the glyph.
        const int cue = CountDifferent(plain, focused);
        CHECK(cue > 20);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < kPictureWidth; ++x)
                CHECK(plain.Pixel(x, y) == focused.Pixel(x, y));
        SendMessageW(control, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
        Surface hidden(160, 24, 0);
        shot(hidden);
        CHECK(hidden.SameAs(plain));
        SendMessageW(control, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        Surface shown(160, 24, 0);
        shot(shown);
        CHECK(shown.SameAs(focused));
        SetFocus(other);
        Surface left(160, 24, 0);
        shot(left);
        CHECK(left.SameAs(plain));
        DestroyWindow(control);
    }
}

TEST_CASE("a small group box caption drawn again over itself keeps every smoothed pixel")
{
    for (bool common : {false, true})
    {
        CAPTURE(common);
        std::unique_ptr<kivtest::CommonControls6> v6(common ? new kivtest::CommonControls6 : nullptr);
        InstallSkin(10, 1);
        Host host;
        // The skin's font, smoothed; the caption's last glyph reaches past its advance width.
        const HWND group = host.Control(BS_GROUPBOX | WS_DISABLED, L"test", 0, 0, 50, 14);
        REQUIRE(host.Skin<CKivGroupBox>(group) != nullptr);
        Surface before(50, 14, 0);
        host.Snapshot(group, before);
        for (int again = 0; again < 3; ++again)
        {
            SetWindowTextW(group, L"test");
            kivtest::PumpPending();
        }
        Surface after(50, 14, 0);
        host.Snapshot(group, after);
        CHECK(CountDifferent(before, after) == 0);
    }
}

namespace {

const char kButtonsAtSessionDpi[] = "child: check box and group box at the session DPI";

}  // namespace

TEST_CASE("check box and group box at 96, 144 and 192 DPI")
{
    for (int dpi : {96, 144, 192})
    {
        CAPTURE(dpi);
        CHECK(kivtest::RunAtDpi(dpi, kButtonsAtSessionDpi) == 0);
    }
}

TEST_CASE("child: check box and group box at the session DPI" * doctest::skip())
{
    const int dpi = kivtest::RequestedDpi();
    REQUIRE(dpi > 0);
    auto S = [dpi](int value) { return kivtest::ExpectScaled(value, dpi); };
    InstallSkin(10, 3);
    Host host;

    // The 16 x 12 glyph is drawn whole at the scale, centred on the height;
    // its white marker columns move with it, and the label follows it.
    const int height = 60;
    const HWND box = host.Control(BS_AUTOCHECKBOX, L"Check me", 20, 20, 220, height);
    REQUIRE(host.Skin<CKivCheckBox>(box) != nullptr);
    Surface surface(220, height, RGB(1, 2, 3));
    SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.DC()), PRF_CLIENT);
    const int top = height / 2 - S(kPictureHeight) / 2;
    const int bottom = top + S(kPictureHeight);
    CHECK(surface.Pixel(1, top + 1) == PictureColour(CheckUncheckedNormal));
    CHECK(surface.Pixel(S(kMarkerStart) - 2, bottom - 2) == PictureColour(CheckUncheckedNormal));
    CHECK(surface.Pixel(S(kMarkerStart) + 1, top + 1) == kWhite);
    CHECK(surface.Pixel(S(kPictureWidth) - 1, bottom - 1) == kWhite);
    CHECK(surface.Pixel(S(kPictureWidth) + 1, top + 1) != kWhite);
    CHECK(surface.Pixel(1, top - 2) != PictureColour(CheckUncheckedNormal));
    CHECK(surface.Pixel(1, bottom + 1) != PictureColour(CheckUncheckedNormal));
    // Label ink starts only past the glyph and its scaled gap.
    bool inkBefore = false;
    for (int x = S(kPictureWidth) + 1; x < S(kPictureWidth) + S(4); ++x)
        for (int y = 0; y < height; ++y)
            inkBefore = inkBefore || surface.Pixel(x, y) != surface.Pixel(S(kPictureWidth) + 1, 0);
    CHECK_FALSE(inkBefore);

    // The group box: scaled insets, line width, and the caption gap.
    const HWND group = host.Control(BS_GROUPBOX, L"Options", 20, 100, 300, 200);
    REQUIRE(host.Skin<CKivGroupBox>(group) != nullptr);
    Surface frame(300, 200, kDialog);
    SendMessageW(group, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(frame.DC()), PRF_CLIENT);
    const int line = S(3), insetTop = S(7), inset = S(5);
    // A wide pen is centred on the inset line.
    CHECK(frame.Pixel(inset, 100) == kFrameLine);
    CHECK(frame.Pixel(inset - line / 2, 100) == kFrameLine);
    CHECK(frame.Pixel(inset - line / 2 - 2, 100) == kDialog);
    CHECK(frame.Pixel(inset + line / 2 + 2, 100) == kDialog);
    CHECK(frame.Pixel(S(13) - 2, insetTop) == kFrameLine);
    CHECK(frame.Pixel(150, 200 - inset - 1) == kFrameLine);
    // The caption at its scaled place, in the font of that DPI.
    HFONT font = CreateFontW(S(15), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, CLEARTYPE_QUALITY, 0x20, L"Arial");
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, L"Options", 7, &extent);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    CHECK(FreeOfFrame(frame, S(13), 0, S(13) + extent.cx, insetTop + line));
    CHECK(frame.Pixel(S(13) + extent.cx + S(2) + 1, insetTop) == kFrameLine);
    kivtest::ConfirmDpiRun();
}
