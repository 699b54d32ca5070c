#include "KivModalVisit.h"
#include <set>

namespace kivtest {

namespace {

struct Visit
{
    std::set<HWND> before;
    const std::function<void(HWND)>* visit = nullptr;
    const std::function<void(HWND)>* later = nullptr;
    int laterTicks = 0;
    HWND dialog = nullptr;
    int shownTicks = 0;
    bool visited = false;
    DWORD start = 0;
    DWORD timeout = 0;
    UINT_PTR timer = 0;
};
Visit* g_visit = nullptr;

BOOL CALLBACK CollectWindow(HWND window, LPARAM found)
{
    reinterpret_cast<std::set<HWND>*>(found)->insert(window);
    return TRUE;
}

std::set<HWND> ThreadWindows()
{
    std::set<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND NewDialog(const Visit& visit)
{
    for (HWND window : ThreadWindows())
        if (visit.before.count(window) == 0 && IsWindowVisible(window) &&
            (GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
            return window;
    return nullptr;
}

void Close(HWND dialog)
{
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    Visit* visit = g_visit;
    if (visit == nullptr)
        return;
    if (GetTickCount() - visit->start > visit->timeout)
    {
        // Never appeared, or would not go: end the modal loop whatever it is.
        if (visit->dialog != nullptr)
            DestroyWindow(visit->dialog);
        else if (HWND any = NewDialog(*visit))
            DestroyWindow(any);
        return;
    }
    if (visit->visited)
    {
        if (visit->later != nullptr && *visit->later && IsWindow(visit->dialog))
        {
            if (++visit->laterTicks < 5)
                return;
            const std::function<void(HWND)>* later = visit->later;
            visit->later = nullptr;
            (*later)(visit->dialog);
        }
        if (IsWindow(visit->dialog))
            Close(visit->dialog);
        return;
    }
    if (visit->dialog == nullptr || !IsWindow(visit->dialog))
    {
        visit->dialog = NewDialog(*visit);
        visit->shownTicks = 0;
        return;
    }
    // A few ticks after it showed: its first paints have happened.
    if (++visit->shownTicks < 4)
        return;
    visit->visited = true;
    (*visit->visit)(visit->dialog);
    if (visit->later == nullptr || !*visit->later)
        Close(visit->dialog);
}

}  // namespace

bool VisitModal(const std::function<void()>& open, const std::function<void(HWND)>& visit,
                const std::function<void(HWND)>& later, DWORD timeoutMs)
{
    Visit state;
    state.before = ThreadWindows();
    state.visit = &visit;
    state.later = &later;
    state.start = GetTickCount();
    state.timeout = timeoutMs;
    g_visit = &state;
    state.timer = SetTimer(nullptr, 0, 100, Tick);
    open();
    KillTimer(nullptr, state.timer);
    g_visit = nullptr;
    return state.visited;
}

}  // namespace kivtest
