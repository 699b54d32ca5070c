// A skinned tree view that shows its selection without the focus keeps the
// selected item readable: on a dark skin the item texts are white, and the
// selection without focus lies on the system's light face colour. The host's
// own custom draw still hears exactly what it asked for.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"
#include "CKivTreeCtrl.h"
#include "KivTestInput.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

const COLORREF kDarkBack = RGB(40, 42, 48);

// What the host heard of its tree's custom draw, and what it answers.
struct HostDraw
{
    LRESULT prePaintAnswer = CDRF_DODEFAULT;
    int prePaints = 0;
    int itemPrePaints = 0;
};
HostDraw g_host;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(NM_CUSTOMDRAW))
    {
        const NMCUSTOMDRAW* draw = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
        if (draw->dwDrawStage == CDDS_PREPAINT)
        {
            ++g_host.prePaints;
            return g_host.prePaintAnswer;
        }
        if (draw->dwDrawStage == CDDS_ITEMPREPAINT)
            ++g_host.itemPrePaints;
        return CDRF_DODEFAULT;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The contrast between the most frequent colour of an area and the colour
// that stands out most from it (the text on its background).
double TextContrast(HWND window, const RECT& area)
{
    kivtest::Canvas canvas(area.right - area.left, area.bottom - area.top, 0);
    const HDC dc = GetDC(window);
    BitBlt(canvas.DC(), 0, 0, canvas.Width(), canvas.Height(), dc, area.left, area.top, SRCCOPY);
    ReleaseDC(window, dc);
    std::map<COLORREF, int> counts;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            ++counts[canvas.Pixel(x, y)];
    COLORREF background = 0;
    int most = 0;
    for (const auto& entry : counts)
        if (entry.second > most)
        {
            most = entry.second;
            background = entry.first;
        }
    double best = 1.0;
    for (const auto& entry : counts)
    {
        const double ratio = CKivTextContrast::ContrastRatio(entry.first, background);
        best = ratio > best ? ratio : best;
    }
    return best;
}

}  // namespace

TEST_CASE("the selected item of a skinned tree without the focus reads at 4.5:1 or better")
{
    kivtest::skin::Install();
    KivSkinSettings& s = CKivSkinStore::Settings();
    s.treeControlBorderColor = static_cast<int>(RGB(90, 90, 90));
    s.treeControlBackColor = static_cast<int>(kDarkBack);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const HWND host = kivtest::CreateForegroundHost(L"KivTreeSelectionHost", HostProc, RGB(240, 240, 240),
                                                    L"tree", 400, 300);
    // The host's dialog is skinned: it hands its children's notifications back.
    CKivWnd parentSkin;
    REQUIRE(parentSkin.Attach(host));
    CKivEngine& engine = CKivEngine::Instance();
    REQUIRE(engine.Run());
    const HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | TVS_SHOWSELALWAYS, 10, 10, 200,
                                      200, host, reinterpret_cast<HMENU>(7), GetModuleHandleW(nullptr), nullptr);
    const HWND other = CreateWindowExW(0, L"BUTTON", L"other", WS_CHILD | WS_VISIBLE, 250, 10, 80, 24, host, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    engine.Stop();
    REQUIRE(dynamic_cast<CKivTreeCtrl*>(CKivWnd::FromHandle(tree)) != nullptr);
    std::vector<HTREEITEM> items;
    for (const wchar_t* name : {L"Alpha document", L"Beta document", L"Gamma document"})
    {
        TVINSERTSTRUCTW insert = {};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<wchar_t*>(name);
        items.push_back(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
    }
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[1]));
    auto itemText = [&](HTREEITEM item) {
        RECT r = {};
        memcpy(&r, &item, sizeof(item));
        SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        return r;
    };

    for (LRESULT answer : {LRESULT(CDRF_DODEFAULT), LRESULT(CDRF_NOTIFYITEMDRAW)})
    {
        CAPTURE(answer);
        g_host = HostDraw();
        g_host.prePaintAnswer = answer;
        SetFocus(other);
        RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        kivtest::PumpPending();
        // The other items: white on the dark skin colour; the selected one
        // readable on the face colour the control puts under it.
        CHECK(TextContrast(tree, itemText(items[0])) >= 4.5);
        CHECK(TextContrast(tree, itemText(items[1])) >= 4.5);
        // The host heard each paint once, and items only when it asked.
        CHECK(g_host.prePaints >= 1);
        if (answer == CDRF_NOTIFYITEMDRAW)
            CHECK(g_host.itemPrePaints >= 3);
        else
            CHECK(g_host.itemPrePaints == 0);
    }
    DestroyWindow(host);
    kivtest::PumpPending();
}
