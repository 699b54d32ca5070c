#include "KivMessageLog.h"
#include <commctrl.h>
#include <map>

namespace kivtest {

namespace {

std::map<HWND, WNDPROC>& Below()
{
    static std::map<HWND, WNDPROC> procs;
    return procs;
}

// Messages whose traffic differs run to run whoever paints: mouse tracking,
// IME and text queries the system itself makes, registered messages.
bool Ignored(UINT message)
{
    return message >= 0xC000 || message == WM_GETTEXT || message == WM_GETTEXTLENGTH || message == WM_GETICON ||
           message == WM_GETOBJECT || message == WM_IME_SETCONTEXT || message == WM_IME_NOTIFY ||
           message == WM_NCHITTEST || message == WM_SETCURSOR || message == WM_MOUSEMOVE ||
           message == WM_NCMOUSEMOVE || message == WM_TIMER || message == WM_SYNCPAINT;
}

std::string Hex(UINT_PTR value)
{
    char text[32] = {};
    wsprintfA(text, "%IX", value);
    return text;
}

}  // namespace

std::vector<std::string>& MessageLog::Lines()
{
    static std::vector<std::string> lines;
    return lines;
}

void MessageLog::Watch(HWND window)
{
    Below()[window] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageLog::Recorder)));
}

LRESULT CALLBACK MessageLog::Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = Below().find(window);
    if (found == Below().end())
        return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC below = found->second;
    if (message == WM_NCDESTROY)
    {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(below));
        Below().erase(found);
    }
    if (!Ignored(message))
    {
        std::string line = "control " + Hex(message);
        // The values that say what changed; handles and points differ run to run.
        if (message == BM_SETSTATE || message == BM_SETCHECK || message == BM_SETSTYLE || message == WM_APP ||
            message == WM_STYLECHANGED || message == WM_STYLECHANGING || message == WM_COMMAND)
            line += " w " + Hex(wParam);
        Add(line);
    }
    return CallWindowProcW(below, window, message, wParam, lParam);
}

void MessageLog::NoteParent(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && lParam != 0)
        Add("parent WM_COMMAND code " + Hex(HIWORD(wParam)));
    if (message == WM_NOTIFY && lParam != 0)
    {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == static_cast<UINT>(NM_CUSTOMDRAW))
        {
            const NMCUSTOMDRAW* draw = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
            Add("parent NM_CUSTOMDRAW stage " + Hex(draw->dwDrawStage) + " state " +
                Hex(draw->uItemState & ~CDIS_SHOWKEYBOARDCUES));
        }
        else
        {
            Add("parent WM_NOTIFY code " + Hex(header->code));
        }
    }
    if ((message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) && wParam != 0)
    {
        HRGN probe = CreateRectRgn(0, 0, 0, 0);
        const int clipped = GetClipRgn(reinterpret_cast<HDC>(wParam), probe);
        DeleteObject(probe);
        Add(std::string("parent ") + (message == WM_CTLCOLORSTATIC ? "WM_CTLCOLORSTATIC" : "WM_CTLCOLORBTN") +
            (clipped == 1 ? " clipped" : " unclipped"));
    }
}

std::string MessageLog::Text()
{
    std::string text;
    for (const std::string& line : Lines())
        text += line + "\n";
    return text;
}

std::string FirstDifference(const std::vector<std::string>& expected, const std::vector<std::string>& actual)
{
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    if (at == expected.size() && at == actual.size())
        return "";
    // Back to the step the difference is in.
    size_t from = at;
    while (from > 0 && expected[from].compare(0, 3, "-- ") != 0)
        --from;
    std::string text = "expected:\n";
    for (size_t i = from; i < expected.size() && i < at + 6; ++i)
        text += (i == at ? "  > " : "    ") + expected[i] + "\n";
    text += "actual:\n";
    for (size_t i = from; i < actual.size() && i < at + 6; ++i)
        text += (i == at ? "  > " : "    ") + actual[i] + "\n";
    return text;
}

void DispatchQueued()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace kivtest
