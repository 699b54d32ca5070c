#include "KivCommonHost.h"
#include "CKivClientDC.h"
#include "CKivCompatibleDC.h"
#include "CKivSelectObject.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include "CKivEngine.h"
#include "CKivSkinStore.h"
#include "CKivGdiObject.h"
#include "KivGdiLeakOracle.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <doctest.h>

namespace kivtest {

namespace {

const wchar_t* const kClassW = L"KivCommonHostW";
const char* const kClassA = "KivCommonHostA";
const wchar_t* const kPanelClass = L"KivCommonPanel";
const COLORREF kOwnerDrawn = RGB(200, 0, 200);

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string Hex(unsigned long value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%lx", value);
    return text;
}

double Linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(COLORREF c)
{
    return 0.2126 * Linear(GetRValue(c)) + 0.7152 * Linear(GetGValue(c)) + 0.0722 * Linear(GetBValue(c));
}

}  // namespace

std::vector<std::string>& CommonHost::Heard()
{
    static std::vector<std::string> heard;
    return heard;
}

CustomDrawAnswers& CommonHost::Answers()
{
    static CustomDrawAnswers answers;
    return answers;
}

LRESULT CommonHost::Listen(HWND, UINT message, WPARAM wParam, LPARAM lParam, bool* handled)
{
    *handled = false;
    switch (message)
    {
    case WM_NOTIFY:
    {
        const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
        std::string line = "WM_NOTIFY " + ClassOf(header.hwndFrom) + " id " + std::to_string(header.idFrom) +
                           " code " + std::to_string(static_cast<int>(header.code));
        if (header.code != static_cast<UINT>(NM_CUSTOMDRAW))
        {
            Heard().push_back(line);
            return 0;
        }
        NMCUSTOMDRAW& draw = *reinterpret_cast<NMCUSTOMDRAW*>(lParam);
        line += " stage " + Hex(draw.dwDrawStage);
        if (draw.dwDrawStage & CDDS_ITEM)
            line += " item " + std::to_string(static_cast<long long>(draw.dwItemSpec));
        Heard().push_back(line);
        *handled = true;
        const CustomDrawAnswers& answers = Answers();
        if (draw.dwDrawStage == CDDS_PREPAINT)
            return answers.prepaint;
        if (draw.dwDrawStage == CDDS_ITEMPREPAINT)
        {
            if (answers.itemText != CLR_NONE)
            {
                SetTextColor(draw.hdc, answers.itemText);
                if (ClassOf(header.hwndFrom) == TOOLBARCLASSNAMEA)
                    reinterpret_cast<NMTBCUSTOMDRAW&>(draw).clrText = answers.itemText;
            }
            return answers.itemPrepaint;
        }
        return 0;
    }
    case WM_DRAWITEM:
    {
        const DRAWITEMSTRUCT& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        Heard().push_back("WM_DRAWITEM id " + std::to_string(wParam) + " item " + std::to_string(item.itemID));
        // Drawn in a colour no skin uses, so tests see it kept.
        const CKivBrush brush(CreateSolidBrush(kOwnerDrawn));
        FillRect(item.hDC, &item.rcItem, brush);
        *handled = true;
        return TRUE;
    }
    case WM_COMMAND:
        if (lParam != 0)
            Heard().push_back("WM_COMMAND id " + std::to_string(LOWORD(wParam)) + " code " +
                              std::to_string(HIWORD(wParam)));
        return 0;
    default: return 0;
    }
}

template <bool Unicode>
LRESULT CALLBACK CommonHost::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool handled = false;
    const LRESULT answer = Listen(window, message, wParam, lParam, &handled);
    if (handled)
        return answer;
    return Unicode ? DefWindowProcW(window, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

HWND CommonHost::Panel(int x, int y, int width, int height)
{
    const HWND panel = CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width,
                                       height, m_window, nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpPending();
    return panel;
}

CommonHost::CommonHost(bool skinned, int width, int height, bool unicode) : m_skinned(skinned)
{
    static bool registered = false;
    if (!registered)
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        auto registerWide = [](const wchar_t* name, int background) {
            WNDCLASSW w = {};
            w.lpfnWndProc = Proc<true>;
            w.hInstance = GetModuleHandleW(nullptr);
            w.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            w.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
            w.lpszClassName = name;
            RegisterClassW(&w);
        };
        registerWide(kClassW, COLOR_BTNFACE);
        registerWide(kPanelClass, COLOR_WINDOW);
        WNDCLASSA a = {};
        a.lpfnWndProc = Proc<false>;
        a.hInstance = GetModuleHandleW(nullptr);
        a.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        a.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        a.lpszClassName = kClassA;
        RegisterClassA(&a);
        registered = true;
    }
    Clear();
    Answers() = CustomDrawAnswers();
    if (m_skinned)
        CKivEngine::Instance().Run();
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
    m_window = unicode ? CreateWindowExW(0, kClassW, L"common controls", style, 30, 30, width, height, nullptr, nullptr,
                                         GetModuleHandleW(nullptr), nullptr)
                       : CreateWindowExA(0, kClassA, "common controls", style, 30, 30, width, height, nullptr, nullptr,
                                         GetModuleHandleW(nullptr), nullptr);
    if (m_skinned)
        CKivEngine::Instance().Stop();
    SetForegroundWindow(m_window);
    PumpPending();
}

CommonHost::~CommonHost()
{
    DestroyWindow(m_window);
    PumpPending();
}

HWND CommonHost::Control(const wchar_t* className, DWORD style, int x, int y, int width, int height, int id,
                         HWND parent, DWORD exStyle, const wchar_t* text, void* param)
{
    if (m_skinned)
        CKivEngine::Instance().Run();
    const HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                         parent ? parent : m_window,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                         param);
    if (m_skinned)
        CKivEngine::Instance().Stop();
    PumpPending();
    return control;
}

StepRun SendStep(UINT message, WPARAM wParam, LPARAM lParam)
{
    return [=](HWND control, std::string&) { return SendMessageW(control, message, wParam, lParam); };
}

RECT AskRect(HWND control, UINT message, WPARAM item)
{
    RECT r = {};
    SendMessageW(control, message, item, reinterpret_cast<LPARAM>(&r));
    return r;
}

StepRun RectStep(UINT message, WPARAM item)
{
    return [=](HWND control, std::string& out) {
        RECT r = {};
        const LRESULT answer = SendMessageW(control, message, item, reinterpret_cast<LPARAM>(&r));
        out = std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
              std::to_string(r.bottom);
        return answer;
    };
}

int CountLines(const std::vector<std::string>& lines, const std::string& part)
{
    int count = 0;
    for (const std::string& line : lines)
        count += line.find(part) != std::string::npos ? 1 : 0;
    return count;
}

void CheckRepaintsHoldNoGdi(const std::function<void()>& repaint, int rounds)
{
    for (int i = 0; i < 5; ++i)
        repaint();
    GdiLeakOracle oracle;
    REQUIRE(oracle.LiveObjects() > 0);
    const long ours = CKivGdiObjectCount::Live();
    const long process = oracle.LiveObjects();
    for (int i = 0; i < rounds; ++i)
        repaint();
    CHECK(CKivGdiObjectCount::Live() == ours);
    CHECK(oracle.LiveObjects() == process);
}

std::vector<std::string> PlayScript(HWND control, const std::vector<ScriptStep>& steps)
{
    std::vector<std::string> lines;
    for (const ScriptStep& step : steps)
    {
        CommonHost::Clear();
        std::string text;
        const LRESULT answer = step.run(control, text);
        UpdateWindow(control);
        PumpPending();
        lines.push_back(std::string(step.name) + " -> " + std::to_string(static_cast<long long>(answer)) +
                        (text.empty() ? "" : " " + text));
        for (const std::string& heard : CommonHost::Heard())
            lines.push_back("  " + heard);
    }
    CommonHost::Clear();
    return lines;
}

bool SamePlay(const std::vector<std::string>& plain, const std::vector<std::string>& skinned)
{
    bool same = plain.size() == skinned.size();
    for (size_t i = 0; i < plain.size() || i < skinned.size(); ++i)
    {
        const std::string a = i < plain.size() ? plain[i] : "(nothing)";
        const std::string b = i < skinned.size() ? skinned[i] : "(nothing)";
        if (a != b)
        {
            same = false;
            MESSAGE("line " << i << ": plain \"" << a << "\", skinned \"" << b << "\"");
        }
    }
    return same;
}

void AddToolButtons(HWND bar, bool withText, int firstCommand)
{
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    TBADDBITMAP bitmaps = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    SendMessageW(bar, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&bitmaps));
    static const wchar_t* const names[] = {L"New", L"Open", L"Save", L"", L"Cut", L"Copy", L"Find"};
    const int images[] = {STD_FILENEW, STD_FILEOPEN, STD_FILESAVE, 0, STD_CUT, STD_COPY, STD_FIND};
    TBBUTTON buttons[7] = {};
    for (int i = 0; i < 7; ++i)
    {
        buttons[i].iBitmap = images[i];
        buttons[i].idCommand = firstCommand + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = i == 3 ? BTNS_SEP : BTNS_BUTTON;
        buttons[i].iString = withText && i != 3 ? reinterpret_cast<INT_PTR>(names[i]) : -1;
    }
    buttons[2].fsStyle = BTNS_CHECK;
    buttons[2].fsState |= TBSTATE_CHECKED;
    buttons[5].fsState = 0;
    buttons[6].fsStyle = BTNS_DROPDOWN;
    SendMessageW(bar, TB_ADDBUTTONSW, 7, reinterpret_cast<LPARAM>(buttons));
    SendMessageW(bar, TB_AUTOSIZE, 0, 0);
}

void AddReportColumns(HWND list, const wchar_t* third, int firstWidth)
{
    const wchar_t* columns[] = {L"Name", L"Size", third};
    for (int i = 0; i < 3; ++i)
    {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = i == 0 ? firstWidth : 100;
        column.pszText = const_cast<wchar_t*>(columns[i]);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

bool LoadShippedSkin(const wchar_t* fileName)
{
    const std::wstring path = BinaryDir() + L"\\" + fileName;
    return CKivSkinStore::LoadSkin(path.c_str()) && CKivSkinStore::Atlas() != nullptr;
}

void Settle(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
}

std::wstring ScreenshotFolder()
{
    wchar_t folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"KIV_SCREENSHOTS", folder, MAX_PATH))
        return BinaryDir();
    return folder;
}

bool SaveScreenOf(HWND window, const std::wstring& file)
{
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    Canvas canvas(bounds.right - bounds.left, bounds.bottom - bounds.top, RGB(0, 0, 0));
    CaptureScreenAt(POINT{bounds.left, bounds.top}, canvas);
    return canvas.Save(file.c_str());
}

COLORREF ScreenPixel(HWND window, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(window, &p);
    const CKivClientDC screen(nullptr);
    return GetPixel(screen, p.x, p.y);
}

std::vector<COLORREF> ScreenBox(HWND window, const RECT& box)
{
    std::vector<COLORREF> pixels;
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    if (width <= 0 || height <= 0)
        return pixels;
    POINT origin = {box.left, box.top};
    ClientToScreen(window, &origin);
    const CKivClientDC screen(nullptr);
    const CKivCompatibleDC memory(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const CKivBitmap bitmap(CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr)
        return pixels;
    const CKivSelectObject selected(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const DWORD* raw = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width * height; ++i)
        pixels.push_back(RGB((raw[i] >> 16) & 0xFF, (raw[i] >> 8) & 0xFF, raw[i] & 0xFF));
    return pixels;
}

double Contrast(COLORREF a, COLORREF b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double BestContrastIn(HWND window, const RECT& box, COLORREF background)
{
    double best = 1.0;
    for (COLORREF pixel : ScreenBox(window, box))
        best = std::max(best, Contrast(pixel, background));
    return best;
}

}  // namespace kivtest
