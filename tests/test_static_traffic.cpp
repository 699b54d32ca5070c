// A skinned static sends its parent what the unskinned one sends: one
// WM_CTLCOLORSTATIC per paint, on a DC clipped to the control, and none for
// a change the control does not draw; for the system's statics and for the
// common controls' (version 6). A picture static without an image looks
// as the unskinned one does with the parent's brush.
#include <doctest.h>
#include "CKivPictureControl.h"
#include "CKivSkinStore.h"
#include "CKivStatic.h"
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

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog::NoteParent(message, wParam, lParam);
    if (message == WM_CTLCOLORSTATIC)
        return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Run
{
    std::vector<std::string> lines;
    COLORREF pictureCentre = CLR_INVALID;  // SS_BITMAP without an image, after the paints
};

Run Traffic(DWORD style, bool skinned)
{
    Run run;
    const HWND parent = kivtest::CreateForegroundHost(L"KivStaticTrafficParent", ParentProc, RGB(255, 255, 255),
                                                      L"statics", 300, 200);
    kivtest::MoveCursorTo(parent, 280, 180);
    kivtest::PumpPending();
    const HWND control = CreateWindowExW(0, L"STATIC", L"Test", WS_CHILD | WS_VISIBLE | style, 5, 5, 100, 100, parent,
                                         reinterpret_cast<HMENU>(1995), GetModuleHandleW(nullptr), nullptr);
    std::unique_ptr<CKivWnd> skin;
    if (skinned)
    {
        const DWORD type = style & SS_TYPEMASK;
        skin.reset(type == SS_ICON || type == SS_BITMAP ? new CKivPictureControl : new CKivStatic);
        REQUIRE(skin->Attach(control));
    }
    kivtest::PumpPending();
    MessageLog::Clear();
    const RECT corner = {5, 5, 30, 30};
    MessageLog::Add("-- parent invalidated");
    InvalidateRect(parent, nullptr, FALSE);
    UpdateWindow(parent);
    MessageLog::Add("-- part of the parent invalidated");
    InvalidateRect(parent, &corner, FALSE);
    UpdateWindow(parent);
    MessageLog::Add("-- part of the static invalidated");
    InvalidateRect(control, &corner, FALSE);
    UpdateWindow(control);
    MessageLog::Add("-- static invalidated");
    InvalidateRect(control, nullptr, FALSE);
    UpdateWindow(control);
    if ((style & SS_TYPEMASK) == SS_BITMAP)
    {
        const HDC dc = GetDC(control);
        run.pictureCentre = GetPixel(dc, 10, 10);
        ReleaseDC(control, dc);
    }
    const HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    const HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    MessageLog::Add("-- STM_SETIMAGE icon");
    SendMessageW(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    MessageLog::Add("-- STM_SETIMAGE bitmap");
    SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    MessageLog::Add("-- WM_SETTEXT");
    SetWindowTextW(control, L"Other");
    MessageLog::Add("-- WM_ENABLE");
    EnableWindow(control, FALSE);
    EnableWindow(control, TRUE);
    MessageLog::Add("-- queued");
    kivtest::DispatchQueued();
    run.lines = MessageLog::Lines();
    DestroyWindow(parent);
    DeleteObject(bitmap);
    kivtest::PumpPending();
    return run;
}

void InstallStaticSkin()
{
    kivtest::skin::Install();
    KivSkinSettings& s = CKivSkinStore::Settings();
    s.staticTextTransparent = 1;
    s.pictureControlTransparent = 1;
    s.edgeEnableBackColor = 1;
    s.edgeBackgroundColor = static_cast<int>(RGB(250, 230, 210));
}

void CompareStyles(bool commonControls)
{
    const DWORD styles[] = {SS_LEFT, SS_CENTER, SS_SIMPLE, SS_LEFTNOWORDWRAP, SS_ICON, SS_BITMAP,
                            SS_BITMAP | SS_CENTERIMAGE};
    for (DWORD style : styles)
    {
        CAPTURE(style);
        const Run plain = Traffic(style, false);
        const Run skinned = Traffic(style, true);
        // Four paints of the unskinned static, each asking its parent once.
        int asked = 0;
        for (const std::string& line : plain.lines)
            asked += line == "parent WM_CTLCOLORSTATIC clipped" ? 1 : 0;
        CHECK(asked >= 4);
        CHECK(kivtest::FirstDifference(plain.lines, skinned.lines) == "");
        if ((style & SS_TYPEMASK) == SS_BITMAP)
        {
            // The common controls' empty picture is filled with the parent's
            // black brush, the system's is not; skinned or not.
            CHECK((plain.pictureCentre == RGB(0, 0, 0)) == commonControls);
            CHECK((skinned.pictureCentre == RGB(0, 0, 0)) == commonControls);
        }
    }
}

}  // namespace

TEST_CASE("a skinned system static asks its parent exactly as the unskinned one")
{
    InstallStaticSkin();
    CompareStyles(false);
}

TEST_CASE("a skinned common-controls static asks its parent exactly as the unskinned one")
{
    kivtest::CommonControls6 v6;
    REQUIRE(v6.Active());
    InstallStaticSkin();
    CompareStyles(true);
}
