#include "KivControlTestHost.h"
#include <cstring>
#include "CKivEngine.h"
#include "CKivSkinStore.h"
#include "KivSkinSettings.h"
#include "KivTestSupport.h"

namespace kivtest {

void InstallControlSkin()
{
    using namespace controlskin;
    KivSkinSettings& s = CKivSkinStore::Settings();
    memset(&s, 0, sizeof(s));
    s.editControlEnableBorder = 1;
    s.editControlNormalColor = static_cast<int>(kEditNormal);
    s.editControlHotColor = static_cast<int>(kEditHot);
    s.editControlBackgroundColor = static_cast<int>(kEditBackground);
    s.editControlEnableBackgroundColor = 1;
    s.listBoxBorderColor = static_cast<int>(kListBorder);
    s.listBoxBackgroundColor = static_cast<int>(kListBackground);
    s.listBoxSelectItemColor = static_cast<int>(kListSelect);
    s.listBoxVScrollSize = 17;
    s.comboBoxBackgroundColor = static_cast<int>(kComboOutline);
    s.comboBoxButtonColor = static_cast<int>(kComboButton);
    s.comboBoxButtonSelectColor = static_cast<int>(kComboButtonSelect);
    s.comboBoxListBoxBorderColor = static_cast<int>(kListBorder);
    s.comboBoxListBoxBackgroundColor = static_cast<int>(kComboListBackground);
    s.comboBoxListBoxSelectItemColor = static_cast<int>(kComboListSelect);
    s.comboBoxListBoxVScrollSize = 17;
    auto bar = [](int& colour, int& border, int& slider, int& sliderBorder, int& background) {
        colour = static_cast<int>(kBar);
        border = static_cast<int>(kBarBorder);
        slider = static_cast<int>(kSlider);
        sliderBorder = static_cast<int>(kSliderBorder);
        background = static_cast<int>(kTrack);
    };
    bar(s.listBoxSBarColor, s.listBoxSBarBorderColor, s.listBoxSBarSliderColor, s.listBoxSBarSliderBorderColor,
        s.listBoxSBarBackground);
    bar(s.comboBoxSBarColor, s.comboBoxSBarBorderColor, s.comboBoxSBarSliderColor, s.comboBoxSBarSliderBorderColor,
        s.comboBoxSBarBackground);
    bar(s.vScrollBarSBarColor, s.vScrollBarSBarBorderColor, s.vScrollBarSBarSliderColor,
        s.vScrollBarSBarSliderBorderColor, s.vScrollBarSBarBackground);
    bar(s.hScrollBarSBarColor, s.hScrollBarSBarBorderColor, s.hScrollBarSBarSliderColor,
        s.hScrollBarSBarSliderBorderColor, s.hScrollBarSBarBackground);
}

std::vector<HostNote>& ControlHost::Notes()
{
    static std::vector<HostNote> notes;
    return notes;
}

bool& ControlHost::FollowScrolls()
{
    static bool follow = false;
    return follow;
}

HBRUSH& ControlHost::ListBrush()
{
    static HBRUSH brush = nullptr;
    return brush;
}

std::vector<int> ControlHost::Commands(int id)
{
    std::vector<int> codes;
    for (const HostNote& note : Notes())
        if (note.message == WM_COMMAND && note.id == id)
            codes.push_back(note.code);
    return codes;
}

std::vector<int> ControlHost::ScrollCodes()
{
    std::vector<int> codes;
    for (const HostNote& note : Notes())
        if (note.message == WM_HSCROLL || note.message == WM_VSCROLL)
            codes.push_back(note.code);
    return codes;
}

int ControlHost::Count(UINT message)
{
    int count = 0;
    for (const HostNote& note : Notes())
        count += note.message == message ? 1 : 0;
    return count;
}

void ControlHost::Follow(HWND bar, int code)
{
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(bar, SB_CTL, &info);
    const int page = info.nPage > 0 ? static_cast<int>(info.nPage) : 10;
    int position = info.nPos;
    switch (code)
    {
    case SB_LINEUP: position -= 1; break;
    case SB_LINEDOWN: position += 1; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    default: return;
    }
    SetScrollPos(bar, SB_CTL, position, TRUE);
}

LRESULT CALLBACK ControlHost::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
        if (lParam != 0)
            Notes().push_back(HostNote{WM_COMMAND, HIWORD(wParam), LOWORD(wParam), 0, 0});
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam != 0)
        {
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_TRACKPOS;
            GetScrollInfo(reinterpret_cast<HWND>(lParam), SB_CTL, &info);
            Notes().push_back(HostNote{message, LOWORD(wParam), 0, HIWORD(wParam), info.nTrackPos});
            if (FollowScrolls())
                Follow(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
            return 0;
        }
        break;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_DELETEITEM:
        Notes().push_back(HostNote{message, 0, static_cast<int>(wParam), 0, 0});
        break;
    case WM_CTLCOLORLISTBOX:
        if (ListBrush() != nullptr)
            return reinterpret_cast<LRESULT>(ListBrush());
        break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

ControlHost::ControlHost(bool visible, int width, int height)
{
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSW w = {};
        w.lpfnWndProc = &ControlHost::Proc;
        w.hInstance = GetModuleHandleW(nullptr);
        w.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        w.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        w.lpszClassName = L"KivControlTestHost";
        RegisterClassW(&w);
        registered = true;
    }
    Clear();
    FollowScrolls() = false;
    ListBrush() = nullptr;
    m_window = CreateWindowExW(0, L"KivControlTestHost", L"controls", WS_POPUP | (visible ? WS_VISIBLE : 0), 60, 60,
                               width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (visible)
        SetForegroundWindow(m_window);
    PumpPending();
}

ControlHost::~ControlHost()
{
    DestroyWindow(m_window);
    PumpPending();
    FollowScrolls() = false;
    ListBrush() = nullptr;
}

HWND ControlHost::Control(const wchar_t* className, DWORD style, int x, int y, int width, int height, int id,
                          bool skinned, const wchar_t* text, DWORD exStyle)
{
    CKivEngine& engine = CKivEngine::Instance();
    if (skinned)
        engine.Run();
    const HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                         m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         GetModuleHandleW(nullptr), nullptr);
    if (skinned)
        engine.Stop();
    PumpPending();
    return control;
}

WNDPROC& SkinnedControlHost::Below()
{
    static WNDPROC below = nullptr;
    return below;
}

WNDPROC SkinnedControlHost::HostProc()
{
    return Below();
}

SkinnedControlHost::SkinnedControlHost(WNDPROC proc)
{
    const LONG_PTR replaced = SetWindowLongPtrW(host.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    Below() = reinterpret_cast<WNDPROC>(replaced);
    parentSkin.Attach(host.Window());
}

SkinnedControlHost::~SkinnedControlHost()
{
    parentSkin.Detach();
    SetWindowLongPtrW(host.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Below()));
}

}  // namespace kivtest
