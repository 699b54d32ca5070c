// The builder's two panes in process: rows and scrolling of the group box,
// the property list's cells, the colour choice, the inline editor's filter,
// and the generation rule that keeps edits from reaching the next project.
#include <doctest.h>
#include "CKivExmpView.h"
#include "CKivGroupItemBox.h"
#include "CKivMultiListCtrl.h"
#include "KivBuilderMessages.h"
#include "KivTestSupport.h"
#include "test_compiler_support.h"
#include <commctrl.h>
#include <commdlg.h>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

// What the main window would keep: key -> value, from the 1244 messages.
struct ParentRecord
{
    CKivMultiListCtrl* list = nullptr;
    std::map<std::wstring, std::wstring> values;
    std::vector<std::pair<WPARAM, LPARAM>> changes;
    std::vector<std::pair<WPARAM, LPARAM>> selections;
    std::vector<std::pair<WPARAM, LPARAM>> examples;  // start page commands
};
ParentRecord* g_record = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_record && message == WM_KIV_VALUE_CHANGED)
    {
        g_record->changes.emplace_back(wParam, lParam);
        if (const CKivMultiListCtrl::Row* row = g_record->list ? g_record->list->RowOf(wParam, lParam) : nullptr)
            g_record->values[row->key] = row->value;
        return 0;
    }
    if (g_record && message == WM_KIV_ELEMENT_SELECTED)
    {
        g_record->selections.emplace_back(wParam, lParam);
        return 0;
    }
    if (g_record && message == WM_KIV_EXAMPLE_COMMAND)
    {
        g_record->examples.emplace_back(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class Parent
{
public:
    Parent()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &ParentProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KivBuilderPaneTestParent";
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RegisterClassW(&windowClass);
        m_hwnd = CreateWindowExW(0, L"KivBuilderPaneTestParent", L"panes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                 700, 500, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        g_record = &m_record;
    }
    ~Parent()
    {
        g_record = nullptr;
        DestroyWindow(m_hwnd);
    }
    HWND Handle() const { return m_hwnd; }
    ParentRecord& Record() { return m_record; }

private:
    HWND m_hwnd;
    ParentRecord m_record;
};

// The pane drawn off screen through WM_PRINTCLIENT, read back pixel by pixel.
class Picture
{
public:
    explicit Picture(HWND window)
    {
        RECT client = {};
        GetClientRect(window, &client);
        m_width = client.right;
        m_height = client.bottom;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = m_width;
        info.bmiHeader.biHeight = -m_height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_previous = SelectObject(m_dc, m_bitmap);
        m_bits = static_cast<const DWORD*>(bits);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dc), PRF_CLIENT);
        GdiFlush();
    }
    ~Picture()
    {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    COLORREF At(int x, int y) const
    {
        const DWORD pixel = m_bits[static_cast<size_t>(y) * m_width + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

private:
    int m_width = 0;
    int m_height = 0;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    const DWORD* m_bits = nullptr;
};

void Wheel(HWND window, int notches)
{
    for (int i = 0; i < (notches < 0 ? -notches : notches); ++i)
        SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, notches < 0 ? -WHEEL_DELTA : WHEEL_DELTA), 0);
}

// A property list whose colour choice is scripted: it records the colour the
// dialog would start at and answers as told.
class ScriptedList : public CKivMultiListCtrl
{
public:
    bool answer = false;
    COLORREF chosen = 0;
    COLORREF startedAt = 0xDEADBEEF;
    int asked = 0;

protected:
    bool ChooseColour(COLORREF* colour) override
    {
        ++asked;
        startedAt = *colour;
        if (answer)
            *colour = chosen;
        return answer;
    }
};

void Type(HWND edit, const wchar_t* text)
{
    for (; *text; ++text)
        SendMessageW(edit, WM_CHAR, *text, 0);
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

bool PutOnClipboard(HWND owner, const std::wstring& text)
{
    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (memory)
    {
        memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
    }
    CloseClipboard();
    return memory != nullptr;
}

}  // namespace

TEST_CASE("group item box: rows, wheel, scroll message and element reports")
{
    Parent parent;
    CKivGroupItemBox box;
    REQUIRE(box.Create(10, 10, 210, 200, parent.Handle()));
    wchar_t className[64] = {};
    GetClassNameW(box.Window(), className, 64);
    CHECK(std::wstring(className) == L"KivGroupItemBox");
    CHECK(SendMessageW(box.Window(), WM_NCHITTEST, 0, MAKELPARAM(15, 15)) == HTCLIENT);
    for (int i = 0; i < 10; ++i)
        box.AddGroup(L"组" + std::to_wstring(i), L"G" + std::to_wstring(i));
    CHECK(box.AddElement(L"G0", L"元素", L"E0"));
    CHECK(box.AddElement(L"G0", L"元素二", L"E1"));
    CHECK_FALSE(box.AddElement(L"Nope", L"x", L"y"));

    SUBCASE("10 groups in 200 pixels: 7 visible rows, the wheel stops at first row 4")
    {
        CHECK(box.VisibleRowCount() == 7);
        CHECK(box.TotalRows() == 10);
        Wheel(box.Window(), -20);
        CHECK(box.FirstRow() == 4);
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        REQUIRE(GetScrollInfo(box.ScrollBar().Handle(), SB_CTL, &info));
        CHECK(info.nMin == 0);
        CHECK(info.nMax == 11);
        CHECK(info.nPage == 7u);
        CHECK(info.nPos == 4);
        Wheel(box.Window(), 2);
        CHECK(box.FirstRow() == 2);
        Wheel(box.Window(), 20);
        CHECK(box.FirstRow() == 0);
    }
    SUBCASE("message 1234 sets the first row within 0 .. total - visible")
    {
        SendMessageW(box.Window(), WM_KIV_FIRST_ROW, 100, 0);
        CHECK(box.FirstRow() == 3);
        SendMessageW(box.Window(), WM_KIV_FIRST_ROW, 1, 0);
        CHECK(box.FirstRow() == 1);
        // The scroll bar's own arrows reach the pane the same way.
        SendMessageW(box.Window(), WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(box.ScrollBar().Handle()));
        CHECK(box.FirstRow() == 2);
    }
    SUBCASE("a group row toggles; an element row is reported only once notify is on")
    {
        box.ClickRow(0);
        CHECK(box.TotalRows() == 12);
        CHECK(box.Groups()[0].expanded);
        box.ClickRow(2);  // the second element of the first group
        kivtest::PumpPending();
        CHECK(parent.Record().selections.empty());
        box.SetNotify(true);
        box.ClickRow(2);
        REQUIRE(kivtest::PumpUntil([&] { return !parent.Record().selections.empty(); }));
        const auto selection = parent.Record().selections.back();
        const CKivGroupItemBox::Group* group = nullptr;
        const CKivGroupItemBox::Element* element = box.ElementOf(selection.first, selection.second, &group);
        REQUIRE(element != nullptr);
        CHECK(element->key == L"E1");
        CHECK(group->key == L"G0");
        // Collapsing while scrolled to the end pulls the first row back.
        SendMessageW(box.Window(), WM_KIV_FIRST_ROW, 100, 0);
        CHECK(box.FirstRow() == 5);
        box.ClickRow(0);
        CHECK(box.TotalRows() == 10);
        CHECK(box.FirstRow() == 4);
        // After Clear the old report names nothing.
        box.Clear();
        box.AddGroup(L"new", L"G0");
        box.AddElement(L"G0", L"a", L"E0");
        box.AddElement(L"G0", L"b", L"E1");
        CHECK(box.ElementOf(selection.first, selection.second) == nullptr);
    }
    SUBCASE("a click on a row through the mouse selects it and takes the focus")
    {
        box.SetNotify(true);
        box.ClickRow(0);
        const int y = CKivPaneBase::kTitleHeight + CKivPaneBase::kRowHeight + 10;  // second row
        SendMessageW(box.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, y));
        CHECK(GetFocus() == box.Window());
        REQUIRE(kivtest::PumpUntil([&] { return !parent.Record().selections.empty(); }));
        Picture picture(box.Window());
        CHECK(picture.At(100, y) == RGB(112, 112, 112));  // selected element
        CHECK(picture.At(100, CKivPaneBase::kTitleHeight + 10) == RGB(176, 176, 176));  // expanded group
        CHECK(picture.At(100, CKivPaneBase::kTitleHeight + 2 * CKivPaneBase::kRowHeight + 10) == RGB(80, 80, 80));
        CHECK(picture.At(100, CKivPaneBase::kTitleHeight + 3 * CKivPaneBase::kRowHeight + 10) == RGB(200, 200, 200));
        CHECK(picture.At(100, 5) == RGB(255, 138, 0));  // focused title
    }
}

TEST_CASE("property list: colour rows, the colour choice, long values")
{
    Parent parent;
    ScriptedList list;
    parent.Record().list = &list;
    REQUIRE(list.Create(230, 10, 440, 300, parent.Handle()));
    list.AddRow(CKivMultiListCtrl::kHeader, L"名称", 0, L"值", L"");
    list.AddRow(CKivMultiListCtrl::kProperty, L"颜色", 3, L"255", L"A\\B\\Colour");
    list.AddRow(CKivMultiListCtrl::kProperty, L"数字", 1, L"7", L"A\\B\\Number");
    const int colourTop = CKivPaneBase::kTitleHeight + CKivPaneBase::kRowHeight;

    SUBCASE("colour 255 shows as 255, 0, 0 with a red swatch")
    {
        CHECK(CKivMultiListCtrl::ColourText(L"255") == L"255, 0, 0");
        CHECK(CKivMultiListCtrl::ColourText(L"16711680") == L"0, 0, 255");
        Picture picture(list.Window());
        CHECK(picture.At(CKivMultiListCtrl::kNameWidth + 2 + 10, colourTop + 2 + 7) == RGB(255, 0, 0));
        CHECK(picture.At(CKivMultiListCtrl::kNameWidth + 40, colourTop + 3) == RGB(224, 224, 224));
        CHECK(picture.At(20, colourTop - 3) == RGB(160, 160, 160));  // header cell
    }
    SUBCASE("the colour dialog starts at the current colour; cancel keeps the value")
    {
        list.answer = false;
        list.Activate(1);
        CHECK(list.asked == 1);
        CHECK(list.startedAt == RGB(255, 0, 0));
        kivtest::PumpPending();
        CHECK(list.Rows()[1].value == L"255");
        CHECK(parent.Record().changes.empty());
    }
    SUBCASE("a chosen colour becomes the value and is reported")
    {
        list.answer = true;
        list.chosen = RGB(0, 128, 0);
        list.Activate(1);
        CHECK(list.Rows()[1].value == std::to_wstring(RGB(0, 128, 0)));
        REQUIRE(kivtest::PumpUntil([&] { return parent.Record().values.count(L"A\\B\\Colour") != 0; }));
        CHECK(parent.Record().values[L"A\\B\\Colour"] == L"32768");
        Picture picture(list.Window());
        CHECK(picture.At(CKivMultiListCtrl::kNameWidth + 12, colourTop + 9) == RGB(0, 128, 0));
    }
    SUBCASE("values hold 259 characters; a long value shows its end behind ...")
    {
        list.AddRow(CKivMultiListCtrl::kProperty, L"图片", 2, std::wstring(300, L'p'), L"A\\B\\Picture");
        CHECK(list.Rows().back().value.size() == 259);
        HDC dc = GetDC(list.Window());
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        const std::wstring shown = CKivMultiListCtrl::FittedText(dc, L"C:\\skins\\very\\long\\folder\\name\\button.bmp", 80);
        const std::wstring whole = CKivMultiListCtrl::FittedText(dc, L"a.bmp", 80);
        SelectObject(dc, old);
        ReleaseDC(list.Window(), dc);
        CHECK(shown.compare(0, 3, L"...") == 0);
        CHECK(shown.size() < 30);
        CHECK(std::wstring(L"C:\\skins\\very\\long\\folder\\name\\button.bmp").find(shown.substr(3)) != std::wstring::npos);
        CHECK(whole == L"a.bmp");
    }
}

TEST_CASE("the real colour dialog opens at the current colour")
{
    Parent parent;
    CKivMultiListCtrl list;
    parent.Record().list = &list;
    REQUIRE(list.Create(230, 10, 440, 300, parent.Handle()));
    list.AddRow(CKivMultiListCtrl::kProperty, L"颜色", 3, L"255", L"A\\B\\Colour");
    const DWORD process = GetCurrentProcessId();
    for (const UINT button : {IDOK, IDCANCEL})
    {
        // The dialog is modal: a helper thread answers it once it shows.
        std::atomic<bool> answered(false);
        std::thread answer([&] {
            for (int i = 0; i < 500 && !answered; ++i)
            {
                HWND dialog = FindWindowW(L"#32770", nullptr);
                DWORD owner = 0;
                if (dialog)
                    GetWindowThreadProcessId(dialog, &owner);
                if (dialog && owner == process && IsWindowVisible(dialog))
                {
                    PostMessageW(dialog, WM_COMMAND, button, 0);
                    answered = true;
                }
                else
                    Sleep(20);
            }
        });
        list.Activate(0);
        answered = true;
        answer.join();
        // OK on an untouched dialog returns its start colour: red, not black.
        CHECK(list.Rows()[0].value == L"255");
    }
}

TEST_CASE("inline editor: digits that fit 32 bits, typed or pasted; Enter and Escape")
{
    Parent parent;
    CKivMultiListCtrl list;
    parent.Record().list = &list;
    REQUIRE(list.Create(230, 10, 440, 300, parent.Handle()));
    list.AddRow(CKivMultiListCtrl::kProperty, L"数字", 1, L"", L"A\\B\\Number");
    list.Activate(0);
    HWND edit = list.EditorWindow();
    REQUIRE(edit != nullptr);
    wchar_t className[16] = {};
    GetClassNameW(edit, className, 16);
    CHECK(std::wstring(className) == L"Edit");
    CHECK(IsWindowVisible(edit));
    CHECK(GetFocus() == edit);

    SUBCASE("typing")
    {
        Type(edit, L"1a2-3 ");
        CHECK(TextOf(edit) == L"123");
        SendMessageW(edit, WM_CHAR, VK_BACK, 0);
        CHECK(TextOf(edit) == L"12");
        SendMessageW(edit, EM_SETSEL, 0, -1);
        Type(edit, L"2147483647");
        CHECK(TextOf(edit) == L"2147483647");
        Type(edit, L"0");
        CHECK(TextOf(edit) == L"2147483647");
        SendMessageW(edit, EM_SETSEL, 0, -1);
        Type(edit, L"2147483648");
        CHECK(TextOf(edit) == L"214748364");
    }
    SUBCASE("paste goes through the same filter")
    {
        REQUIRE(PutOnClipboard(parent.Handle(), L"12a"));
        SendMessageW(edit, WM_PASTE, 0, 0);
        CHECK(TextOf(edit) == L"");
        REQUIRE(PutOnClipboard(parent.Handle(), L"456"));
        SendMessageW(edit, WM_PASTE, 0, 0);
        CHECK(TextOf(edit) == L"456");
        SendMessageW(edit, WM_CHAR, 0x16, 0);  // Ctrl+V
        CHECK(TextOf(edit) == L"456456");
        REQUIRE(PutOnClipboard(parent.Handle(), L"99999"));
        SendMessageW(edit, WM_PASTE, 0, 0);
        CHECK(TextOf(edit) == L"456456");
    }
    SUBCASE("Enter hands the focus back and commits")
    {
        Type(edit, L"42");
        SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        SendMessageW(edit, WM_CHAR, L'\r', 0);
        SendMessageW(edit, WM_KEYUP, VK_RETURN, 0);
        CHECK(GetFocus() == list.Window());
        CHECK_FALSE(IsWindowVisible(edit));
        CHECK(list.Rows()[0].value == L"42");
        REQUIRE(kivtest::PumpUntil([&] { return parent.Record().values.count(L"A\\B\\Number") != 0; }));
        CHECK(parent.Record().values[L"A\\B\\Number"] == L"42");
    }
    SUBCASE("Escape restores the text the edit started with")
    {
        Type(edit, L"5");
        SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
        SendMessageW(edit, WM_KEYUP, VK_ESCAPE, 0);
        CHECK(GetFocus() == list.Window());
        CHECK(list.Rows()[0].value == L"");
    }
    SUBCASE("asking for a dialog key keeps Enter in the editor")
    {
        MSG message = {};
        message.hwnd = edit;
        message.message = WM_KEYDOWN;
        message.wParam = VK_RETURN;
        CHECK((SendMessageW(edit, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&message)) & DLGC_WANTALLKEYS) != 0);
    }
}

TEST_CASE("clearing the rows while editing commits into the old rows and leaves no stale item")
{
    Parent parent;
    CKivMultiListCtrl list;
    parent.Record().list = &list;
    REQUIRE(list.Create(230, 10, 440, 300, parent.Handle()));
    list.AddRow(CKivMultiListCtrl::kProperty, L"数字", 1, L"1", L"Old\\Project\\Key");
    const DWORD oldGeneration = list.Generation();
    list.Activate(0);
    SendMessageW(list.EditorWindow(), EM_SETSEL, 0, -1);
    Type(list.EditorWindow(), L"77");

    list.ClearRows();
    // The commit was sent before the rows went: the old project has the value.
    REQUIRE(parent.Record().changes.size() == 1);
    CHECK(parent.Record().changes[0].second == static_cast<LPARAM>(oldGeneration));
    CHECK(parent.Record().values[L"Old\\Project\\Key"] == L"77");
    CHECK_FALSE(IsWindowVisible(list.EditorWindow()));
    CHECK(list.EditingRow() == -1);
    CHECK(list.Generation() != oldGeneration);

    // The next project's rows: nothing of the old edit reaches them.
    list.AddRow(CKivMultiListCtrl::kProperty, L"数字", 1, L"5", L"New\\Project\\Key");
    SetFocus(parent.Handle());
    kivtest::PumpPending();
    CHECK(list.RowOf(0, static_cast<LPARAM>(oldGeneration)) == nullptr);
    CHECK(list.Rows()[0].value == L"5");
    CHECK(parent.Record().values.count(L"New\\Project\\Key") == 0);
    CHECK(parent.Record().changes.size() == 1);
}

TEST_CASE("the wait clip written by the build plays in the animation control")
{
    const std::wstring clip = kivtest::BinaryDir() + L"\\media\\Wait.avi";
    const std::vector<unsigned char> bytes = kivtest::ReadFileBytes(clip);
    REQUIRE(bytes.size() > 12);
    CHECK(std::string(bytes.begin(), bytes.begin() + 4) == "RIFF");
    CHECK(std::string(bytes.begin() + 8, bytes.begin() + 12) == "AVI ");

    Parent parent;
    HWND animation = CreateWindowExW(0, ANIMATE_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, parent.Handle(),
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    REQUIRE(animation != nullptr);
    REQUIRE(SendMessageW(animation, ACM_OPENW, 0, reinterpret_cast<LPARAM>(clip.c_str())) != FALSE);
    // Frame 0 shown still: some pixel of the ring is the clip's orange.
    CHECK(SendMessageW(animation, ACM_PLAY, 1, MAKELPARAM(0, 0)) != FALSE);
    kivtest::PumpPending();
    RedrawWindow(animation, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(animation);
    bool orange = false;
    for (int y = 0; y < 64 && !orange; ++y)
        for (int x = 0; x < 64 && !orange; ++x)
            orange = GetPixel(dc, x, y) == RGB(255, 138, 0);
    ReleaseDC(animation, dc);
    CHECK(orange);
    DestroyWindow(animation);
}

namespace {

// Pixels of a rectangle of the picture that are reddish, as missing-file text is.
int RedPixels(const Picture& picture, const RECT& rect)
{
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
        {
            const COLORREF c = picture.At(x, y);
            count += GetRValue(c) > 150 && GetGValue(c) < 90 && GetBValue(c) < 90;
        }
    return count;
}

// Pixels of a rectangle darker than the given level: drawn text.
int DarkPixels(const Picture& picture, const RECT& rect, int level)
{
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
        {
            const COLORREF c = picture.At(x, y);
            count += GetRValue(c) < level && GetGValue(c) < level && GetBValue(c) < level;
        }
    return count;
}

// A modal dialog of this thread, answered from a timer of this thread while
// the dialog's own loop runs: what it showed, then Cancel.
struct DialogWatch
{
    std::wstring folder;
    bool seen = false;
};
DialogWatch* g_watch = nullptr;

void CALLBACK WatchDialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = FindWindowW(L"#32770", nullptr);
    DWORD owner = 0;
    if (dialog)
        GetWindowThreadProcessId(dialog, &owner);
    if (g_watch == nullptr || g_watch->seen || !dialog || owner != GetCurrentProcessId() || !IsWindowVisible(dialog))
        return;
    wchar_t folder[MAX_PATH] = {};
    if (SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder)) <= 0)
        return;
    g_watch->folder = folder;
    g_watch->seen = true;
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

std::wstring Lower(std::wstring text)
{
    CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

TEST_CASE("a switch row takes only 0 or 1, typed or pasted; other numbers keep taking any 32-bit decimal")
{
    using Box = CKivMultiListCtrl::CKivEditBox;
    CHECK(Box::Accepts(L"", 0, 0, L"1", true));
    CHECK(Box::Accepts(L"1", 0, 1, L"0", true));
    CHECK(Box::Accepts(L"1", 0, 1, L"", true));
    CHECK_FALSE(Box::Accepts(L"1", 0, 1, L"2", true));
    CHECK_FALSE(Box::Accepts(L"1", 1, 1, L"0", true));
    CHECK_FALSE(Box::Accepts(L"", 0, 0, L"10", true));
    CHECK(Box::Accepts(L"1", 1, 1, L"0", false));

    Parent parent;
    CKivMultiListCtrl list;
    parent.Record().list = &list;
    REQUIRE(list.Create(230, 10, 440, 300, parent.Handle()));
    list.AddRow(CKivMultiListCtrl::kProperty, L"允许调整大小(0/1)", 1, L"1", L"WindowEdge\\Edge\\EnableSizeCtl");
    list.AddRow(CKivMultiListCtrl::kProperty, L"高度", 1, L"1", L"WindowEdge\\CaptionBar\\Height");
    CHECK(list.Rows()[0].isSwitch);
    CHECK_FALSE(list.Rows()[1].isSwitch);
    for (int row = 0; row < 2; ++row)
    {
        list.Activate(row);
        HWND edit = list.EditorWindow();
        REQUIRE(IsWindowVisible(edit));
        Type(edit, L"2");
        Type(edit, L"0");
        Type(edit, L"5");
        REQUIRE(PutOnClipboard(parent.Handle(), L"7"));
        SendMessageW(edit, WM_PASTE, 0, 0);
        CHECK(TextOf(edit) == (row == 0 ? L"0" : L"2057"));
        list.CommitEdit();
    }
}

TEST_CASE("picture rows show a thumbnail and the picture's size, or that the file is missing")
{
    kivtest::TempDir dir;
    REQUIRE(kivcompiler::WriteBmp(dir.File(L"green.bmp"), 48, 26, [](int, int) { return RGB(0, 200, 0); }));
    Parent parent;
    CKivMultiListCtrl list;
    parent.Record().list = &list;
    REQUIRE(list.Create(230, 10, 440, 300, parent.Handle()));
    list.AddRow(CKivMultiListCtrl::kHeader, L"名称", 0, L"值", L"");
    list.AddRow(CKivMultiListCtrl::kProperty, L"背景图片", 2, L"green.bmp", L"A\\B\\Green");
    list.AddRow(CKivMultiListCtrl::kProperty, L"按钮图片", 2, L"gone.bmp", L"A\\B\\Gone");
    SIZE size = {0, 0};
    CHECK_FALSE(list.PictureSize(1, &size));  // nowhere to look yet
    list.SetPictures(dir.Path(), [&](const std::wstring& stored) {
        const std::wstring path = dir.File(stored);
        return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : path;
    });
    REQUIRE(list.PictureSize(1, &size));
    CHECK(size.cx == 48);
    CHECK(size.cy == 26);
    CHECK_FALSE(list.PictureSize(2, &size));

    const int green = CKivPaneBase::kTitleHeight + CKivPaneBase::kRowHeight;
    const int gone = green + CKivPaneBase::kRowHeight;
    const int cell = CKivMultiListCtrl::kNameWidth;
    {
        Picture picture(list.Window());
        CHECK(picture.At(cell + 3 + 10, green + 12) == RGB(0, 200, 0));  // the thumbnail
        CHECK(RedPixels(picture, RECT{cell, green + 1, cell + 200, green + 25}) == 0);
        CHECK(RedPixels(picture, RECT{cell, gone + 1, cell + 200, gone + 25}) > 20);  // "找不到文件" in red
        CHECK(picture.At(cell + 3 + 10, gone + 12) != RGB(0, 200, 0));
    }
    // A shown value is what the project holds, not a change; a chosen one is.
    list.ShowValue(2, L"green.bmp");
    CHECK_FALSE(list.Rows()[2].changed);
    REQUIRE(list.PictureSize(2, &size));
    {
        Picture picture(list.Window());
        CHECK(RedPixels(picture, RECT{cell, gone + 1, cell + 200, gone + 25}) == 0);
    }
    kivtest::PumpPending();
    CHECK(parent.Record().changes.empty());
}

TEST_CASE("the real picture dialog opens in the folder of the current picture, else in the project's")
{
    kivtest::TempDir dir;
    const std::wstring pictures = dir.File(L"pictures");
    REQUIRE(CreateDirectoryW(pictures.c_str(), nullptr));
    REQUIRE(kivcompiler::WriteBmp(pictures + L"\\a.bmp", 4, 4, kivcompiler::Pattern(1)));
    Parent parent;
    CKivMultiListCtrl list;
    parent.Record().list = &list;
    REQUIRE(list.Create(230, 10, 440, 300, parent.Handle()));
    list.AddRow(CKivMultiListCtrl::kProperty, L"图片", 2, L"pictures\\a.bmp", L"A\\B\\Here");
    list.AddRow(CKivMultiListCtrl::kProperty, L"图片", 2, L"", L"A\\B\\Empty");
    list.SetPictures(dir.Path(), [&](const std::wstring& stored) {
        const std::wstring path = dir.File(stored);
        return stored.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : path;
    });
    CHECK(list.PictureFolder(0) == pictures);
    CHECK(list.PictureFolder(1) == dir.Path());

    const std::pair<int, std::wstring> expected[] = {{0, pictures}, {1, dir.Path()}};
    for (const auto& row : expected)
    {
        DialogWatch watch;
        g_watch = &watch;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &WatchDialog);
        list.Activate(row.first);
        KillTimer(nullptr, timer);
        g_watch = nullptr;
        REQUIRE(watch.seen);
        CHECK(Lower(watch.folder) == Lower(row.second));
    }
    // Cancelled: the values are as they were.
    CHECK(list.Rows()[0].value == L"pictures\\a.bmp");
    CHECK(list.Rows()[1].value.empty());
}

TEST_CASE("both panes are walked with the keyboard")
{
    Parent parent;
    CKivGroupItemBox box;
    CKivMultiListCtrl list;
    parent.Record().list = &list;
    REQUIRE(box.Create(10, 10, 210, 300, parent.Handle()));
    REQUIRE(list.Create(230, 10, 440, 300, parent.Handle()));
    CHECK((GetWindowLongPtrW(box.Window(), GWL_STYLE) & WS_TABSTOP) != 0);
    CHECK((GetWindowLongPtrW(list.Window(), GWL_STYLE) & WS_TABSTOP) != 0);
    MSG enter = {};
    enter.hwnd = box.Window();
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    for (HWND pane : {box.Window(), list.Window()})
    {
        const LRESULT code = SendMessageW(pane, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter));
        CHECK((code & DLGC_WANTARROWS) != 0);
        CHECK((code & DLGC_WANTMESSAGE) != 0);  // Enter reaches the pane
        CHECK((code & DLGC_WANTTAB) == 0);      // Tab still walks the dialog
    }
    auto key = [](HWND window, UINT vk) { SendMessageW(window, WM_KEYDOWN, vk, 0); };

    box.AddGroup(L"组一", L"G0");
    box.AddGroup(L"组二", L"G1");
    box.AddElement(L"G0", L"甲", L"E0");
    box.AddElement(L"G0", L"乙", L"E1");
    box.SetNotify(true);
    CHECK(box.CursorRow() == -1);
    SetFocus(box.Window());
    CHECK(box.CursorRow() == 0);
    key(box.Window(), VK_RIGHT);  // opens the first group
    CHECK(box.Groups()[0].expanded);
    key(box.Window(), VK_DOWN);
    key(box.Window(), VK_DOWN);
    CHECK(box.CursorRow() == 2);
    key(box.Window(), VK_RETURN);  // selects 乙
    REQUIRE(kivtest::PumpUntil([&] { return !parent.Record().selections.empty(); }));
    const auto selection = parent.Record().selections.back();
    REQUIRE(box.ElementOf(selection.first, selection.second) != nullptr);
    CHECK(box.ElementOf(selection.first, selection.second)->key == L"E1");
    key(box.Window(), VK_LEFT);  // from an element to its group
    CHECK(box.CursorRow() == 0);
    key(box.Window(), VK_LEFT);  // closes it
    CHECK_FALSE(box.Groups()[0].expanded);
    key(box.Window(), VK_END);
    CHECK(box.CursorRow() == 1);
    key(box.Window(), VK_SPACE);
    CHECK(box.Groups()[1].expanded);
    key(box.Window(), VK_UP);
    key(box.Window(), VK_UP);
    CHECK(box.CursorRow() == 0);

    list.AddRow(CKivMultiListCtrl::kHeader, L"名称", 0, L"值", L"");
    for (int i = 0; i < 20; ++i)
        list.AddRow(CKivMultiListCtrl::kProperty, L"数字" + std::to_wstring(i), 1, std::to_wstring(i),
                    L"A\\B\\N" + std::to_wstring(i));
    SetFocus(list.Window());
    CHECK(list.CursorRow() == 1);  // the header holds no keyboard row
    key(list.Window(), VK_UP);
    CHECK(list.CursorRow() == 1);
    key(list.Window(), VK_END);
    CHECK(list.CursorRow() == 20);
    CHECK(list.FirstRow() > 0);  // scrolled into view
    CHECK(list.CursorRow() < list.FirstRow() + list.VisibleRowCount() - 1);
    key(list.Window(), VK_HOME);
    CHECK(list.CursorRow() == 1);
    CHECK(list.FirstRow() == 1);
    key(list.Window(), VK_DOWN);
    key(list.Window(), VK_F2);
    CHECK(list.EditingRow() == 2);
    CHECK(GetFocus() == list.EditorWindow());
    // The Enter that started nothing in the editor does not end the edit on its release.
    SendMessageW(list.EditorWindow(), WM_KEYUP, VK_RETURN, 0);
    CHECK(GetFocus() == list.EditorWindow());
    list.CommitEdit();
    SetFocus(list.Window());
    key(list.Window(), VK_RETURN);
    CHECK(list.EditingRow() == 2);
    list.CommitEdit();
    // Cleared rows take the keyboard row with them.
    list.ClearRows();
    CHECK(list.CursorRow() == -1);
}

TEST_CASE("the start page names each example under its picture and says what the mouse does")
{
    kivtest::TempDir dir;
    REQUIRE(kivcompiler::WriteBmp(dir.File(L"thumb.bmp"), 40, 30, [](int, int) { return RGB(0, 0, 220); }));
    Parent parent;
    CKivExmpView view;
    REQUIRE(view.Create(parent.Handle(), 10, 10));
    view.SetExamples({KivExample{dir.File(L"thumb.bmp"), dir.File(L"a.kiv"), dir.File(L"a.kivproj"), L"蓝色示例"},
                      KivExample{dir.File(L"thumb.bmp"), dir.File(L"b.kiv"), dir.File(L"b.kivproj"), L""}});
    const RECT thumb = view.ThumbRect(0);
    const RECT name = view.NameRect(0);
    CHECK(thumb.top >= CKivExmpView::kHintHeight);
    CHECK(name.top == thumb.bottom);
    CHECK(view.ThumbRect(1).top >= view.NameRect(0).bottom);

    Picture picture(view.Window());
    CHECK(picture.At((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2) == RGB(0, 0, 220));
    CHECK(DarkPixels(picture, name, 100) > 20);                  // the name
    CHECK(DarkPixels(picture, view.NameRect(1), 100) == 0);     // no name, nothing drawn
    CHECK(DarkPixels(picture, RECT{0, 0, CKivExmpView::kScrollX, 22}, 120) > 20);   // first line
    CHECK(DarkPixels(picture, RECT{0, 22, CKivExmpView::kScrollX, 44}, 120) > 20);  // second line
    CHECK(std::wstring(CKivExmpView::kHint[0]).find(L"双击") == 0);
    CHECK(std::wstring(CKivExmpView::kHint[1]).find(L"右键") == 0);

    // The name opens the example as the picture does; the band opens nothing.
    CHECK(view.HitTest(POINT{(name.left + name.right) / 2, (name.top + name.bottom) / 2}) == 0);
    CHECK(view.HitTest(POINT{50, 10}) == -1);
    const POINT onName = {(name.left + name.right) / 2, (name.top + name.bottom) / 2};
    SendMessageW(view.Window(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(onName.x, onName.y));
    REQUIRE(kivtest::PumpUntil([&] { return !parent.Record().examples.empty(); }));
    CHECK(LOWORD(parent.Record().examples[0].first) == 3585);
    CHECK(HIWORD(parent.Record().examples[0].first) == 0);
}
