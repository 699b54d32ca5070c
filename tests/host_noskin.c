/* A C host that runs the engine before its skin load fails: its windows keep
 * the system's look (not subclassed, the system's frame and menu bar, lists
 * painted by the system), and windows created after a later good load are
 * skinned as usual. */
#include <windows.h>
#include <commctrl.h>
#include "KivAPI.h"
#include "KivHostExpect.h"

static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

static void Pump(void)
{
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

static HWND MakeFrame(const wchar_t* title)
{
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_STRING, 100, L"&File");
    return CreateWindowExW(0, L"KivNoSkinHost", title, WS_OVERLAPPEDWINDOW, 40, 40, 360, 280, NULL, bar,
                           GetModuleHandleW(NULL), NULL);
}

static int Subclassed(HWND window)
{
    return (ULONG_PTR)GetWindowLongPtrW(window, GWLP_WNDPROC) != GetClassLongPtrW(window, GCLP_WNDPROC);
}

/* The client area where the system puts it for this style, menu and size. */
static int SystemClientArea(HWND window)
{
    RECT outer, client, expected = {0, 0, 0, 0};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    AdjustWindowRectEx(&expected, (DWORD)GetWindowLongPtrW(window, GWL_STYLE), GetMenu(window) != NULL,
                       (DWORD)GetWindowLongPtrW(window, GWL_EXSTYLE));
    return client.right == (outer.right - outer.left) - (expected.right - expected.left) &&
           client.bottom == (outer.bottom - outer.top) - (expected.bottom - expected.top);
}

/* The middle of a control as the screen shows it. */
static COLORREF MiddlePixel(HWND control)
{
    RECT client;
    HDC dc;
    COLORREF colour;
    GetClientRect(control, &client);
    RedrawWindow(control, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    dc = GetDC(control);
    colour = GetPixel(dc, client.right / 2, client.bottom / 2);
    ReleaseDC(control, dc);
    return colour;
}

int main(void)
{
    WNDCLASSW host = {0};
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
    HWND plain, list, tree, skinned, skinnedList;
    host.lpfnWndProc = HostProc;
    host.hInstance = GetModuleHandleW(NULL);
    host.hCursor = LoadCursorW(NULL, IDC_ARROW);
    host.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    host.lpszClassName = L"KivNoSkinHost";
    RegisterClassW(&host);
    InitCommonControlsEx(&controls);

    EXPECT(KivInitialize() == 1);
    EXPECT(KivRun() != 0);
    EXPECT(KivLoadSkin(L"no such skin.kiv") == 0);

    plain = MakeFrame(L"Unskinned");
    list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE, 10, 10, 150, 120, plain,
                           (HMENU)1, GetModuleHandleW(NULL), NULL);
    tree = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE, 170, 10, 150, 120, plain,
                           (HMENU)2, GetModuleHandleW(NULL), NULL);
    EXPECT(plain != NULL && list != NULL && tree != NULL);
    ShowWindow(plain, SW_SHOW);
    UpdateWindow(plain);
    Pump();
    EXPECT(!Subclassed(plain));
    EXPECT(!Subclassed(list));
    EXPECT(!Subclassed(tree));
    EXPECT((GetWindowLongPtrW(plain, GWL_STYLE) & WS_SYSMENU) != 0);
    EXPECT(SystemClientArea(plain));
    EXPECT(MiddlePixel(list) == GetSysColor(COLOR_WINDOW));
    EXPECT(MiddlePixel(tree) == GetSysColor(COLOR_WINDOW));

    /* A good load: windows made from now on are skinned; the first stays as it was. */
    EXPECT(KivLoadSkin(L"default.kiv") != 0);
    skinned = MakeFrame(L"Skinned");
    skinnedList = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE, 10, 10, 150, 120, skinned, (HMENU)1,
                                  GetModuleHandleW(NULL), NULL);
    EXPECT(skinned != NULL && skinnedList != NULL);
    ShowWindow(skinned, SW_SHOW);
    UpdateWindow(skinned);
    Pump();
    EXPECT(Subclassed(skinned));
    EXPECT(Subclassed(skinnedList));
    EXPECT((GetWindowLongPtrW(skinned, GWL_STYLE) & WS_SYSMENU) == 0);
    EXPECT(!SystemClientArea(skinned));
    EXPECT(!Subclassed(plain));
    EXPECT(SystemClientArea(plain));

    DestroyWindow(skinned);
    DestroyWindow(plain);
    KivStop();
    return KIV_HOST_RESULT();
}
