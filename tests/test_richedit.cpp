// Rich edit skin: the same calls give the same answers, notifications and the
// very same document (RTF written out) skinned and unskinned; with the dark
// skin the page is the skin's edit colour and text without a colour of its own
// reads on it, while text the document colours keeps its colour; a host's own
// background turns the recolouring off; the light skin leaves the control as
// it is; the import patch behind it is undone after each paint; and repainting
// holds no GDI objects.
#include <doctest.h>
#include "CKivCommonLook.h"
#include "CKivImportPatch.h"
#include "CKivRichEditCtrl.h"
#include "CKivWnd.h"
#include "KivCommonHost.h"
#include "KivTestSupport.h"
#include <richedit.h>
#include <string>
#include <vector>

using kivtest::CommonHost;
using kivtest::ScriptStep;

namespace {

const int kRichId = 800;
const COLORREF kRed = RGB(220, 0, 0);

// "Plain words WWWW then red RRRR end.": RRRR is coloured by the document.
struct Rich
{
    explicit Rich(bool skinned, const wchar_t* className = L"RichEdit20W") : host(skinned)
    {
        LoadLibraryW(L"riched20.dll");
        LoadLibraryW(L"msftedit.dll");
        rich = host.Control(className, WS_BORDER | ES_MULTILINE, 10, 10, 360, 160, kRichId);
        SendMessageW(rich, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
        SetWindowTextW(rich, L"Plain words WWWW then red RRRR end.");
        ColourRange(26, 30, kRed);
        SendMessageW(rich, EM_SETSEL, 0, 0);
        kivtest::Settle(host.Window());
    }
    void ColourRange(int from, int to, COLORREF colour)
    {
        CHARFORMAT2W format = {};
        format.cbSize = sizeof(format);
        format.dwMask = CFM_COLOR;
        format.crTextColor = colour;
        SendMessageW(rich, EM_SETSEL, from, to);
        SendMessageW(rich, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    // The client box of characters from..to on the first line.
    RECT Chars(int from, int to) const
    {
        POINTL a = {}, b = {};
        SendMessageW(rich, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&a), from);
        SendMessageW(rich, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&b), to);
        return RECT{a.x, a.y, b.x, a.y + 14};
    }
    CommonHost host;
    HWND rich = nullptr;
};

DWORD CALLBACK Collect(DWORD_PTR cookie, LPBYTE bytes, LONG count, LONG* done)
{
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
    *done = count;
    return 0;
}

LRESULT StreamOut(HWND rich, std::string& out)
{
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&out);
    stream.pfnCallback = Collect;
    return SendMessageW(rich, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

std::vector<ScriptStep> RichScript()
{
    auto format = [](WPARAM which) {
        return [=](HWND rich, std::string& out) {
            CHARFORMAT2W cf = {};
            cf.cbSize = sizeof(cf);
            const LRESULT answer = SendMessageW(rich, EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf));
            out = std::to_string(cf.dwMask) + " " + std::to_string(cf.dwEffects) + " " + std::to_string(cf.crTextColor);
            return answer;
        };
    };
    return {
        {"EM_STREAMOUT", [](HWND rich, std::string& out) { return StreamOut(rich, out); }},
        {"EM_GETCHARFORMAT default", format(SCF_DEFAULT)},
        {"EM_SETSEL red", kivtest::SendStep(EM_SETSEL, 27, 28)},
        {"EM_GETCHARFORMAT red", format(SCF_SELECTION)},
        {"EM_SETSEL plain", kivtest::SendStep(EM_SETSEL, 2, 3)},
        {"EM_GETCHARFORMAT plain", format(SCF_SELECTION)},
        {"WM_CHAR", [](HWND rich, std::string&) {
             SetFocus(rich);
             return SendMessageW(rich, WM_CHAR, 'x', 1);
         }},
        {"WM_GETTEXTLENGTH", kivtest::SendStep(WM_GETTEXTLENGTH, 0, 0)},
        {"EM_SETBKGNDCOLOR own", kivtest::SendStep(EM_SETBKGNDCOLOR, 0, RGB(255, 255, 200))},
        {"EM_SETBKGNDCOLOR system", kivtest::SendStep(EM_SETBKGNDCOLOR, 1, 0)},
        {"EM_SETBKGNDCOLOR again", kivtest::SendStep(EM_SETBKGNDCOLOR, 1, 0)},
        {"EM_STREAMOUT after typing", [](HWND rich, std::string& out) { return StreamOut(rich, out); }},
        {"EM_CANUNDO", kivtest::SendStep(EM_CANUNDO, 0, 0)},
        {"EM_GETMODIFY", kivtest::SendStep(EM_GETMODIFY, 0, 0)},
        {"GWL_STYLE", [](HWND rich, std::string&) { return GetWindowLongPtrW(rich, GWL_STYLE); }},
    };
}

std::vector<std::string> PlayRich(bool skinned, const wchar_t* className)
{
    Rich rich(skinned, className);
    CHECK((dynamic_cast<CKivRichEditCtrl*>(CKivWnd::FromHandle(rich.rich)) != nullptr) == skinned);
    return kivtest::PlayScript(rich.rich, RichScript());
}

int Reddish(const std::vector<COLORREF>& pixels)
{
    int red = 0;
    for (COLORREF pixel : pixels)
        red += GetRValue(pixel) > 140 && GetGValue(pixel) < 90 && GetBValue(pixel) < 90 ? 1 : 0;
    return red;
}

}  // namespace

TEST_CASE("rich edit: answers, notifications and the document written out are the same skinned and unskinned")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    for (const wchar_t* className : {L"RichEdit20W", L"RICHEDIT50W"})
    {
        CAPTURE(std::string(className, className + wcslen(className)));
        const std::vector<std::string> plain = PlayRich(false, className);
        const std::vector<std::string> skinned = PlayRich(true, className);
        // The document holds the red run, as a colour table entry.
        REQUIRE(!plain.empty());
        CHECK(plain[0].find("\\red220\\green0\\blue0") != std::string::npos);
        CHECK(kivtest::SamePlay(plain, skinned));
    }
}

TEST_CASE("rich edit: with the dark skin the page is dark, plain text reads and coloured text keeps its colour")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    const CKivCommonLook& look = CKivCommonLook::Current();
    Rich rich(true);
    CKivRichEditCtrl* skin = dynamic_cast<CKivRichEditCtrl*>(CKivWnd::FromHandle(rich.rich));
    REQUIRE(skin != nullptr);
    CHECK(skin->Recolours());
    RECT client = {};
    GetClientRect(rich.rich, &client);
    const COLORREF page = kivtest::ScreenPixel(rich.rich, client.right - 4, client.bottom - 4);
    CHECK(page == look.document.colour);
    CHECK(kivtest::Contrast(page, RGB(255, 255, 255)) > 4.5);
    // "WWWW" has no colour of its own: it reads on the page.
    CHECK(kivtest::BestContrastIn(rich.rich, rich.Chars(12, 16), page) >= 4.5);
    // "RRRR" is the document's red.
    CHECK(Reddish(kivtest::ScreenBox(rich.rich, rich.Chars(26, 30))) > 5);
    CHECK(Reddish(kivtest::ScreenBox(rich.rich, rich.Chars(12, 16))) == 0);
    // Painting again draws the same pixels (nothing piles up on the text).
    const std::vector<COLORREF> once = kivtest::ScreenBox(rich.rich, rich.Chars(0, 16));
    for (int i = 0; i < 3; ++i)
    {
        InvalidateRect(rich.rich, nullptr, FALSE);
        UpdateWindow(rich.rich);
    }
    CHECK(kivtest::ScreenBox(rich.rich, rich.Chars(0, 16)) == once);
    // The document still says nothing about the plain text's colour.
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    SendMessageW(rich.rich, EM_SETSEL, 12, 16);
    SendMessageW(rich.rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    CHECK((format.dwEffects & CFE_AUTOCOLOR) != 0);

    // A host's own background: the control draws as the host asked.
    const COLORREF own = RGB(255, 255, 200);
    SendMessageW(rich.rich, EM_SETBKGNDCOLOR, 0, own);
    SendMessageW(rich.rich, EM_SETSEL, 0, 0);
    kivtest::Settle(rich.rich);
    CHECK_FALSE(skin->Recolours());
    CHECK(kivtest::ScreenPixel(rich.rich, client.right - 4, client.bottom - 4) == own);
    CHECK(kivtest::BestContrastIn(rich.rich, rich.Chars(12, 16), own) >= 4.5);
    // Back to the system's colour: the skin's page again.
    SendMessageW(rich.rich, EM_SETBKGNDCOLOR, 1, 0);
    kivtest::Settle(rich.rich);
    CHECK(skin->Recolours());
    CHECK(kivtest::ScreenPixel(rich.rich, client.right - 4, client.bottom - 4) == look.document.colour);
}

TEST_CASE("rich edit: with the light skin the control keeps the system's colours")
{
    REQUIRE(kivtest::LoadShippedSkin(L"default.kiv"));
    Rich rich(true);
    CKivRichEditCtrl* skin = dynamic_cast<CKivRichEditCtrl*>(CKivWnd::FromHandle(rich.rich));
    REQUIRE(skin != nullptr);
    CHECK_FALSE(skin->Recolours());
    RECT client = {};
    GetClientRect(rich.rich, &client);
    CHECK(kivtest::ScreenPixel(rich.rich, client.right - 4, client.bottom - 4) == GetSysColor(COLOR_WINDOW));
}

namespace {

DWORD WINAPI AlwaysGreen(int)
{
    return RGB(0, 255, 0);
}

}  // namespace

TEST_CASE("an import patch redirects one module's imports only while it lives")
{
    const HMODULE rich = LoadLibraryW(L"riched20.dll");
    REQUIRE(rich != nullptr);
    const FARPROC original = GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSysColor");
    const FARPROC replacement = reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&AlwaysGreen));
    REQUIRE(CKivImportPatch::Imports(rich, original));
    {
        CKivImportPatch patch(rich, original, replacement);
        CHECK(patch.Count() > 0);
        CHECK_FALSE(CKivImportPatch::Imports(rich, original));
        CHECK(CKivImportPatch::Imports(rich, replacement));
        // Our own module's imports are untouched.
        CHECK(GetSysColor(COLOR_WINDOW) != RGB(0, 255, 0));
    }
    CHECK(CKivImportPatch::Imports(rich, original));
    CHECK_FALSE(CKivImportPatch::Imports(rich, replacement));
    // A module that does not import the function is left alone.
    CKivImportPatch none(GetModuleHandleW(L"kernel32.dll"), original, replacement);
    CHECK(none.Count() == 0);
}

TEST_CASE("rich edit: a skinned rich edit repaints without holding GDI objects, and leaves no patch behind")
{
    REQUIRE(kivtest::LoadShippedSkin(L"dark.kiv"));
    Rich rich(true);
    auto repaint = [&] {
        InvalidateRect(rich.rich, nullptr, TRUE);
        kivtest::Settle(rich.rich);
    };
    kivtest::CheckRepaintsHoldNoGdi(repaint, 60);
    const FARPROC original = GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSysColor");
    CHECK(CKivImportPatch::Imports(GetModuleHandleW(L"riched20.dll"), original));
}
