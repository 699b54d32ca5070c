// Header skin, for a header of its own and for a list view's: the same calls,
// clicks and drags give the same answers and notifications (custom draw stages
// in the control's own order, callback texts and owner-draw requests asked for
// as often) skinned and unskinned; the items, their texts and sort arrows are
// the skin's and read; a host that colours an item keeps its colour; and
// repainting holds no GDI objects.
#include <doctest.h>
#include "CKivCommonLook.h"
#include "CKivHeaderCtrl.h"
#include "CKivWnd.h"
#include "KivCommonHost.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <string>
#include <vector>

using kivtest::CommonHost;
using kivtest::ScriptStep;

namespace {

const int kHeaderId = 500;
const int kListId = 501;

int InsertItem(HWND header, int index, const wchar_t* text, int width, int format = HDF_STRING | HDF_LEFT)
{
    HDITEMW item = {};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.pszText = const_cast<wchar_t*>(text);
    item.cxy = width;
    item.fmt = format;
    return static_cast<int>(SendMessageW(header, HDM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)));
}

// A header of its own (placed by HDM_LAYOUT), or the header of a report list view.
struct Headed
{
    Headed(bool skinned, bool ofList, bool onPanel = false) : host(skinned)
    {
        // On a panel without a skin, nobody hands the header's custom draw over.
        const HWND parent = onPanel ? host.Panel(0, 0, 480, 260) : nullptr;
        if (ofList)
        {
            list = host.Control(WC_LISTVIEWW, LVS_REPORT | WS_BORDER, 10, 10, 420, 200, kListId, parent);
            kivtest::AddReportColumns(list, L"Kind", 150);
            header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        }
        else
        {
            header = host.Control(WC_HEADERW, HDS_BUTTONS | HDS_HORZ | HDS_HOTTRACK | HDS_DRAGDROP, 10, 10, 420, 24,
                                  kHeaderId, parent);
            InsertItem(header, 0, L"Name", 150);
            InsertItem(header, 1, L"Size", 100, HDF_STRING | HDF_RIGHT);
            InsertItem(header, 2, L"Kind", 100, HDF_STRING | HDF_CENTER);
        }
        kivtest::Settle(host.Window());
    }
    RECT Item(int index) const { return kivtest::AskRect(header, HDM_GETITEMRECT, index); }
    CommonHost host;
    HWND list = nullptr;
    HWND header = nullptr;
};

std::vector<ScriptStep> HeaderScript()
{
    auto mouse = [](UINT message, int x, int y) {
        return [=](HWND header, std::string&) { return SendMessageW(header, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y)); };
    };
    return {
        {"HDM_GETITEMCOUNT", kivtest::SendStep(HDM_GETITEMCOUNT, 0, 0)},
        {"HDM_GETITEMRECT 1", kivtest::RectStep(HDM_GETITEMRECT, 1)},
        {"HDM_HITTEST", [](HWND header, std::string& out) {
             HDHITTESTINFO hit = {};
             hit.pt = POINT{160, 5};
             const LRESULT answer = SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
             out = std::to_string(hit.flags) + " " + std::to_string(hit.iItem);
             return answer;
         }},
        {"HDM_SETITEM sort", [](HWND header, std::string&) {
             HDITEMW item = {};
             item.mask = HDI_FORMAT;
             item.fmt = HDF_STRING | HDF_SORTDOWN;
             return SendMessageW(header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
         }},
        {"HDM_INSERTITEM callback", [](HWND header, std::string&) {
             HDITEMW item = {};
             item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
             item.pszText = LPSTR_TEXTCALLBACKW;
             item.cxy = 60;
             item.fmt = HDF_STRING;
             return SendMessageW(header, HDM_INSERTITEMW, 3, reinterpret_cast<LPARAM>(&item));
         }},
        {"HDM_INSERTITEM owner drawn", [](HWND header, std::string&) {
             HDITEMW item = {};
             item.mask = HDI_WIDTH | HDI_FORMAT;
             item.cxy = 50;
             item.fmt = HDF_OWNERDRAW;
             return SendMessageW(header, HDM_INSERTITEMW, 4, reinterpret_cast<LPARAM>(&item));
         }},
        {"HDM_GETITEM text", [](HWND header, std::string& out) {
             wchar_t text[32] = {};
             HDITEMW item = {};
             item.mask = HDI_TEXT | HDI_FORMAT | HDI_WIDTH;
             item.pszText = text;
             item.cchTextMax = 32;
             const LRESULT answer = SendMessageW(header, HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
             for (const wchar_t* c = text; *c; ++c)
                 out += static_cast<char>(*c);
             out += " " + std::to_string(item.fmt) + " " + std::to_string(item.cxy);
             return answer;
         }},
        {"mouse over item 1", mouse(WM_MOUSEMOVE, 200, 8)},
        {"click item 1 down", mouse(WM_LBUTTONDOWN, 200, 8)},
        {"click item 1 up", mouse(WM_LBUTTONUP, 200, 8)},
        {"divider down", [](HWND header, std::string&) {
             RECT r = {};
             SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
             return SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right - 1, 8));
         }},
        {"divider drag", [](HWND header, std::string&) {
             RECT r = {};
             SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
             return SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(r.right + 30, 8));
         }},
        {"divider up", [](HWND header, std::string&) {
             RECT r = {};
             SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
             return SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(r.right, 8));
         }},
        {"HDM_GETITEMRECT 0 after drag", kivtest::RectStep(HDM_GETITEMRECT, 0)},
        {"HDM_SETORDERARRAY", [](HWND header, std::string&) {
             int order[] = {2, 0, 1, 3, 4};
             return SendMessageW(header, HDM_SETORDERARRAY, 5, reinterpret_cast<LPARAM>(order));
         }},
        {"HDM_GETITEMRECT 2 after order", kivtest::RectStep(HDM_GETITEMRECT, 2)},
        {"HDM_SETHOTDIVIDER", kivtest::SendStep(HDM_SETHOTDIVIDER, FALSE, 1)},
        {"HDM_SETHOTDIVIDER off", kivtest::SendStep(HDM_SETHOTDIVIDER, FALSE, -1)},
        {"HDM_DELETEITEM", kivtest::SendStep(HDM_DELETEITEM, 2, 0)},
        {"HDM_GETITEMCOUNT after delete", kivtest::SendStep(HDM_GETITEMCOUNT, 0, 0)},
        {"GWL_STYLE", [](HWND header, std::string&) { return GetWindowLongPtrW(header, GWL_STYLE); }},
    };
}

std::vector<std::string> PlayHeader(bool skinned, bool ofList, const kivtest::CustomDrawAnswers& answers,
                                    bool onPanel = false)
{
    Headed headed(skinned, ofList, onPanel);
    CHECK((dynamic_cast<CKivHeaderCtrl*>(CKivWnd::FromHandle(headed.header)) != nullptr) == skinned);
    CommonHost::Answers() = answers;
    std::vector<std::string> lines = kivtest::PlayScript(headed.header, HeaderScript());
    CommonHost::Answers() = kivtest::CustomDrawAnswers();
    return lines;
}

}  // namespace

TEST_CASE("header: answers and notifications, custom draw included, are the same skinned and unskinned")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    for (bool ofList : {false, true})
        for (LRESULT prepaint : {static_cast<LRESULT>(CDRF_DODEFAULT), static_cast<LRESULT>(CDRF_NOTIFYITEMDRAW)})
        {
            CAPTURE(ofList);
            CAPTURE(prepaint);
            kivtest::CustomDrawAnswers answers;
            answers.prepaint = prepaint;
            const std::vector<std::string> plain = PlayHeader(false, ofList, answers);
            const std::vector<std::string> skinned = PlayHeader(true, ofList, answers);
            if (!ofList)
            {
                // The header's own host hears its paints and clicks: the comparison holds something.
                CHECK(kivtest::CountLines(plain, "SysHeader32 id 500 code -12 stage 0x1") > 0);
                CHECK((kivtest::CountLines(plain, "stage 0x10001") > 0) == (prepaint == CDRF_NOTIFYITEMDRAW));
                CHECK(kivtest::CountLines(plain, "WM_DRAWITEM id 500 item 4") > 0);
                CHECK(kivtest::CountLines(plain, "code " + std::to_string(static_cast<int>(HDN_GETDISPINFOW))) > 0);
                CHECK(kivtest::CountLines(plain, "code " + std::to_string(static_cast<int>(HDN_ITEMCLICKW))) == 1);
                CHECK(kivtest::CountLines(plain, "code " + std::to_string(static_cast<int>(HDN_ENDTRACKW))) == 1);
            }
            else
                CHECK(kivtest::CountLines(plain, "code " + std::to_string(static_cast<int>(LVN_COLUMNCLICK))) == 1);
            CHECK(kivtest::SamePlay(plain, skinned));
        }
}

TEST_CASE("header on a parent without a skin: the same notifications, the skin's items while the host leaves them, the system's when it draws")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    for (LRESULT prepaint : {static_cast<LRESULT>(CDRF_DODEFAULT), static_cast<LRESULT>(CDRF_NOTIFYITEMDRAW)})
    {
        CAPTURE(prepaint);
        kivtest::CustomDrawAnswers answers;
        answers.prepaint = prepaint;
        const std::vector<std::string> plain = PlayHeader(false, false, answers, true);
        const std::vector<std::string> skinned = PlayHeader(true, false, answers, true);
        CHECK(kivtest::CountLines(plain, "SysHeader32 id 500 code -12 stage 0x1") > 0);
        CHECK(kivtest::SamePlay(plain, skinned));
    }
    // Left to the control: the skin's items.
    {
        Headed headed(true, false, true);
        CKivHeaderCtrl* skin = dynamic_cast<CKivHeaderCtrl*>(CKivWnd::FromHandle(headed.header));
        REQUIRE(skin != nullptr);
        kivtest::Settle(headed.host.Window());
        CHECK(skin->ShowsSkin());
        const RECT name = headed.Item(0);
        const COLORREF face = kivtest::ScreenPixel(headed.header, name.right - 12, (name.top + name.bottom) / 2);
        CHECK(kivtest::Contrast(face, CKivCommonLook::Flattened(CKivCommonLook::Current().face).average) < 1.1);
        CHECK(kivtest::BestContrastIn(headed.header, RECT{name.left + 2, name.top + 2, name.left + 50, name.bottom - 2},
                                      face) >= 4.5);
    }
    // A host that draws with the control: the control's own look.
    Headed headed(true, false, true);
    CommonHost::Answers().prepaint = CDRF_NOTIFYITEMDRAW;
    InvalidateRect(headed.header, nullptr, TRUE);
    kivtest::Settle(headed.host.Window());
    CKivHeaderCtrl* skin = dynamic_cast<CKivHeaderCtrl*>(CKivWnd::FromHandle(headed.header));
    REQUIRE(skin != nullptr);
    CHECK_FALSE(skin->ShowsSkin());
    CommonHost::Answers() = kivtest::CustomDrawAnswers();
}

TEST_CASE("header: the skin's items, readable texts and sort arrows, with both shipped skins")
{
    for (const wchar_t* skin : {L"default.kiv", L"dark.kiv"})
    {
        CAPTURE(std::string(skin, skin + wcslen(skin)));
        REQUIRE(kivtest::LoadShippedSkin(skin));
        const CKivCommonLook& look = CKivCommonLook::Current();
        for (bool ofList : {false, true})
        {
            CAPTURE(ofList);
            Headed headed(true, ofList);
            const HWND header = headed.header;
            CKivHeaderCtrl* skinObject = dynamic_cast<CKivHeaderCtrl*>(CKivWnd::FromHandle(header));
            REQUIRE(skinObject != nullptr);
            CHECK(skinObject->ShowsSkin());
            const std::vector<COLORREF> unsorted = kivtest::ScreenBox(header, headed.Item(1));
            HDITEMW sorted = {};
            sorted.mask = HDI_FORMAT;
            sorted.fmt = HDF_STRING | HDF_SORTUP;
            SendMessageW(header, HDM_SETITEMW, 1, reinterpret_cast<LPARAM>(&sorted));
            kivtest::Settle(headed.host.Window());
            const RECT name = headed.Item(0);
            const int middle = (name.top + name.bottom) / 2;
            const COLORREF face = kivtest::ScreenPixel(header, name.right - 12, middle);
            CHECK(kivtest::Contrast(face, CKivCommonLook::Flattened(look.face).average) < 1.1);
            if (look.face.luminance < 0.2)
                CHECK(kivtest::Contrast(face, RGB(255, 255, 255)) > 4.5);
            // The text reads on the face.
            CHECK(kivtest::BestContrastIn(header, RECT{name.left + 2, name.top + 2, name.left + 50, name.bottom - 2}, face) >=
                  4.5);
            // The second item now shows a sort arrow: a small triangle of
            // pixels that read on the face appeared.
            const std::vector<COLORREF> withArrow = kivtest::ScreenBox(header, headed.Item(1));
            REQUIRE(withArrow.size() == unsorted.size());
            int arrow = 0;
            for (size_t i = 0; i < withArrow.size(); ++i)
                arrow += withArrow[i] != unsorted[i] && kivtest::Contrast(withArrow[i], face) > 2.0 ? 1 : 0;
            CHECK(arrow >= 6);
            // Beside the items: the bar.
            RECT client = {};
            GetClientRect(header, &client);
            const RECT last = headed.Item(2);
            if (last.right + 4 < client.right)
                CHECK(kivtest::Contrast(kivtest::ScreenPixel(header, client.right - 2, middle), look.bar.average) < 1.2);
        }
    }
}

TEST_CASE("header: a host that colours an item's text keeps its colour")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Headed headed(true, false);
    CommonHost::Answers().prepaint = CDRF_NOTIFYITEMDRAW;
    CommonHost::Answers().itemText = RGB(255, 0, 0);
    kivtest::Settle(headed.header);
    int red = 0;
    for (COLORREF pixel : kivtest::ScreenBox(headed.header, headed.Item(0)))
        red += GetRValue(pixel) > 150 && GetGValue(pixel) < 90 && GetBValue(pixel) < 90 ? 1 : 0;
    CHECK(red > 5);
    CommonHost::Answers() = kivtest::CustomDrawAnswers();
}

TEST_CASE("header: a skinned header repaints without holding GDI objects")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Headed headed(true, true);
    int step = 0;
    auto repaint = [&] {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        item.fmt = HDF_STRING | ((step++ % 2) ? HDF_SORTUP : HDF_SORTDOWN);
        SendMessageW(headed.header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        kivtest::Settle(headed.host.Window());
    };
    kivtest::CheckRepaintsHoldNoGdi(repaint, 60);
}
