// One window made of the classes real programs use beyond the dialog
// controls (a rebar with a tool bar, a tool bar of its own, a list view's
// header, an edit with an up-down, a rich edit, a status bar and a tooltip),
// unskinned and with both shipped skins: every class gets its skin object,
// and the window's texts read. Run with --no-skip to save the three pictures
// of the documentation (KIV_SCREENSHOTS names the folder).
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivWnd.h"
#include "CKivWndBox.h"
#include "KivCommonHost.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <richedit.h>
#include <string>
#include <vector>

using kivtest::CommonHost;

namespace {

enum Ids
{
    kReBar = 10,
    kBandBar,
    kToolBar,
    kList,
    kEdit,
    kUpDown,
    kRich,
    kStatus,
};

struct Gallery
{
    explicit Gallery(bool skinned) : host(skinned, 640, 460)
    {
        LoadLibraryW(L"riched20.dll");
        const HWND window = host.Window();
        rebar = host.Control(REBARCLASSNAMEW, RBS_BANDBORDERS | CCS_NODIVIDER | WS_CLIPCHILDREN, 0, 0, 0, 0, kReBar);
        bandBar = host.Control(TOOLBARCLASSNAMEW,
                               TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TRANSPARENT | CCS_NORESIZE | CCS_NODIVIDER |
                                   CCS_NOPARENTALIGN | TBSTYLE_TOOLTIPS,
                               0, 0, 300, 24, kBandBar, rebar);
        kivtest::AddToolButtons(bandBar, true, 100);
        SIZE size = {};
        SendMessageW(bandBar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
        REBARBANDINFOW band = {};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_TEXT | RBBIM_SIZE;
        band.fStyle = RBBS_GRIPPERALWAYS | RBBS_CHILDEDGE;
        band.hwndChild = bandBar;
        band.cxMinChild = size.cx;
        band.cyMinChild = size.cy;
        band.cx = 420;
        wchar_t title[] = L"Tools";
        band.lpText = title;
        SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
        toolBar = host.Control(TOOLBARCLASSNAMEW, TBSTYLE_FLAT | CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 0, 0, 0,
                               kToolBar);
        kivtest::AddToolButtons(toolBar, false, 200);
        RECT bar = {};
        GetWindowRect(rebar, &bar);
        const int top = bar.bottom - bar.top;
        MoveWindow(toolBar, 0, top, 620, 28, TRUE);
        list = host.Control(WC_LISTVIEWW, LVS_REPORT | WS_BORDER, 8, top + 34, 360, 170, kList);
        kivtest::AddReportColumns(list, L"Modified", 140);
        const wchar_t* rows[] = {L"readme.txt", L"setup.exe", L"notes.rtf"};
        for (int i = 0; i < 3; ++i)
        {
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = const_cast<wchar_t*>(rows[i]);
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        HDITEMW sorted = {};
        sorted.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&sorted));
        sorted.fmt |= HDF_SORTUP;
        SendMessageW(header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&sorted));
        edit = host.Control(L"EDIT", WS_BORDER | ES_NUMBER, 380, top + 34, 80, 24, kEdit);
        upDown = host.Control(UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 0, 0, kUpDown);
        SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        SendMessageW(upDown, UDM_SETRANGE32, 0, 100);
        SendMessageW(upDown, UDM_SETPOS32, 0, 42);
        rich = host.Control(L"RichEdit20W", WS_BORDER | ES_MULTILINE, 380, top + 70, 240, 134, kRich);
        SetWindowTextW(rich, L"Rich edit: automatic colour text, and one word the document colours red.");
        CHARFORMAT2W red = {};
        red.cbSize = sizeof(red);
        red.dwMask = CFM_COLOR;
        red.crTextColor = RGB(220, 0, 0);
        SendMessageW(rich, EM_SETSEL, 46, 50);
        SendMessageW(rich, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&red));
        SendMessageW(rich, EM_SETSEL, 0, 0);
        status = host.Control(STATUSCLASSNAMEW, SBARS_SIZEGRIP, 0, 0, 0, 0, kStatus);
        static const int parts[] = {200, 400, -1};
        SendMessageW(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
        SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Ready"));
        SendMessageW(status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"\t3 objects"));
        SendMessageW(status, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"\t\t42 KB"));
        // A tracking tooltip, shown at once.
        if (skinned)
            CKivEngine::Instance().Run();
        tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX, 0, 0, 0, 0, window,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
        if (skinned)
            CKivEngine::Instance().Stop();
        TTTOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.hwnd = window;
        tool.uId = 1;
        wchar_t tipText[] = L"A tooltip in the skin's colours";
        tool.lpszText = tipText;
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        POINT at = {40, top + 220};
        ClientToScreen(window, &at);
        SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
        SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
        kivtest::Settle(window);
        kivtest::Settle(tip);
    }
    ~Gallery()
    {
        if (tip)
            DestroyWindow(tip);
    }
    bool AllSkinned() const
    {
        for (HWND control : {rebar, bandBar, toolBar, header, upDown, rich, status, tip})
            if (CKivWnd::FromHandle(control) == nullptr)
                return false;
        return true;
    }

    CommonHost host;
    HWND rebar = nullptr, bandBar = nullptr, toolBar = nullptr, list = nullptr, header = nullptr, edit = nullptr,
         upDown = nullptr, rich = nullptr, status = nullptr, tip = nullptr;
};

// The window with its tooltip, as the screen shows it.
bool Shoot(const Gallery& gallery, const std::wstring& file)
{
    kivtest::PumpUntil([] { return false; }, 1500);
    return kivtest::SaveScreenOf(gallery.host.Window(), file);
}

}  // namespace

TEST_CASE("every class of the gallery gets its skin object, and none without the hook")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    {
        Gallery plain(false);
        CHECK(CKivWnd::FromHandle(plain.status) == nullptr);
        CHECK(CKivWnd::FromHandle(plain.header) == nullptr);
    }
    Gallery skinned(true);
    CHECK(skinned.AllSkinned());
}

TEST_CASE("pictures of the gallery: unskinned, default and dark" * doctest::skip())
{
    const std::wstring out = kivtest::ScreenshotFolder();
    {
        Gallery plain(false);
        CHECK(Shoot(plain, out + L"\\classes-unskinned.bmp"));
    }
    for (const wchar_t* skin : {L"default", L"dark"})
    {
        REQUIRE(kivtest::LoadShippedSkin((std::wstring(skin) + L".kiv").c_str()));
        Gallery skinned(true);
        CHECK(skinned.AllSkinned());
        CHECK(Shoot(skinned, out + L"\\classes-" + skin + L".bmp"));
    }
}
