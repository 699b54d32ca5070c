#include "CKivBuilderInstance.h"
#include <cwchar>

namespace {

const wchar_t kMutexName[] = L"Local\\KivBuilder.Instance.{3C1B7E52-8F0D-4B7A-9E61-2A5D0C4F7B19}";
const wchar_t kMappingName[] = L"Local\\KivBuilder.Window.{3C1B7E52-8F0D-4B7A-9E61-2A5D0C4F7B19}";

}  // namespace

CKivBuilderInstance::~CKivBuilderInstance()
{
    if (m_shared)
    {
        m_shared->running = 0;
        m_shared->window = 0;
        UnmapViewOfFile(m_shared);
    }
}

bool CKivBuilderInstance::Acquire()
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    const DWORD created = GetLastError();  // before anything else can change it
    m_mutex.Reset(mutex);
    if (!m_mutex || created == ERROR_ALREADY_EXISTS)
        return false;
    m_mapping.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Shared), kMappingName));
    if (m_mapping)
        m_shared = static_cast<Shared*>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, sizeof(Shared)));
    if (m_shared)
    {
        m_shared->window = 0;
        m_shared->running = 1;
    }
    return true;
}

void CKivBuilderInstance::StoreWindow(HWND window)
{
    if (m_shared)
        m_shared->window = static_cast<ULONGLONG>(reinterpret_cast<ULONG_PTR>(window));
}

bool CKivBuilderInstance::IsBuilderWindow(HWND window)
{
    DWORD process = 0;
    if (window == nullptr || !IsWindow(window) || GetWindowThreadProcessId(window, &process) == 0)
        return false;
    const CKivKernelHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    if (!handle)
        return false;
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const BOOL named = QueryFullProcessImageNameW(handle, 0, image, &size);
    if (!named)
        return false;
    const wchar_t* file = wcsrchr(image, L'\\');
    file = file ? file + 1 : image;
    return _wcsicmp(file, L"KivBuilder.exe") == 0;
}

bool CKivBuilderInstance::ActivateFirst()
{
    const CKivKernelHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, kMappingName));
    if (!mapping)
        return false;
    HWND window = nullptr;
    if (const auto* shared = static_cast<const Shared*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(Shared))))
    {
        if (shared->running)
            window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(shared->window));
        UnmapViewOfFile(shared);
    }
    if (!IsBuilderWindow(window))
        return false;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    else
        ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    return true;
}
