// The system's common dialogs opened with the engine's hook running and the
// shipped default skin: each shows what it draws itself (the colour
// dialog's swatches, spectrum and luminance bar, the font dialog's sample,
// the file and folder lists, a message box's icon) as it does unskinned,
// and every control in it answers. Set KIV_DIALOG_SHOTS to a folder to keep
// pictures of the colour dialog and a message box there.
#include <doctest.h>
#include "CKivEngine.h"
#include "KivModalVisit.h"
#include "KivTestProcess.h"
#include "KivTestInput.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <commdlg.h>
#include <colordlg.h>
#include <dlgs.h>
#include <shlobj.h>
#include <functional>
#include <string>
#include <vector>

namespace {

bool LoadDefaultSkin()
{
    return CKivEngine::Instance().LoadSkin((kivtest::BinaryDir() + L"\\default.kiv").c_str()) != FALSE;
}

// What one opening of a dialog showed.
struct Seen
{
    bool opened = false;
    int controls = 0;
    int answering = 0;
    std::vector<std::vector<COLORREF>> areas;  // pixels of the dialog's own drawing
    std::vector<int> numbers;                  // counts and sizes read from it
};

BOOL CALLBACK CountControl(HWND child, LPARAM seen)
{
    Seen& s = *reinterpret_cast<Seen*>(seen);
    ++s.controls;
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(child, WM_GETDLGCODE, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) != 0)
        ++s.answering;
    return TRUE;
}

// The pixels a window shows in its client area, row by row.
std::vector<COLORREF> Pixels(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    std::vector<COLORREF> pixels;
    if (client.right <= 0 || client.bottom <= 0)
        return pixels;
    kivtest::Canvas canvas(client.right, client.bottom, 0);
    const HDC dc = GetDC(window);
    BitBlt(canvas.DC(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            pixels.push_back(canvas.Pixel(x, y));
    return pixels;
}

void Shoot(HWND dialog, const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"KIV_DIALOG_SHOTS", folder, MAX_PATH) == 0)
        return;
    RECT r = {};
    GetWindowRect(dialog, &r);
    kivtest::Canvas canvas(r.right - r.left, r.bottom - r.top, 0);
    kivtest::CaptureScreenTo(dialog, canvas);
    canvas.Save((std::wstring(folder) + L"\\" + name + L".bmp").c_str());
}

struct Search
{
    const wchar_t* name;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND child, LPARAM data)
{
    Search& search = *reinterpret_cast<Search*>(data);
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (lstrcmpiW(name, search.name) != 0)
        return TRUE;
    search.found = child;
    return FALSE;
}

HWND FindDescendant(HWND parent, const wchar_t* className)
{
    Search search = {className, nullptr};
    EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Opens a dialog twice, unskinned and with the hook running, and hands back
// what each showed.
void Compare(const std::function<void()>& open, const std::function<void(HWND, Seen&)>& look, Seen (&seen)[2],
             const std::function<void(HWND, int skinned)>& later = nullptr)
{
    CKivEngine& engine = CKivEngine::Instance();
    for (int skinned = 0; skinned < 2; ++skinned)
    {
        if (skinned)
            REQUIRE(engine.Run());
        Seen& s = seen[skinned];
        std::function<void(HWND)> afterwards;
        if (later)
            afterwards = [&](HWND dialog) { later(dialog, skinned); };
        s.opened = kivtest::VisitModal(
            open,
            [&](HWND dialog) {
                EnumChildWindows(dialog, CountControl, reinterpret_cast<LPARAM>(&s));
                look(dialog, s);
            },
            afterwards);
        if (skinned)
            engine.Stop();
        kivtest::PumpPending();
    }
}

// Notes how many items a list or tree of the dialog holds, and whether it
// shows anything.
void NoteView(HWND dialog, const wchar_t* className, UINT countMessage, Seen& s)
{
    const HWND view = FindDescendant(dialog, className);
    REQUIRE(view != nullptr);
    s.numbers.push_back(static_cast<int>(SendMessageW(view, countMessage, 0, 0)));
    const RECT ink = kivtest::InkBounds(view);
    s.numbers.push_back(ink.right > ink.left ? 1 : 0);
}

void CheckAlike(const Seen (&seen)[2])
{
    REQUIRE(seen[0].opened);
    REQUIRE(seen[1].opened);
    CHECK(seen[1].controls == seen[0].controls);
    CHECK(seen[1].answering == seen[1].controls);
    CHECK(seen[1].numbers == seen[0].numbers);
    REQUIRE(seen[1].areas.size() == seen[0].areas.size());
    for (size_t i = 0; i < seen[0].areas.size(); ++i)
    {
        CAPTURE(i);
        CHECK(!seen[0].areas[i].empty());
        CHECK(seen[1].areas[i] == seen[0].areas[i]);
    }
}

}  // namespace

TEST_CASE("the colour dialog shows its swatches, spectrum, luminance bar and sample skinned")
{
    REQUIRE(LoadDefaultSkin());
    COLORREF custom[16] = {};
    for (int i = 0; i < 16; ++i)
        custom[i] = RGB(i * 15, 255 - i * 15, 128);
    Seen seen[2];
    Compare(
        [&] {
            CHOOSECOLORW choose = {};
            choose.lStructSize = sizeof(choose);
            choose.rgbResult = RGB(40, 120, 200);
            choose.lpCustColors = custom;
            choose.Flags = CC_FULLOPEN | CC_RGBINIT;
            ChooseColorW(&choose);
        },
        [&](HWND dialog, Seen& s) {
            for (int id : {COLOR_BOX1, COLOR_CUSTOM1, COLOR_RAINBOW, COLOR_LUMSCROLL, COLOR_CURRENT})
                s.areas.push_back(Pixels(GetDlgItem(dialog, id)));
            const HWND current = GetDlgItem(dialog, COLOR_CURRENT);
            RECT client = {};
            GetClientRect(current, &client);
            const HDC dc = GetDC(current);
            s.numbers.push_back(static_cast<int>(GetPixel(dc, client.right / 4, client.bottom / 2)));
            ReleaseDC(current, dc);
        },
        seen, [](HWND dialog, int skinned) { Shoot(dialog, skinned ? L"colour-skinned" : L"colour-unskinned"); });
    CheckAlike(seen);
    // The sample shows the colour the dialog was opened with, on its left half.
    REQUIRE(seen[1].numbers.size() == 1);
    CHECK(static_cast<COLORREF>(seen[1].numbers[0]) == RGB(40, 120, 200));
}

TEST_CASE("the font dialog shows its sample text skinned")
{
    REQUIRE(LoadDefaultSkin());
    Seen seen[2];
    Compare(
        [&] {
            LOGFONTW font = {};
            font.lfHeight = -16;
            lstrcpyW(font.lfFaceName, L"Tahoma");
            CHOOSEFONTW choose = {};
            choose.lStructSize = sizeof(choose);
            choose.lpLogFont = &font;
            choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
            ChooseFontW(&choose);
        },
        [&](HWND dialog, Seen& s) {
            // The dialog draws the sample itself, where its hidden stc5 lies.
            RECT sample = {};
            GetWindowRect(GetDlgItem(dialog, stc5), &sample);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&sample), 2);
            const RECT ink = kivtest::InkBoundsIn(dialog, sample);
            s.numbers.push_back(ink.right - ink.left);
            s.numbers.push_back(ink.bottom - ink.top);
        },
        seen);
    CheckAlike(seen);
    CHECK(seen[1].numbers[0] > 20);
}

TEST_CASE("the open and save dialogs list the folder's files skinned")
{
    REQUIRE(LoadDefaultSkin());
    const std::wstring folder = kivtest::SourceDir() + L"\\tests";
    for (bool save : {false, true})
    {
        CAPTURE(save);
        Seen seen[2];
        Compare(
            [&] {
                wchar_t file[MAX_PATH] = {};
                OPENFILENAMEW open = {};
                open.lStructSize = sizeof(open);
                open.lpstrFile = file;
                open.nMaxFile = MAX_PATH;
                open.lpstrFilter = L"All files\0*.*\0";
                open.lpstrInitialDir = folder.c_str();
                open.Flags = OFN_EXPLORER;
                if (save)
                    GetSaveFileNameW(&open);
                else
                    GetOpenFileNameW(&open);
            },
            [&](HWND dialog, Seen& s) { NoteView(dialog, L"SysListView32", LVM_GETITEMCOUNT, s); },
            seen);
        CheckAlike(seen);
        CHECK(seen[1].numbers[0] > 10);
        CHECK(seen[1].numbers[1] == 1);
    }
}

TEST_CASE("the print setup dialog opens skinned with every control answering")
{
    REQUIRE(LoadDefaultSkin());
    Seen seen[2];
    Compare(
        [&] {
            PAGESETUPDLGW setup = {};
            setup.lStructSize = sizeof(setup);
            setup.Flags = PSD_DISABLEPRINTER;
            PageSetupDlgW(&setup);
        },
        [&](HWND dialog, Seen& s) {
            // The page picture is the dialog's own drawing.
            const HWND page = GetDlgItem(dialog, rct1);
            if (page != nullptr)
                s.areas.push_back(Pixels(page));
        },
        seen);
    CheckAlike(seen);
}

TEST_CASE("find and replace dialogs work skinned")
{
    REQUIRE(LoadDefaultSkin());
    // The dialogs need an owner; it stays hidden.
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    REQUIRE(owner != nullptr);
    for (bool replace : {false, true})
    {
        CAPTURE(replace);
        Seen seen[2];
        Compare(
            [&] {
                static wchar_t what[64] = L"needle";
                static wchar_t with[64] = L"thread";
                static FINDREPLACEW find = {};
                find = FINDREPLACEW();
                find.lStructSize = sizeof(find);
                find.hwndOwner = owner;
                find.lpstrFindWhat = what;
                find.wFindWhatLen = 64;
                find.lpstrReplaceWith = with;
                find.wReplaceWithLen = 64;
                find.Flags = FR_DOWN;
                // Modeless: run its loop here until it goes.
                const HWND dialog = replace ? ReplaceTextW(&find) : FindTextW(&find);
                if (dialog == nullptr)
                    return;
                MSG message;
                while (IsWindow(dialog) && GetMessageW(&message, nullptr, 0, 0))
                    if (!IsDialogMessageW(dialog, &message))
                    {
                        TranslateMessage(&message);
                        DispatchMessageW(&message);
                    }
            },
            [&](HWND dialog, Seen& s) {
                wchar_t text[64] = {};
                GetDlgItemTextW(dialog, edt1, text, 64);
                s.numbers.push_back(lstrcmpW(text, L"needle") == 0 ? 1 : 0);
                s.numbers.push_back(SendDlgItemMessageW(dialog, rad2, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
            },
            seen);
        CheckAlike(seen);
        CHECK(seen[1].numbers[0] == 1);
    }
    DestroyWindow(owner);
}

TEST_CASE("the browse-for-folder dialog shows its folder tree skinned")
{
    REQUIRE(LoadDefaultSkin());
    CoInitialize(nullptr);
    Seen seen[2];
    Compare(
        [&] {
            BROWSEINFOW browse = {};
            browse.lpszTitle = L"Pick a folder";
            browse.ulFlags = BIF_RETURNONLYFSDIRS;
            if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse))
                CoTaskMemFree(chosen);
        },
        [&](HWND dialog, Seen& s) { NoteView(dialog, L"SysTreeView32", TVM_GETCOUNT, s); },
        seen);
    CheckAlike(seen);
    CHECK(seen[1].numbers[0] > 0);
    CoUninitialize();
}

TEST_CASE("a message box shows its icon and its whole text skinned")
{
    REQUIRE(LoadDefaultSkin());
    Seen seen[2];
    Compare(
        [&] {
            MessageBoxW(nullptr,
                        L"Network error: Connection refused\nThe server at gateway.example did not answer in time.",
                        L"kiv message", MB_OKCANCEL | MB_ICONWARNING);
        },
        [&](HWND dialog, Seen& s) {
            // Wine's message box: the icon static is stc1, the text static 0xFFFF.
            const RECT icon = kivtest::InkBounds(GetDlgItem(dialog, stc1));
            s.numbers.push_back(icon.right - icon.left);
            s.numbers.push_back(icon.bottom - icon.top);
            const RECT text = kivtest::InkBounds(GetDlgItem(dialog, 0xFFFF));
            s.numbers.push_back(text.right - text.left);
            s.numbers.push_back(text.bottom - text.top);
        },
        seen);
    CheckAlike(seen);
    CHECK(seen[1].numbers[0] >= 16);
    CHECK(seen[1].numbers[2] > 100);
}

namespace {

const wchar_t kLongLine[] = L"Network error: Connection refused by gateway.example while sending the report";

}  // namespace

// Run by the next case in a program of its own: shows one message box,
// skinned when asked, until it is answered.
TEST_CASE("message box host" * doctest::skip())
{
    wchar_t skinned[8] = {};
    GetEnvironmentVariableW(L"KIV_MESSAGEBOX_SKINNED", skinned, 8);
    CKivEngine& engine = CKivEngine::Instance();
    if (skinned[0] == L'1')
    {
        REQUIRE(LoadDefaultSkin());
        REQUIRE(engine.Run());
    }
    MessageBoxW(nullptr, kLongLine, L"kiv long line", MB_OKCANCEL | MB_ICONWARNING);
    if (skinned[0] == L'1')
        engine.Stop();
}

TEST_CASE("a message box with a long line shows all of it on screen, seen from another program")
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    RECT text[2] = {};
    for (int skinned = 0; skinned < 2; ++skinned)
    {
        CAPTURE(skinned);
        SetEnvironmentVariableW(L"KIV_MESSAGEBOX_SKINNED", skinned ? L"1" : L"0");
        kivtest::TestProcess host(L"\"" + std::wstring(self) + L"\" --no-skip \"--test-case=message box host\"",
                                  nullptr);
        REQUIRE(host.Started());
        HWND box = nullptr;
        REQUIRE(kivtest::PumpUntil([&] { return (box = FindWindowW(L"#32770", L"kiv long line")) != nullptr; },
                                   20000));
        const HWND label = GetDlgItem(box, 0xFFFF);
        REQUIRE(label != nullptr);
        // Seen from here, on the screen: the text once it is painted.
        REQUIRE(kivtest::PumpUntil(
            [&] {
                RECT client = {};
                GetClientRect(label, &client);
                POINT corner = {0, 0};
                ClientToScreen(label, &corner);
                kivtest::Canvas canvas(client.right, client.bottom, 0);
                kivtest::CaptureScreenAt(corner, canvas);
                const COLORREF background = canvas.Pixel(client.right - 1, client.bottom - 1);
                RECT ink = {client.right, client.bottom, 0, 0};
                for (int y = 0; y < client.bottom; ++y)
                    for (int x = 0; x < client.right; ++x)
                        if (canvas.Pixel(x, y) != background)
                        {
                            ink.left = x < ink.left ? x : ink.left;
                            ink.top = y < ink.top ? y : ink.top;
                            ink.right = x + 1 > ink.right ? x + 1 : ink.right;
                            ink.bottom = y + 1 > ink.bottom ? y + 1 : ink.bottom;
                        }
                text[skinned] = ink;
                return ink.right - ink.left > 100;
            },
            10000));
        Shoot(box, skinned ? L"messagebox-long-skinned" : L"messagebox-long-unskinned");
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        CHECK(host.ExitCode(10000) == 0);
    }
    CHECK(text[1].right - text[1].left == text[0].right - text[0].left);
    CHECK(text[1].bottom - text[1].top == text[0].bottom - text[0].top);
}
