#include "CKivApp.h"
#include "CKivMessageLoop.h"
#include "CKivEngine.h"
#include "CKivInitialize.h"
#include "CKivSkinStore.h"
#include <commctrl.h>
#include <shellapi.h>

namespace {
CKivApp* g_current = nullptr;
}

CKivApp::CKivApp(const wchar_t* appName) : m_appName(appName ? appName : L"")
{
    g_current = this;
    m_arguments = SplitCommandLine(GetCommandLineW());
    if (!m_arguments.empty())
        m_arguments.erase(m_arguments.begin());
}

CKivApp::~CKivApp()
{
    if (g_current == this)
        g_current = nullptr;
}

CKivApp* CKivApp::Current()
{
    return g_current;
}

std::vector<std::wstring> CKivApp::SplitCommandLine(const wchar_t* commandLine)
{
    std::vector<std::wstring> arguments;
    if (commandLine == nullptr || *commandLine == L'\0')
        return arguments;
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(commandLine, &count);
    if (list == nullptr)
        return arguments;
    for (int index = 0; index < count; ++index)
        arguments.emplace_back(list[index]);
    LocalFree(list);
    return arguments;
}

int CKivApp::Main()
{
    if (InitInstance())
        m_exitCode = Run();
    return ExitInstance();
}

int CKivApp::Run()
{
    return CKivMessageLoop::Current().Run();
}

void CKivApp::SetRegistryKey(const wchar_t* company)
{
    m_registryKey = company ? company : L"";
}

std::wstring CKivApp::ProfileKey() const
{
    if (m_registryKey.empty())
        return std::wstring();
    return L"Software\\" + m_registryKey + L"\\" + m_appName;
}

bool CKivApp::StartSkinEngine(const std::vector<std::wstring>& captionFilters)
{
    CKivInitialize::Instance();
    if (m_arguments.empty())
        return false;
    CKivEngine& engine = CKivEngine::Instance();
    if (!CKivSkinStore::LoadSkin(m_arguments.front().c_str()))
        return false;
    for (const std::wstring& caption : captionFilters)
        engine.AddCaptionFilter(caption.c_str());
    return engine.Run() != FALSE;
}

bool CKivApp::InitCommonControls()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    return InitCommonControlsEx(&controls) != FALSE;
}

std::wstring CKivApp::ProgramFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size())
            break;
        if (path.size() >= 32768)
            return std::wstring();
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data());
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : folder.substr(0, slash);
}
