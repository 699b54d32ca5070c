#pragma once
// Windows and recorders shared by the engine tests.
#include <windows.h>
#include <commctrl.h>
#include <map>
#include <string>
#include <vector>

namespace kivengine {

struct Seen
{
    std::string who;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every procedure of the tests appends here, so the order across a chain of
// subclasses can be compared.
inline std::vector<Seen>& Log()
{
    static std::vector<Seen> log;
    return log;
}

inline std::vector<Seen> SeenOf(UINT message)
{
    std::vector<Seen> out;
    for (const Seen& seen : Log())
        if (seen.message == message)
            out.push_back(seen);
    return out;
}

// Answers the recording class procedure gives, by message; others go to
// DefWindowProc.
inline std::map<UINT, LRESULT>& Answers()
{
    static std::map<UINT, LRESULT> answers;
    return answers;
}

const UINT kWriteOut = WM_USER + 7;  // the class procedure writes 42 to *(DWORD*)lParam

inline LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Log().push_back({"class", message, wParam, lParam});
    if (message == kWriteOut && lParam)
        *reinterpret_cast<DWORD*>(lParam) = 42;
    auto answer = Answers().find(message);
    if (answer != Answers().end())
        return answer->second;
    return DefWindowProcW(window, message, wParam, lParam);
}

inline const wchar_t* RecordingClass()
{
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &RecordingProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = L"KivTestRecording";
        RegisterClassW(&windowClass);
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        registered = true;
    }
    return L"KivTestRecording";
}

inline HWND MakeWindow(const wchar_t* className, const wchar_t* text, DWORD style, HWND parent = nullptr,
                       int id = 0, DWORD exStyle = 0)
{
    RecordingClass();
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    return CreateWindowExW(exStyle, className, text, style, 10, 10, 200, 150, parent, menu,
                           GetModuleHandleW(nullptr), nullptr);
}

inline HWND MakeTopLevel(const wchar_t* text = L"Host")
{
    return MakeWindow(RecordingClass(), text, WS_OVERLAPPEDWINDOW);
}

inline HWND MakeChild(HWND parent, const wchar_t* className = nullptr, DWORD style = 0, int id = 0,
                      const wchar_t* text = L"")
{
    return MakeWindow(className ? className : RecordingClass(), text, WS_CHILD | WS_VISIBLE | style, parent, id);
}

// A plain SetWindowLongPtrW subclass that records under its own name and
// passes everything down.
class TestSubclass
{
public:
    TestSubclass(HWND window, const char* name) : m_window(window), m_name(name)
    {
        Registry()[window].push_back(this);
        m_previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TestSubclass::Proc)));
    }
    ~TestSubclass() { Remove(); }
    TestSubclass(const TestSubclass&) = delete;
    TestSubclass& operator=(const TestSubclass&) = delete;

    // Unhooks by putting back what it replaced (only valid while on top).
    void Remove()
    {
        if (!m_previous)
            return;
        if (IsWindow(m_window))
            SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        auto& list = Registry()[m_window];
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] == this)
                list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        m_previous = nullptr;
    }
    WNDPROC Previous() const { return m_previous; }

private:
    // Several instances can sit on one window: each call walks one level down.
    static std::map<HWND, std::vector<TestSubclass*>>& Registry()
    {
        static std::map<HWND, std::vector<TestSubclass*>> registry;
        return registry;
    }
    static std::map<HWND, size_t>& Depth()
    {
        static std::map<HWND, size_t> depth;
        return depth;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto& list = Registry()[window];
        size_t& depth = Depth()[window];
        if (list.empty() || depth >= list.size())
            return DefWindowProcW(window, message, wParam, lParam);
        TestSubclass* self = list[list.size() - 1 - depth];
        Log().push_back({self->m_name, message, wParam, lParam});
        const WNDPROC previous = self->m_previous;
        ++depth;
        const LRESULT result = CallWindowProcW(previous, window, message, wParam, lParam);
        --Depth()[window];
        return result;
    }

    HWND m_window;
    std::string m_name;
    WNDPROC m_previous = nullptr;
};

}  // namespace kivengine
